// The program-file safeguard: which addresses are confirmed, which downloads
// are, by address or by the name they are saved under, and which still need
// the question after a confirmed navigation.

#include <gtest/gtest.h>

#include "info/ExeWarning.h"

namespace vrx {
namespace {

TEST(ExeWarningTest, TextAsTheUserReadsIt) {
    EXPECT_STREQ(kExeWarning,
                 "You have clicked on an update that may require that you close this application prior to "
                 "installing it. Click OK to continue with the download, or Cancel to cancel.");
}

TEST(ExeWarningTest, AddressesThatAreWarned) {
    struct Case {
        const char* address;
        bool warned;
    };
    const Case cases[] = {
        {"http://127.0.0.1:8080/files/setup.exe", true},
        {"http://127.0.0.1:8080/files/SETUP.EXE", false},
        {"http://127.0.0.1:8080/files/setup.Exe", false},
        {"http://127.0.0.1:8080/get.asp?file=setup.exe", true},
        {"http://127.0.0.1:8080/get.asp?file=setup.exe&x=1", true},
        {"http://127.0.0.1:8080/setup.exe.html", true},
        {"http://127.0.0.1:8080/setup.execute", true},
        {"http://127.0.0.1:8080/setupexe", false},
        {"http://127.0.0.1:8080/page.html#a.exe", true},
        {"http://127.0.0.1:8080/updates.asp?id=vrxnorvan&version=1.08", false},
        {"", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.address);
        EXPECT_EQ(AddressNeedsExeWarning(c.address), c.warned);
        EXPECT_EQ(ExeConfirmations().navigationNeedsWarning(c.address), c.warned);
    }
}

TEST(ExeWarningTest, DownloadOfAnAllowedNavigationIsNotAskedAgain) {
    ExeConfirmations confirmations;
    const char* setup = "http://127.0.0.1:8080/setup.exe";
    EXPECT_TRUE(confirmations.downloadNeedsWarning(setup, "setup.exe"));
    confirmations.allowed(setup);
    EXPECT_FALSE(confirmations.downloadNeedsWarning(setup, "setup.exe"));
    // Another program file, or one that only the user's earlier answer covered, is asked about.
    EXPECT_TRUE(confirmations.downloadNeedsWarning("http://127.0.0.1:8080/other.exe", "other.exe"));
    confirmations.allowed("http://127.0.0.1:8080/other.exe");
    EXPECT_TRUE(confirmations.downloadNeedsWarning(setup, "setup.exe"));
    // Files that are no program files are never asked about.
    EXPECT_FALSE(confirmations.downloadNeedsWarning("http://127.0.0.1:8080/notes.zip", "notes.zip"));
}

// A download is a program file by its address or by the name it is saved
// under, which a page's download attribute or the server may give it.
TEST(ExeWarningTest, DownloadsThatAreWarned) {
    struct Case {
        const char* name;
        const char* address;
        const char* fileName;
        bool warned;
    };
    const Case cases[] = {
        {"exe address and name", "http://127.0.0.1:8080/files/setup.exe", "setup.exe", true},
        {"named by the download attribute", "http://127.0.0.1:8080/files/tool", "tool.exe", true},
        {"named by the server", "http://127.0.0.1:8080/get.asp?id=7", "served.exe", true},
        {"name in capitals", "http://127.0.0.1:8080/get.asp?id=7", "SETUP.EXE", true},
        {"name in mixed case", "http://127.0.0.1:8080/get.asp?id=7", "Setup.Exe", true},
        {"numbered free name", "http://127.0.0.1:8080/get.asp?id=7", "setup (1).exe", true},
        {"exe address, other name", "http://127.0.0.1:8080/get.asp?file=setup.exe", "download", true},
        {"exe inside the name only", "http://127.0.0.1:8080/files/notes", "setup.exe.txt", false},
        {"no extension", "http://127.0.0.1:8080/files/setupexe", "setupexe", false},
        {"only the extension", "http://127.0.0.1:8080/files/x", ".exe", true},
        {"shorter than the extension", "http://127.0.0.1:8080/files/x", "exe", false},
        {"archive", "http://127.0.0.1:8080/files/notes.zip", "notes.zip", false},
        {"EXE address, plain name", "http://127.0.0.1:8080/files/SETUP.EXE", "notes.html", false},
        {"empty address, exe name", "", "setup.exe", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ExeConfirmations().downloadNeedsWarning(c.address, c.fileName), c.warned);
    }
    EXPECT_TRUE(FileNameNeedsExeWarning("vrx-update-1.09.exe"));
    EXPECT_TRUE(FileNameNeedsExeWarning("VRX.EXE"));
    EXPECT_FALSE(FileNameNeedsExeWarning("vrx.exe "));
    EXPECT_FALSE(FileNameNeedsExeWarning(""));
}

}  // namespace
}  // namespace vrx
