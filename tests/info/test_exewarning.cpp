// The program-file safeguard: which addresses are confirmed, and which
// downloads still need the question after a confirmed navigation.

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
    EXPECT_TRUE(confirmations.downloadNeedsWarning(setup));
    confirmations.allowed(setup);
    EXPECT_FALSE(confirmations.downloadNeedsWarning(setup));
    // Another program file, or one that only the user's earlier answer covered, is asked about.
    EXPECT_TRUE(confirmations.downloadNeedsWarning("http://127.0.0.1:8080/other.exe"));
    confirmations.allowed("http://127.0.0.1:8080/other.exe");
    EXPECT_TRUE(confirmations.downloadNeedsWarning(setup));
    // Files that are no program files are never asked about.
    EXPECT_FALSE(confirmations.downloadNeedsWarning("http://127.0.0.1:8080/notes.zip"));
}

}  // namespace
}  // namespace vrx
