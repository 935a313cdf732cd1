#include "platform/linux/BundleCheck.h"

#include <sys/stat.h>

#include <cstddef>
#include <fstream>
#include <sstream>
#include <vector>

namespace vrx {

namespace {

// At most this many missing files are named one by one; the rest are counted.
constexpr std::size_t kNamedAtMost = 12;

constexpr const char* kUnpackAgain = "Unpack the whole archive into this folder again.";

std::vector<unsigned long> VersionNumbers(const std::string& version) {
    std::vector<unsigned long> numbers;
    std::istringstream parts(version);
    std::string part;
    while (std::getline(parts, part, '.')) {
        unsigned long number = 0;
        std::size_t digits = 0;
        while (digits < part.size() && part[digits] >= '0' && part[digits] <= '9') {
            number = number * 10 + static_cast<unsigned long>(part[digits] - '0');
            ++digits;
        }
        numbers.push_back(number);
        if (digits < part.size()) break;  // "36-5" or "36+git": the numbers before count
    }
    return numbers;
}

bool IsFolder(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// A file the program needs is there when it can be opened as a file: a
// folder, a dangling link or an unreadable file in its place counts as missing.
bool IsReadableFile(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) return false;
    std::ifstream file(path, std::ios::binary);
    return file.good();
}

}  // namespace

bool VersionAtLeast(const std::string& version, const std::string& required) {
    const std::vector<unsigned long> have = VersionNumbers(version);
    const std::vector<unsigned long> need = VersionNumbers(required);
    for (std::size_t i = 0; i < need.size(); ++i) {
        const unsigned long part = i < have.size() ? have[i] : 0;
        if (part != need[i]) return part > need[i];
    }
    return true;
}

std::string BundleProblem(const std::string& programFolder, const std::string& systemGlibc) {
    const std::string runtime = programFolder + "/" + kRuntimeFolderName;
    if (!IsFolder(runtime)) {
        return std::string("The folder \"") + kRuntimeFolderName + "\" is missing from " + programFolder +
               ". It holds the libraries and files the program needs, and must stay beside \"verdantis\". " +
               kUnpackAgain;
    }
    std::ifstream list(runtime + "/" + kRuntimeFileList);
    if (!list) {
        return "The list of the program's files, " + runtime + "/" + kRuntimeFileList + ", is missing. " +
               kUnpackAgain;
    }
    std::vector<std::string> missing;
    std::string glibc;
    std::string line;
    while (std::getline(list, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line.front() == '#') continue;
        if (line.rfind("glibc ", 0) == 0) {
            glibc = line.substr(6);
            continue;
        }
        if (!IsReadableFile(runtime + "/" + line)) missing.push_back(line);
    }
    if (!glibc.empty() && !VersionAtLeast(systemGlibc, glibc)) {
        return "The program needs the GNU C library (glibc) " + glibc + " or newer; this system has " + systemGlibc +
               ".";
    }
    if (missing.empty()) return {};
    std::string message = missing.size() == 1 ? "A file the program needs is missing from " + runtime + ":\n"
                                              : std::to_string(missing.size()) +
                                                    " files the program needs are missing from " + runtime + ":\n";
    for (std::size_t i = 0; i < missing.size() && i < kNamedAtMost; ++i) message += "  " + missing[i] + "\n";
    if (missing.size() > kNamedAtMost) {
        message += "  and " + std::to_string(missing.size() - kNamedAtMost) + " more\n";
    }
    return message + kUnpackAgain;
}

}  // namespace vrx
