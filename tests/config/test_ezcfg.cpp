#include <gtest/gtest.h>

#include "config/EzCfg.h"
#include "platform/linux/LinuxFileSystem.h"
#include "support/ReadFailingFileSystem.h"
#include "support/TempDir.h"

namespace vrx {
namespace {

using Entries = std::vector<std::pair<std::string, std::string>>;

// In memory the escape byte 0xA5 (written "\245" in file bytes below) is the yen sign, U+00A5.
const std::string kYen = "\xC2\xA5";

class EzCfgTest : public ::testing::Test {
protected:
    std::string file(const std::string& name = "test.cfg") const { return dir / name; }

    test::TempDir dir;
    LinuxFileSystem fs;
    EzCfg cfg{fs};
};

struct ReadCase {
    const char* name;
    std::string bytes;
    Entries expected;
};

TEST_F(EzCfgTest, ReadTakesOnlyLinesWithOneEqualsSignAndAValue) {
    const ReadCase cases[] = {
        {"plain pair", "Key=Value\r\n", {{"Key", "Value"}}},
        {"spaces around dropped", "  Key  =  some value  \r\n", {{"Key", "some value"}}},
        {"no line end at the end", "a=1\r\nb=2", {{"a", "1"}, {"b", "2"}}},
        {"comment at column 0", "// note=1\r\nk=v\r\n", {{"k", "v"}}},
        {"space before the slashes is no comment", " //x=1\r\n", {{"//x", "1"}}},
        {"two equals signs", "a=b=c\r\n", {}},
        {"no equals sign and empty line", "noequals\r\n\r\nk=v\r\n", {{"k", "v"}}},
        {"empty value", "k=\r\n", {}},
        {"value of spaces", "k=   \r\n", {}},
        {"empty key is taken", "=v\r\n", {{"", "v"}}},
        {"tabs are kept", "\tK\t=\tv\t\r\n", {{"\tK\t", "\tv\t"}}},
        {"a lone CR ends a line", "a=1\rb=2\r\n", {{"a", "1"}, {"b", "2"}}},
        {"a lone LF stays in its line", "a=1\nb=2\r\nc=x\ny\r\n", {{"c", "x\ny"}}},
        {"duplicates kept in file order", "k=1\r\nK=2\r\n", {{"k", "1"}, {"K", "2"}}},
        {"escapes stay stored", "x=a\245n\245e\r\n", {{"x", "a" + kYen + "n" + kYen + "e"}}},
        {"Windows-1252 text decoded", "Caf\xE9=\x80\r\n", {{"Caf\xC3\xA9", "\xE2\x82\xAC"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::WriteFile(file(), c.bytes);
        EXPECT_EQ(cfg.ReadCFG(file()), static_cast<std::int32_t>(c.expected.size()));
        EXPECT_EQ(cfg.Entries(), c.expected);
        EXPECT_TRUE(cfg.IsInitialised());
    }
}

TEST_F(EzCfgTest, ReadFailingPartWayKeepsOnlyThePairsOfTheLinesBefore) {
    test::WriteFile(file(), "ReadOverwrite=1\r\nFSPath=/games/fsx\r\nBackupPath=/backup\r\n");
    test::ReadFailingFileSystem failing(fs);
    failing.FailReadWithinLine(file(), 2);
    EzCfg partly(failing);

    EXPECT_EQ(partly.ReadCFG(file()), 1);
    EXPECT_EQ(partly.Entries(), (Entries{{"ReadOverwrite", "1"}}));
    EXPECT_EQ(partly.GetValue("fspath"), "");
    EXPECT_TRUE(partly.IsInitialised());
}

TEST_F(EzCfgTest, MissingFileGivesNothingAndEmptyValues) {
    EXPECT_FALSE(cfg.IsInitialised());
    EXPECT_EQ(cfg.ReadCFG(file("absent.cfg")), 0);
    EXPECT_TRUE(cfg.IsInitialised());
    EXPECT_EQ(cfg.GetValue("fspath"), "");
    EXPECT_EQ(cfg.GetValue("readoverwrite", true), "0");
}

TEST_F(EzCfgTest, HiddenOrSystemFileCountsAsMissing) {
    for (const auto attribute : {AttrHidden, AttrSystem}) {
        SCOPED_TRACE(attribute);
        test::WriteFile(file(), "k=v\r\n");
        ASSERT_TRUE(fs.setAttributes(file(), attribute));
        EXPECT_EQ(cfg.ReadCFG(file()), 0);
        EXPECT_EQ(cfg.GetValue("k"), "");
        ASSERT_TRUE(fs.setAttributes(file(), 0));
        EXPECT_EQ(cfg.ReadCFG(file()), 1);
    }
}

TEST_F(EzCfgTest, ReadReplacesWhatTheObjectHeld) {
    test::WriteFile(file("ui.cfg"), "FormBackColor=FF8000\r\n");
    test::WriteFile(file("settings.cfg"), "FSPath=/games/fsx\r\n");
    cfg.ReadCFG(file("ui.cfg"));
    cfg.ReadCFG(file("settings.cfg"));
    EXPECT_EQ(cfg.GetValue("FormBackColor"), "");
    EXPECT_EQ(cfg.GetValue("FSPath"), "/games/fsx");
    EXPECT_EQ(cfg.ReadCFG(file("absent.cfg")), 0);
    EXPECT_TRUE(cfg.Entries().empty());
}

TEST_F(EzCfgTest, LookUpIgnoresCaseAndTakesTheFirstMatch) {
    test::WriteFile(file(),
                    "FSPath=/first\r\nfspath=/second\r\nK\t=tab\r\n\xC9T\xC9=summer\r\n\x8Cuvre=work\r\n\x9F=y\r\n");
    cfg.ReadCFG(file());
    EXPECT_EQ(cfg.GetValue("fspath"), "/first");
    EXPECT_EQ(cfg.GetValue("FSPATH"), "/first");
    EXPECT_EQ(cfg.GetValue("fspath "), "");  // the name asked for is not trimmed
    EXPECT_EQ(cfg.GetValue("K"), "");        // a tab stays part of the key
    EXPECT_EQ(cfg.GetValue("K\t"), "tab");
    EXPECT_EQ(cfg.GetValue("\xC3\xA9t\xC3\xA9"), "summer");  // accented capitals lower like the code page's
    EXPECT_EQ(cfg.GetValue("\xC5\x93UVRE"), "work");
    EXPECT_EQ(cfg.GetValue("\xC3\xBF"), "y");
    EXPECT_EQ(cfg.GetValue("missing"), "");
}

TEST_F(EzCfgTest, GetValueDecodesEscapesOfLowerCaseLetters) {
    struct Case {
        std::string fileValue;  // Windows-1252 bytes
        std::string expected;
    };
    const Case cases[] = {
        {"a\245nb", "a\r\nb"},      {"x\245ey", "x=y"},
        {"\245n\245n", "\r\n\r\n"}, {"A\245N\245E", "A" + kYen + "N" + kYen + "E"},
        {"\245x", kYen + "x"},      {"\245\245n", kYen + "\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        test::WriteFile(file(), "k=" + c.fileValue + "\r\n");
        cfg.ReadCFG(file());
        EXPECT_EQ(cfg.GetValue("k"), c.expected);
    }
}

TEST_F(EzCfgTest, NumericalValueIsTheLeadingNumber) {
    struct Case {
        const char* stored;
        const char* expected;
    };
    const Case cases[] = {
        {"1", "1"},      {"0", "0"},   {"12abc", "12"},   {"&HFF", "255"},   {"abc", "0"},
        {"1.50", "1.5"}, {"-1", "-1"}, {"1e20", "1E+20"}, {"1 000", "1000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        test::WriteFile(file(), std::string("ReadOverwrite=") + c.stored + "\r\n");
        cfg.ReadCFG(file());
        EXPECT_EQ(cfg.GetValue("readoverwrite", true), c.expected);
        EXPECT_EQ(cfg.GetValue("readoverwrite"), c.stored);
    }
}

TEST_F(EzCfgTest, AddEscapesValuesAndWriteGivesExactBytes) {
    EXPECT_TRUE(cfg.AddToCFG("  FSPath ", " D:\\FSX "));
    EXPECT_TRUE(cfg.AddToCFG("Formula", "a=b"));
    EXPECT_TRUE(cfg.AddToCFG("Lines", "one\r\ntwo"));
    EXPECT_TRUE(cfg.AddToCFG("Name", "Caf\xC3\xA9"));
    EXPECT_TRUE(cfg.AddToCFG("Blank", "   "));
    EXPECT_TRUE(cfg.IsInitialised());
    EXPECT_EQ(cfg.Entries(), (Entries{{"FSPath", "D:\\FSX"},
                                      {"Formula", "a" + kYen + "eb"},
                                      {"Lines", "one" + kYen + "ntwo"},
                                      {"Name", "Caf\xC3\xA9"},
                                      {"Blank", ""}}));
    ASSERT_TRUE(cfg.WriteCFG(file()));
    EXPECT_EQ(test::ReadFile(file()),
              "FSPath=D:\\FSX\r\nFormula=a\245eb\r\nLines=one\245ntwo\r\nName=Caf\xE9\r\nBlank=\r\n");

    EzCfg reread(fs);
    EXPECT_EQ(reread.ReadCFG(file()), 4);  // the blank value is dropped on reading
    EXPECT_EQ(reread.GetValue("formula"), "a=b");
    EXPECT_EQ(reread.GetValue("lines"), "one\r\ntwo");
    EXPECT_EQ(reread.GetValue("name"), "Caf\xC3\xA9");
    EXPECT_EQ(reread.GetValue("blank"), "");
}

TEST_F(EzCfgTest, AddReplacesAMatchingKeyAndKeepsItsSpelling) {
    cfg.InitCFG();
    cfg.AddToCFG("FSPath", "/old");
    cfg.AddToCFG("other", "1");
    EXPECT_TRUE(cfg.AddToCFG("fspath", "/new"));
    EXPECT_EQ(cfg.Entries(), (Entries{{"FSPath", "/new"}, {"other", "1"}}));
    ASSERT_TRUE(cfg.WriteCFG(file()));
    EXPECT_EQ(test::ReadFile(file()), "FSPath=/new\r\nother=1\r\n");
}

TEST_F(EzCfgTest, AddRefusesAnEmptyName) {
    cfg.AddToCFG("k", "v");
    EXPECT_FALSE(cfg.AddToCFG("   ", "value"));
    EXPECT_FALSE(cfg.AddToCFG("", "value"));
    EXPECT_EQ(cfg.Entries(), (Entries{{"k", "v"}}));
}

TEST_F(EzCfgTest, KeysAreWrittenUnescapedAndEmptyKeysNotAtAll) {
    test::WriteFile(file(), "=lost\r\nkept=1\r\n");
    cfg.ReadCFG(file());
    cfg.AddToCFG("a=b", "v");
    cfg.AddToCFG("//c", "w");
    ASSERT_TRUE(cfg.WriteCFG(file()));
    EXPECT_EQ(test::ReadFile(file()), "kept=1\r\na=b=v\r\n//c=w\r\n");
    EXPECT_EQ(cfg.ReadCFG(file()), 1);  // both keys are lost on reading back
    EXPECT_EQ(cfg.Entries(), (Entries{{"kept", "1"}}));
}

TEST_F(EzCfgTest, InitEmptiesTheTable) {
    cfg.AddToCFG("k", "v");
    cfg.InitCFG();
    EXPECT_TRUE(cfg.Entries().empty());
    EXPECT_TRUE(cfg.IsInitialised());
    ASSERT_TRUE(cfg.WriteCFG(file()));
    EXPECT_EQ(test::ReadFile(file()), "");
}

TEST_F(EzCfgTest, FailedWriteReportsFalseAndLeavesTheOldFileWhole) {
    const std::string oldBytes = "FSPath=/games/fsx\r\nReadOverwrite=1\r\n";
    test::WriteFile(file(), oldBytes);
    cfg.AddToCFG("FSPath", "/\xE4\xB8\xAD");  // no Windows-1252 form
    EXPECT_FALSE(cfg.WriteCFG(file()));
    EXPECT_EQ(test::ReadFile(file()), oldBytes);

    cfg.InitCFG();
    cfg.AddToCFG("k", "v");
    EXPECT_FALSE(cfg.WriteCFG(dir / "missing-folder/test.cfg"));
    EXPECT_FALSE(test::PathExists(dir / "missing-folder"));
}

}  // namespace
}  // namespace vrx
