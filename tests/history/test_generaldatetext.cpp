#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <optional>
#include <string>

#include "history/GeneralDateText.h"
#include "history/History.h"
#include "support/Scripted.h"
#include "support/TempDir.h"

namespace vrx {
namespace {

using test::MakeTime;

// Sets environment variables for one test and puts the old values back.
class EnvironmentGuard {
public:
    void set(const char* name, const char* value) {
        if (!saved_.count(name)) {
            const char* old = std::getenv(name);
            saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
        }
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~EnvironmentGuard() {
        for (const auto& [name, value] : saved_) {
            if (value)
                setenv(name.c_str(), value->c_str(), 1);
            else
                unsetenv(name.c_str());
        }
    }

private:
    std::map<std::string, std::optional<std::string>> saved_;
};

TEST(GeneralDateText, UnitedStatesFormInTheCAndEnglishLocales) {
    struct Case {
        std::tm when;
        const char* expected;
    };
    const Case cases[] = {
        {MakeTime(2026, 12, 8, 21, 2, 1), "12/8/2026 9:02:01 PM"},
        {MakeTime(2026, 12, 8, 0, 0, 0), "12/8/2026"},
        {MakeTime(2026, 12, 8, 12, 0, 0), "12/8/2026 12:00:00 PM"},
        {MakeTime(2026, 12, 8, 0, 0, 1), "12/8/2026 12:00:01 AM"},
        {MakeTime(2026, 1, 5, 9, 5, 7), "1/5/2026 9:05:07 AM"},
        {MakeTime(1999, 10, 31, 23, 59, 59), "10/31/1999 11:59:59 PM"},
        {MakeTime(2026, 12, 8, 11, 59, 59), "12/8/2026 11:59:59 AM"},
    };
    for (const char* locale : {"C", "POSIX", "C.UTF-8", "en_US", "en_US.UTF-8", "en_US.utf8", "xx_YY.UTF-8"}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(locale) + " " + c.expected);
            EXPECT_EQ(GeneralDateText(c.when, locale), c.expected);
        }
    }
}

TEST(GeneralDateText, UserLocaleComesFromTheEnvironment) {
    struct Case {
        const char* lcAll;
        const char* lcTime;
        const char* lang;
        const char* expected;
    };
    const Case cases[] = {
        {"en_US.UTF-8", "de_DE.UTF-8", "fr_FR.UTF-8", "en_US.UTF-8"},
        {"", "de_DE.UTF-8", "fr_FR.UTF-8", "de_DE.UTF-8"},
        {nullptr, nullptr, "fr_FR.UTF-8", "fr_FR.UTF-8"},
        {nullptr, "", "", "C"},
        {nullptr, nullptr, nullptr, "C"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        EnvironmentGuard environment;
        environment.set("LC_ALL", c.lcAll);
        environment.set("LC_TIME", c.lcTime);
        environment.set("LANG", c.lang);
        EXPECT_EQ(UserTimeLocaleName(), c.expected);
    }
    EnvironmentGuard environment;
    environment.set("LC_ALL", "POSIX");
    EXPECT_EQ(GeneralDateText(MakeTime(2026, 12, 8, 21, 2, 1)), "12/8/2026 9:02:01 PM");
}

TEST(WidenYear, ShowsTheFullYear) {
    struct Case {
        const char* format;
        const char* expected;
    };
    const Case cases[] = {
        {"%m/%d/%y", "%m/%d/%Y"},
        {"%d.%m.%Y", "%d.%m.%Y"},
        {"%y-%m-%d %y", "%Y-%m-%d %Y"},
        {"%%y", "%%y"},
        {"%%%y", "%%%Y"},
        {"y%", "y%"},
        {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.format);
        EXPECT_EQ(WidenYear(c.format), c.expected);
    }
}

// Other locales need compiled locale data; the test builds what it needs
// into its own folder and skips when the system cannot.
class OtherLocales : public ::testing::Test {
protected:
    bool compile(const std::string& source, const std::string& name) {
        const std::string command =
            "localedef -i " + source + " -f UTF-8 " + folder.path() + "/" + name + " >/dev/null 2>&1";
        return std::system(command.c_str()) == 0;
    }

    test::TempDir folder;
    EnvironmentGuard environment;
};

TEST_F(OtherLocales, UseTheLocalesShortDateAndTime) {
    if (!compile("de_DE", "de_DE.UTF-8") || !compile("en_GB", "en_GB.UTF-8")) {
        GTEST_SKIP() << "localedef or the locale sources are not available";
    }
    environment.set("LOCPATH", folder.path().c_str());
    const std::tm evening = MakeTime(2026, 12, 8, 21, 2, 1);
    const std::tm midnight = MakeTime(2026, 12, 8, 0, 0, 0);
    EXPECT_EQ(GeneralDateText(evening, "de_DE.UTF-8"), "08.12.2026 21:02:01");
    EXPECT_EQ(GeneralDateText(midnight, "de_DE.UTF-8"), "08.12.2026");
    EXPECT_EQ(GeneralDateText(evening, "en_GB.UTF-8"), "08/12/2026 21:02:01");
    environment.set("LC_ALL", nullptr);
    environment.set("LC_TIME", "de_DE.UTF-8");
    EXPECT_EQ(GeneralDateText(evening), "08.12.2026 21:02:01");
}

TEST_F(OtherLocales, FallBackWhenTheTextHasNoWindows1252Form) {
    if (!compile("ja_JP", "ja_JP.UTF-8")) GTEST_SKIP() << "localedef or the locale sources are not available";
    environment.set("LOCPATH", folder.path().c_str());
    EXPECT_EQ(GeneralDateText(MakeTime(2026, 12, 8, 21, 2, 1), "ja_JP.UTF-8"), "12/8/2026 9:02:01 PM");
}

}  // namespace
}  // namespace vrx
