#pragma once
// Makes a folder the process's current folder for the lifetime of the
// object, as a program started from there has it, then returns to the one before.

#include <filesystem>
#include <string>

namespace vrx::test {

class CurrentFolder {
public:
    explicit CurrentFolder(const std::string& folder) : before_(std::filesystem::current_path()) {
        std::filesystem::current_path(folder);
    }
    ~CurrentFolder() { std::filesystem::current_path(before_); }
    CurrentFolder(const CurrentFolder&) = delete;
    CurrentFolder& operator=(const CurrentFolder&) = delete;

private:
    std::filesystem::path before_;
};

}  // namespace vrx::test
