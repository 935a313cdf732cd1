#pragma once
// What the starter of the portable bundle checks before it hands over to the
// program: the bundle is the starter `verdantis` with one folder beside it
// (kRuntimeFolderName) that holds the program itself and everything it
// loads. A bundle unpacked without that folder, or with files lost from it,
// must say what is missing instead of leaving the user a loader error.

#include <string>

namespace vrx {

// The folder beside the starter that holds the program and all it loads.
inline constexpr const char* kRuntimeFolderName = "verdantis-runtime";
// The list, inside that folder, of the files the program needs: one path
// relative to the folder per line, and one line "glibc X.Y" naming the
// oldest C library the bundled libraries work with.
inline constexpr const char* kRuntimeFileList = "files.txt";

// Why the bundle beside the starter in programFolder cannot start, as the
// message the user is shown; empty when nothing is missing. systemGlibc is
// this system's C library version ("2.36").
std::string BundleProblem(const std::string& programFolder, const std::string& systemGlibc);

// Whether version (dotted numbers, "2.36") is at least required ("2.34").
bool VersionAtLeast(const std::string& version, const std::string& required);

}  // namespace vrx
