// Whether Chromium's sandbox can be made, asked in a child process inside a
// user namespace of the test's own, where the limit on further user
// namespaces is set as a system that forbids them sets it.

#include <gtest/gtest.h>
#include <sched.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "platform/linux/SandboxNamespaces.h"

namespace vrx {
namespace {

bool WriteText(const std::string& path, const std::string& text) {
    std::ofstream file(path);
    file << text;
    file.flush();
    return static_cast<bool>(file);
}

// The answer of CanMakeSandboxNamespaces in a user namespace that allows
// allowed more user namespaces: 1 yes, 0 no, -1 the namespace could not be
// set up.
int AnswerWithRoomFor(int allowed) {
    const uid_t uid = ::getuid();
    const gid_t gid = ::getgid();
    const pid_t child = ::fork();
    if (child == 0) {
        if (::unshare(CLONE_NEWUSER) != 0) _exit(3);
        // A process may make a user namespace only when its user and group are mapped.
        if (!WriteText("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1\n") ||
            !WriteText("/proc/self/setgroups", "deny") ||
            !WriteText("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1\n")) {
            _exit(3);
        }
        if (!WriteText("/proc/sys/user/max_user_namespaces", std::to_string(allowed) + "\n")) _exit(3);
        _exit(CanMakeSandboxNamespaces() ? 1 : 0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) == 3) return -1;
    return WEXITSTATUS(status);
}

TEST(CanMakeSandboxNamespaces, YesWhereUserNamespacesAreAllowed) {
    EXPECT_EQ(AnswerWithRoomFor(100), 1);
}

TEST(CanMakeSandboxNamespaces, NoWhereTheSystemForbidsThem) {
    EXPECT_EQ(AnswerWithRoomFor(0), 0);
}

}  // namespace
}  // namespace vrx
