#pragma once
// Data sets for the benchmark, laid down in a temporary folder.

#include <cstddef>
#include <string>
#include <vector>

namespace vrx::bench {

// Creates folder and fills it with count files of size bytes named by names.
void MakeFiles(const std::string& folder, const std::vector<std::string>& names, std::size_t size, char fill);

// count texture-like names: "tex00000.bmp" ...
std::vector<std::string> TextureNames(std::size_t count);

// The same names with their letters in upper case.
std::vector<std::string> UpperCased(const std::vector<std::string>& names);

// Runs a shell command; false when it failed.
bool Shell(const std::string& command);

// Removes folder with everything in it.
void RemoveTree(const std::string& folder);

}  // namespace vrx::bench
