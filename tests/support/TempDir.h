#pragma once
// A real temporary folder for a test, removed with everything in it at the
// end, and small helpers to lay down files with exact bytes. The folders are
// made in $TMPDIR (else /tmp): tests/reflink/run-on-xfs points it at a file
// system made for the run, to run the same tests there.

#include <string>
#include <vector>

namespace vrx::test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    // path() + "/" + relative
    std::string operator/(const std::string& relative) const;

private:
    std::string path_;
};

// Writes bytes to path, creating missing parent folders.
void WriteFile(const std::string& path, const std::string& bytes);
// The whole content of path; throws when it cannot be read.
std::string ReadFile(const std::string& path);
// Creates path and its missing parents.
void MakeDirs(const std::string& path);
bool PathExists(const std::string& path);
// Names in folder (files and folders, dot entries excluded), sorted.
std::vector<std::string> ListNames(const std::string& folder);

}  // namespace vrx::test
