#pragma once
// Another program acting at the worst moment, for real: a child process runs
// the code under test traced by this one (ptrace), and this process acts on
// the disk when the child is about to open a given path, after everything
// the child did before the open (its looks at the path among them) and
// before the kernel carries the open out. Nothing of the file system is
// stood in for; only the timing is fixed.

#include <functional>
#include <string>

namespace vrx::test {

struct CuedRun {
    int exitCode = -1;  // the child's exit code; -1 when it did not exit normally
    int cues = 0;       // how many times the child was about to open the path
};

// Runs body in a traced child process and returns its exit code; calls act
// here at the child's first open of exactly path (open or openat, as given).
CuedRun RunWithCueBeforeOpen(const std::string& path, const std::function<void()>& act,
                             const std::function<int()>& body);

}  // namespace vrx::test
