// The bundle's starter run as a user runs it: copied into a folder with (or
// without) the bundle's folder beside it, whose program here is a small
// script that notes how it was started.

#include <gtest/gtest.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/TempDir.h"

namespace vrx {
namespace {

using test::PathExists;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

constexpr const char* kUnpackAgain = "Unpack the whole archive into this folder again.";

void WriteScript(const std::string& path, const std::string& body) {
    WriteFile(path, "#!/bin/sh\n" + body);
    ::chmod(path.c_str(), 0755);
}

// The starter beside a complete bundle folder whose program notes its
// arguments and working folder in ran.txt beside the starter.
void LayBundle(const TempDir& dir) {
    std::filesystem::copy_file(VRX_STARTER, dir / "verdantis");
    WriteScript(dir / "verdantis-runtime/verdantis", "printf '%s|' \"$@\" > \"$(dirname \"$0\")/../ran.txt\"\n");
    WriteFile(dir / "verdantis-runtime/lib/libQt6Core.so.6", "library");
    WriteFile(dir / "verdantis-runtime/files.txt", "glibc 2.17\nverdantis\nlib/libQt6Core.so.6\n");
}

struct StarterRun {
    int status = -1;
    std::string errors;
};

// Runs the starter in dir with arguments and environment (and nothing else
// in it), its standard error into a file (so not a terminal).
StarterRun RunStarter(const TempDir& dir, std::vector<std::string> arguments, std::vector<std::string> environment) {
    std::string starter = dir / "verdantis";
    arguments.insert(arguments.begin(), starter);
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (std::string& variable : environment) envp.push_back(variable.data());
    envp.push_back(nullptr);
    const std::string errors = dir / "errors.txt";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    pid_t child = 0;
    StarterRun run;
    if (posix_spawn(&child, starter.c_str(), &actions, nullptr, argv.data(), envp.data()) == 0) {
        ::waitpid(child, &run.status, 0);
    }
    posix_spawn_file_actions_destroy(&actions);
    run.errors = ReadFile(errors);
    return run;
}

bool ExitedWith(const StarterRun& run, int code) { return WIFEXITED(run.status) && WEXITSTATUS(run.status) == code; }

TEST(Starter, BecomesTheProgramInItsFolderWithTheSameArguments) {
    TempDir dir;
    LayBundle(dir);
    const StarterRun run = RunStarter(dir, {"first", "with space"}, {"PATH=/usr/bin:/bin"});
    EXPECT_TRUE(ExitedWith(run, 0)) << run.errors;
    EXPECT_EQ(run.errors, "");
    EXPECT_EQ(ReadFile(dir / "ran.txt"), "first|with space|");
}

TEST(Starter, WithoutItsFolderSaysSoAndStartsNothing) {
    TempDir dir;
    std::filesystem::copy_file(VRX_STARTER, dir / "verdantis");
    const StarterRun run = RunStarter(dir, {}, {"PATH=/usr/bin:/bin"});
    EXPECT_TRUE(ExitedWith(run, 1));
    EXPECT_EQ(run.errors, "verdantis: The folder \"verdantis-runtime\" is missing from " + dir.path() +
                              ". It holds the libraries and files the program needs, and must stay beside "
                              "\"verdantis\". " + kUnpackAgain + "\n");
}

TEST(Starter, NamesALibraryMissingFromItsFolder) {
    TempDir dir;
    LayBundle(dir);
    std::filesystem::remove(dir / "verdantis-runtime/lib/libQt6Core.so.6");
    const StarterRun run = RunStarter(dir, {}, {"PATH=/usr/bin:/bin"});
    EXPECT_TRUE(ExitedWith(run, 1));
    EXPECT_EQ(run.errors, "verdantis: A file the program needs is missing from " + dir.path() +
                              "/verdantis-runtime:\n  lib/libQt6Core.so.6\n" + kUnpackAgain + "\n");
    EXPECT_FALSE(PathExists(dir / "ran.txt"));
}

TEST(Starter, SaysWhyTheProgramCannotBeStarted) {
    TempDir dir;
    LayBundle(dir);
    ::chmod((dir / "verdantis-runtime/verdantis").c_str(), 0644);  // no one may run it, not even root
    const StarterRun run = RunStarter(dir, {}, {"PATH=/usr/bin:/bin"});
    EXPECT_TRUE(ExitedWith(run, 1));
    EXPECT_EQ(run.errors, "verdantis: The program " + dir.path() +
                              "/verdantis-runtime/verdantis cannot be started: Permission denied.\n");
}

// Started from a desktop (standard error no terminal, a display there), the
// message is also shown by the first message program found.
TEST(Starter, ShowsTheProblemInTheDesktopsMessageWindow) {
    struct Case {
        std::vector<const char*> programs;  // on the PATH
        const char* display;
        const char* shownBy;  // nullptr: none
        const char* arguments;
    };
    const std::string message = "The folder \"verdantis-runtime\" is missing from ";
    const Case cases[] = {
        {{"zenity", "kdialog", "xmessage"}, "DISPLAY=:0", "zenity",
         "--error|--no-markup|--title|Verdantis X Norvane|--text|"},
        {{"kdialog", "xmessage"}, "WAYLAND_DISPLAY=wayland-0", "kdialog", "--title|Verdantis X Norvane|--error|"},
        {{"xmessage"}, "DISPLAY=:0", "xmessage", "-center|-title|Verdantis X Norvane|"},
        {{"zenity"}, "DISPLAY=", nullptr, nullptr},
        {{}, "DISPLAY=:0", nullptr, nullptr},
    };
    for (const Case& c : cases) {
        TempDir dir;
        std::filesystem::copy_file(VRX_STARTER, dir / "verdantis");
        for (const char* program : c.programs) {
            WriteScript(dir / (std::string("bin/") + program),
                        "printf '%s|' \"$@\" > \"" + dir.path() + "/shown-by-" + program + "\"\nexit 1\n");
        }
        test::MakeDirs(dir / "bin");
        const StarterRun run = RunStarter(dir, {}, {"PATH=" + (dir / "bin"), c.display});
        EXPECT_TRUE(ExitedWith(run, 1));
        EXPECT_NE(run.errors.find(message), std::string::npos) << run.errors;
        for (const char* program : {"zenity", "kdialog", "xmessage"}) {
            const std::string shown = dir / (std::string("shown-by-") + program);
            if (c.shownBy != nullptr && std::string(program) == c.shownBy) {
                ASSERT_TRUE(PathExists(shown)) << program;
                EXPECT_EQ(ReadFile(shown), std::string(c.arguments) + message + dir.path() +
                                               ". It holds the libraries and files the program needs, and must "
                                               "stay beside \"verdantis\". " + kUnpackAgain + "|");
            } else {
                EXPECT_FALSE(PathExists(shown)) << program << " with " << c.display;
            }
        }
    }
}

}  // namespace
}  // namespace vrx
