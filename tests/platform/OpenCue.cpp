#include "OpenCue.h"

#include <signal.h>
#include <sys/ptrace.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <optional>

namespace vrx::test {

namespace {

// The NUL-terminated text at address in the stopped child, up to limit bytes.
std::optional<std::string> ReadChildText(pid_t pid, std::uint64_t address, std::size_t limit = 4096) {
    std::string text;
    while (text.size() < limit) {
        errno = 0;
        const long word = ptrace(PTRACE_PEEKDATA, pid, reinterpret_cast<void*>(address + text.size()), nullptr);
        if (word == -1 && errno != 0) return std::nullopt;
        char bytes[sizeof word];
        std::memcpy(bytes, &word, sizeof word);
        for (const char c : bytes) {
            if (c == '\0') return text;
            text += c;
        }
    }
    return std::nullopt;
}

// The path argument of an open the child is entering, if it is one.
std::optional<std::uint64_t> OpenedPathArgument(const __ptrace_syscall_info& info) {
    if (info.op != PTRACE_SYSCALL_INFO_ENTRY) return std::nullopt;
    if (info.entry.nr == SYS_openat) return info.entry.args[1];
#ifdef SYS_open
    if (info.entry.nr == SYS_open) return info.entry.args[0];
#endif
    return std::nullopt;
}

}  // namespace

CuedRun RunWithCueBeforeOpen(const std::string& path, const std::function<void()>& act,
                             const std::function<int()>& body) {
    CuedRun run;
    const pid_t pid = fork();
    if (pid < 0) return run;
    if (pid == 0) {
        if (ptrace(PTRACE_TRACEME, 0, nullptr, nullptr) != 0) _exit(120);
        raise(SIGSTOP);  // waits here until the parent traces its system calls
        _exit(body());
    }
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFSTOPPED(status)) return run;
    ptrace(PTRACE_SETOPTIONS, pid, nullptr, reinterpret_cast<void*>(PTRACE_O_TRACESYSGOOD | PTRACE_O_EXITKILL));
    int passOn = 0;
    while (ptrace(PTRACE_SYSCALL, pid, nullptr, reinterpret_cast<void*>(static_cast<long>(passOn))) == 0) {
        passOn = 0;
        if (waitpid(pid, &status, 0) != pid) break;
        if (WIFEXITED(status)) {
            run.exitCode = WEXITSTATUS(status);
            return run;
        }
        if (WIFSIGNALED(status)) return run;
        if (!WIFSTOPPED(status)) continue;
        if (WSTOPSIG(status) != (SIGTRAP | 0x80)) {
            passOn = WSTOPSIG(status);  // the child's own signals reach it as untraced
            continue;
        }
        __ptrace_syscall_info info{};
        if (ptrace(PTRACE_GET_SYSCALL_INFO, pid, reinterpret_cast<void*>(sizeof info), &info) <= 0) continue;
        const auto argument = OpenedPathArgument(info);
        if (!argument || ReadChildText(pid, *argument) != path) continue;
        if (run.cues++ == 0) act();
    }
    // Tracing failed part-way: end the child rather than leave it stopped.
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    return run;
}

}  // namespace vrx::test
