// The file dialog class: its filter, buffer and NUL rules, driven through
// the program's dialog interface with scripted answers.

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "settings/CFileDialog.h"
#include "settings/FileDialogText.h"
#include "support/ScriptedDialogs.h"

namespace vrx {
namespace {

using namespace std::string_literals;
using test::ScriptedDialogs;

TEST(TrimAtNull, CutsAtTheFirstNulOrKeepsTheWholeText) {
    EXPECT_EQ(TrimAtNull("abc\0def"s), "abc");
    EXPECT_EQ(TrimAtNull("\0abc"s), "");
    EXPECT_EQ(TrimAtNull("abc"), "abc");
    EXPECT_EQ(TrimAtNull(""), "");
}

TEST(Filter, BarAndColonBothSeparateAndTwoNulsEndTheList) {
    struct Case {
        std::string filter;
        std::string form;
    } cases[] = {
        {"FSX.EXE|FSX.EXE", "FSX.EXE\0FSX.EXE\0\0"s},
        {"Texts (*.txt)|*.txt|All|*.*", "Texts (*.txt)\0*.txt\0All\0*.*\0\0"s},
        {"Drive C: files|*.bmp", "Drive C\0 files\0*.bmp\0\0"s},
        {"", "\0\0"s},
    };
    for (const Case& c : cases) {
        ScriptedDialogs dialogs;
        CFileDialog dialog(dialogs);
        dialog.SetFilter(c.filter);
        EXPECT_EQ(dialog.Filter(), c.filter);
        EXPECT_EQ(dialog.FilterRequestForm(), c.form) << c.filter;
    }
}

TEST(Filter, TheDialogGetsDescriptionPatternPairs) {
    const auto pairs = FilterEntries(ConvertFilter("Pictures|*.bmp;*.PNG|All|*.*"));
    ASSERT_EQ(pairs.size(), 2u);
    EXPECT_EQ(pairs[0].description, "Pictures");
    EXPECT_EQ(pairs[0].patterns, (std::vector<std::string>{"*.bmp", "*.PNG"}));
    EXPECT_EQ(pairs[1].description, "All");
    // A colon in a description cuts it: the rest becomes the pattern, and the
    // real pattern a description of its own without a pair.
    const auto cut = FilterEntries(ConvertFilter("Drive C: files|*.bmp"));
    ASSERT_EQ(cut.size(), 1u);
    EXPECT_EQ(cut[0].description, "Drive C");
    EXPECT_EQ(cut[0].patterns, std::vector<std::string>{" files"});
}

TEST(FileDialogProperties, StartValuesAndConvertedForms) {
    ScriptedDialogs dialogs;
    CFileDialog dialog(dialogs);
    EXPECT_FALSE(dialog.Cancel());
    EXPECT_FALSE(dialog.CancelError());
    EXPECT_EQ(dialog.FileName(), "");
    EXPECT_EQ(dialog.FileTitle(), "");
    EXPECT_EQ(dialog.Filter(), "");
    EXPECT_EQ(dialog.FilterIndex(), 1);
    EXPECT_EQ(dialog.DefaultExt(), "");
    EXPECT_EQ(dialog.DialogTitle(), "");
    EXPECT_EQ(dialog.flags(), 0u);
    EXPECT_EQ(dialog.hwnd(), 0);
    EXPECT_EQ(dialog.InitDir(), "");

    dialog.SetCancelError(true);
    dialog.SetDefaultExt("cfg");
    dialog.SetInitDir("/games");
    dialog.SetDialogTitle("Pick one");
    dialog.Sethwnd(42);
    dialog.SetFilterIndex(2);
    EXPECT_TRUE(dialog.CancelError());
    EXPECT_EQ(dialog.DefaultExt(), "cfg");
    EXPECT_EQ(dialog.DefaultExtRequestForm(), "cfg\0\0"s);
    EXPECT_EQ(dialog.InitDir(), "/games");
    EXPECT_EQ(dialog.InitDirRequestForm(), "/games\0\0"s);

    dialog.SetFilter("A|*.a|B|*.b");
    dialogs.file(FileDialogAnswer{{"/games/x.b"}, 2});
    dialog.ShowOpen();
    ASSERT_EQ(dialogs.fileRequests.size(), 1u);
    const FileDialogRequest& request = dialogs.fileRequests[0];
    EXPECT_EQ(request.kind, FileDialogRequest::Kind::Open);
    EXPECT_EQ(request.title, "Pick one");
    EXPECT_EQ(request.initDir, "/games");
    EXPECT_EQ(request.defaultExt, "cfg");
    EXPECT_EQ(request.filterIndex, 2);
    EXPECT_TRUE(request.owned);
    EXPECT_FALSE(request.multiSelect);
}

TEST(FileDialogShowOpen, ConfirmedSingleFileGivesPathAndTitle) {
    ScriptedDialogs dialogs;
    CFileDialog dialog(dialogs);
    dialog.SetFilter("FSX.EXE|FSX.EXE");
    dialogs.file(FileDialogAnswer{{"/FSX/FSX.EXE"}, 1});
    dialog.ShowOpen();
    EXPECT_FALSE(dialog.Cancel());
    EXPECT_EQ(dialog.FileName(), "/FSX/FSX.EXE");
    EXPECT_EQ(dialog.FileTitle(), "FSX.EXE");
    ASSERT_EQ(dialogs.fileRequests.size(), 1u);
    ASSERT_EQ(dialogs.fileRequests[0].filters.size(), 1u);
    EXPECT_EQ(dialogs.fileRequests[0].filters[0].description, "FSX.EXE");
    EXPECT_EQ(dialogs.fileRequests[0].filters[0].patterns, std::vector<std::string>{"FSX.EXE"});
    EXPECT_FALSE(dialogs.fileRequests[0].owned);

    // The next show starts from the name the last one returned.
    dialogs.file(std::nullopt);
    dialog.ShowOpen();
    EXPECT_EQ(dialogs.fileRequests[1].fileName, "/FSX/FSX.EXE");
}

TEST(FileDialogShowOpen, CancelKeepsTheNamesAndShowSaveCancelEmptiesThem) {
    ScriptedDialogs dialogs;
    CFileDialog dialog(dialogs);
    dialog.SetFileName("/old/name.txt");
    dialog.SetFileTitle("name.txt");
    dialogs.file(std::nullopt);
    dialog.ShowOpen();
    EXPECT_TRUE(dialog.Cancel());
    EXPECT_EQ(dialog.FileName(), "/old/name.txt");
    EXPECT_EQ(dialog.FileTitle(), "name.txt");

    dialogs.file(std::nullopt);
    dialog.ShowSave();
    EXPECT_TRUE(dialog.Cancel());
    EXPECT_EQ(dialog.FileName(), "");
    EXPECT_EQ(dialogs.fileRequests.back().kind, FileDialogRequest::Kind::Save);

    // Each show starts with Cancel false.
    dialogs.file(FileDialogAnswer{{"/new/saved.txt"}, 1});
    dialog.ShowSave();
    EXPECT_FALSE(dialog.Cancel());
    EXPECT_EQ(dialog.FileName(), "/new/saved.txt");
    EXPECT_EQ(dialog.FileTitle(), "name.txt");  // a save leaves the title alone
}

TEST(FileDialogShowOpen, MultiSelectionFillsTheWholeBuffer) {
    ScriptedDialogs dialogs;
    CFileDialog dialog(dialogs);
    dialog.Setflags(0x200);
    dialog.SetFileTitle("kept");
    dialogs.file(FileDialogAnswer{{"/T/a.txt", "/T/b.txt"}, 1});
    dialog.ShowOpen();
    EXPECT_EQ(dialog.RequestFlags(), 0x200u | 0x80000u);
    EXPECT_TRUE(dialogs.fileRequests[0].multiSelect);
    std::string expected = "/T\0a.txt\0b.txt\0"s;
    expected.resize(8192, '\0');
    EXPECT_EQ(dialog.FileName(), expected);
    EXPECT_EQ(dialog.FileTitle(), "kept");

    dialogs.file(FileDialogAnswer{{"/T/a.txt"}, 1});
    dialog.ShowOpen();
    std::string single = "/T/a.txt";
    single.resize(8192, '\0');
    EXPECT_EQ(dialog.FileName(), single);
}

TEST(FileDialogShowOpen, ANameLongerThanTheBufferFailsBeforeAnyDialog) {
    ScriptedDialogs dialogs;
    CFileDialog dialog(dialogs);
    dialog.SetFileName(std::string(1025, 'x'));
    EXPECT_THROW(dialog.ShowOpen(), std::invalid_argument);
    EXPECT_THROW(dialog.ShowSave(), std::invalid_argument);
    EXPECT_TRUE(dialogs.fileRequests.empty());
    EXPECT_EQ(dialog.FileName(), std::string(1025, 'x'));
    // With multi-selection the buffer holds 8192.
    dialog.Setflags(0x200);
    dialogs.file(std::nullopt);
    EXPECT_NO_THROW(dialog.ShowOpen());
    EXPECT_TRUE(dialog.Cancel());
}

// The dialog writes the chosen name into a buffer with its terminating NUL:
// a name as long as the buffer does not fit, one byte shorter does.
TEST(FileDialogBuffer, AnAnswerNeedsRoomForItsNul) {
    struct Case {
        const char* name;
        bool save;
        std::uint32_t flags;
        std::size_t buffer;
    } cases[] = {
        {"open", false, 0, 1024},
        {"open with multi-selection", false, 0x200, 8192},
        {"save", true, 0, 1024},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedDialogs dialogs;
        CFileDialog dialog(dialogs);
        dialog.Setflags(c.flags);
        dialog.SetFileName("/before.txt");
        const std::string full = "/" + std::string(c.buffer - 1, 'f');
        const std::string fits = "/" + std::string(c.buffer - 2, 'f');
        ASSERT_EQ(full.size(), c.buffer);
        const auto show = [&] { c.save ? dialog.ShowSave() : dialog.ShowOpen(); };

        dialogs.file(FileDialogAnswer{{full}, 1});
        show();
        EXPECT_TRUE(dialog.Cancel());
        // A failed open keeps the name it had; a failed save empties it.
        EXPECT_EQ(dialog.FileName(), c.save ? "" : "/before.txt");

        dialogs.file(FileDialogAnswer{{fits}, 1});
        show();
        EXPECT_FALSE(dialog.Cancel());
        std::string expected = fits;
        if (c.flags & 0x200) expected.resize(c.buffer, '\0');  // the whole buffer, NULs after the name
        EXPECT_EQ(dialog.FileName().size(), expected.size());
        EXPECT_TRUE(dialog.FileName() == expected);  // not printed: thousands of letters
    }
}

struct MultiCase {
    const char* name;
    std::string fileName;
    std::int32_t countBefore;
    std::string dir;
    std::vector<std::string> files;
    std::int32_t countAfter;
};

class ParseMultiFileNameCases : public ::testing::TestWithParam<MultiCase> {};

TEST_P(ParseMultiFileNameCases, SplitsFolderAndNames) {
    const MultiCase& c = GetParam();
    ScriptedDialogs dialogs;
    CFileDialog dialog(dialogs);
    dialog.SetFileName(c.fileName);
    std::string dir = "unchanged";
    std::vector<std::string> files(static_cast<std::size_t>(c.countBefore), "earlier");
    std::int32_t count = c.countBefore;
    dialog.ParseMultiFileName(dir, files, count);
    EXPECT_EQ(dir, c.dir);
    EXPECT_EQ(files, c.files);
    EXPECT_EQ(count, c.countAfter);
}

std::string Padded(std::string text) {
    text.resize(8192, '\0');
    return text;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ParseMultiFileNameCases,
    ::testing::Values(MultiCase{"TwoFiles", Padded("/T\0a.txt\0b.txt\0"s), 0, "/T", {"a.txt", "b.txt"}, 2},
                      MultiCase{"CountedOnFromFive",
                                Padded("/T\0a.txt\0b.txt\0"s),
                                5,
                                "/T",
                                {"earlier", "earlier", "earlier", "earlier", "earlier", "a.txt", "b.txt"},
                                7},
                      MultiCase{"OneFileKeepsTheSeparator", Padded("/T/a.txt"), 0, "/T/", {"a.txt"}, 1},
                      MultiCase{"OneFileRecreatesTheList", Padded("/T/a.txt"), 3, "/T/", {"a.txt"}, 1},
                      MultiCase{"NoFolderAtAll", Padded("a.txt"), 0, "", {"a.txt"}, 1},
                      MultiCase{"UnpaddedButEnded", "/T\0x\0\0"s, 0, "/T", {"x"}, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ParseMultiFileName, WithoutTwoNulsItFailsAndChangesNothing) {
    ScriptedDialogs dialogs;
    CFileDialog dialog(dialogs);
    dialog.SetFileName("/T/a.txt\0"s);
    std::string dir = "kept";
    std::vector<std::string> files{"kept"};
    std::int32_t count = 4;
    EXPECT_THROW(dialog.ParseMultiFileName(dir, files, count), std::invalid_argument);
    EXPECT_EQ(dir, "kept");
    EXPECT_EQ(files, std::vector<std::string>{"kept"});
    EXPECT_EQ(count, 4);
}

}  // namespace
}  // namespace vrx
