#include "BenchData.h"

#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace vrx::bench {

void MakeFiles(const std::string& folder, const std::vector<std::string>& names, std::size_t size, char fill) {
    std::filesystem::create_directories(folder);
    std::string content(size, fill);
    for (const auto& name : names) {
        std::ofstream out(folder + "/" + name, std::ios::binary | std::ios::trunc);
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
        if (!out) throw std::runtime_error("cannot write " + folder + "/" + name);
    }
}

void MakeOlderFiles(const std::string& folder, const std::vector<std::string>& names, std::size_t size, char fill) {
    MakeFiles(folder, names, size, fill);
    const auto dayBack = std::filesystem::file_time_type::clock::now() - std::chrono::hours(24);
    for (const auto& name : names) std::filesystem::last_write_time(folder + "/" + name, dayBack);
}

std::vector<std::string> TextureNames(std::size_t count) {
    std::vector<std::string> names;
    names.reserve(count);
    char buffer[32];
    for (std::size_t i = 0; i < count; ++i) {
        std::snprintf(buffer, sizeof buffer, "tex%05zu.bmp", i);
        names.emplace_back(buffer);
    }
    return names;
}

std::vector<std::string> UpperCased(const std::vector<std::string>& names) {
    std::vector<std::string> result = names;
    for (auto& name : result)
        for (auto& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return result;
}

bool Shell(const std::string& command) { return std::system(command.c_str()) == 0; }

void RemoveTree(const std::string& folder) {
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
}

}  // namespace vrx::bench
