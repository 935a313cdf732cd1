#pragma once
// What every fuzz target shares: checks that stop the run with the input
// saved, a scratch folder of the process on a memory file system, and files
// and folder trees with exact bytes.

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

// A property the target asserts; when it does not hold, libFuzzer keeps the
// input as a crash and the message says which property failed.
#define VRX_FUZZ_CHECK(condition) ((condition) ? void(0) : ::vrx::fuzz::Fail(#condition, __FILE__, __LINE__))

namespace vrx::fuzz {

[[noreturn]] void Fail(const char* condition, const char* file, int line);

// A folder of this process, made on first use (in /dev/shm when there is
// one, so that runs stay fast) and removed at exit.
const std::string& ScratchFolder();

// Writes bytes to path, replacing it; aborts when it cannot.
void WriteBytes(const std::string& path, std::string_view bytes);
// Creates the folder (one level) when missing; aborts when it cannot.
void MakeFolder(const std::string& path);
// Removes path and everything below it; nothing when it is missing.
void RemoveTree(const std::string& path);

// One entry of a folder tree as it stands on disk.
struct EntryState {
    char kind = 0;        // 'f' file, 'd' folder, 'l' link, 'o' other
    std::string content;  // a file's bytes, a link's target
    std::uint32_t mode = 0;
    std::string dosAttrib;  // the user.DOSATTRIB attribute, when set
    bool operator==(const EntryState&) const = default;
};

// Every entry below root by its path relative to root (links not followed).
std::map<std::string, EntryState> Snapshot(const std::string& root);

}  // namespace vrx::fuzz
