#include "platform/linux/StartProblem.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <vector>

extern char** environ;

namespace vrx {

namespace {

constexpr const char* kTitle = "Verdantis X Norvane";

// Runs arguments[0] (looked up on the PATH) and waits for it to end,
// however it ends (the user may close the window rather than press OK);
// false when it could not be started.
bool RunAndWait(std::vector<std::string> arguments) {
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid_t child = 0;
    if (::posix_spawnp(&child, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return false;
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return true;
}

bool HasDisplay() {
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0') return true;
    }
    return false;
}

}  // namespace

void ReportStartProblem(const std::string& message) {
    std::fprintf(stderr, "verdantis: %s\n", message.c_str());
    std::fflush(stderr);
    if (::isatty(STDERR_FILENO) || !HasDisplay()) return;
    // A message program that is missing fails to start and the next is tried.
    if (RunAndWait({"zenity", "--error", "--no-markup", "--title", kTitle, "--text", message})) return;
    if (RunAndWait({"kdialog", "--title", kTitle, "--error", message})) return;
    RunAndWait({"xmessage", "-center", "-title", kTitle, message});
}

}  // namespace vrx
