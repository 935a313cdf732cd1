#pragma once
// Data sets for the benchmark, laid down in a temporary folder.

#include <cstddef>
#include <string>
#include <vector>

namespace vrx::bench {

// Creates folder and fills it with count files of size bytes named by names.
void MakeFiles(const std::string& folder, const std::vector<std::string>& names, std::size_t size, char fill);

// The same, each file dated a day back, so that it is older than any source
// the run made: rsync -t copies a file only when its time or size differs,
// and files made in the same second as their sources would be passed over.
void MakeOlderFiles(const std::string& folder, const std::vector<std::string>& names, std::size_t size, char fill);

// count texture-like names: "tex00000.bmp" ...
std::vector<std::string> TextureNames(std::size_t count);

// The same names with their letters in upper case.
std::vector<std::string> UpperCased(const std::vector<std::string>& names);

// Runs a shell command; false when it failed.
bool Shell(const std::string& command);

// Removes folder with everything in it.
void RemoveTree(const std::string& folder);

}  // namespace vrx::bench
