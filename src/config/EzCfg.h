#pragma once
// EZ_CFG: the key=value file class. One object holds the pairs of one file,
// values in their stored form (escapes 0xA5 "n" and 0xA5 "e" kept); look-ups
// ignore letter case and take the first match.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace vrx {

class FileSystem;

class EzCfg {
public:
    explicit EzCfg(FileSystem& fs);

    // Empties the table and reads cfgFile; returns the number of pairs taken.
    // A missing (or hidden/system) file gives 0; a read failing part-way keeps what was read.
    std::int32_t ReadCFG(const std::string& cfgFile);
    // The first value whose key matches strName ignoring case, escapes decoded;
    // "" (or "0" when numerical) when absent. numerical turns the value into number text.
    std::string GetValue(const std::string& strName, bool numerical = false) const;
    // Writes every pair with a non-empty key, replacing the file atomically;
    // false when it could not be written (the old file then stays whole).
    bool WriteCFG(const std::string& cfgFile) const;
    // Empties the table and marks the object initialised.
    void InitCFG();
    // Adds or replaces (ignoring key case) a pair; false for an empty name.
    bool AddToCFG(const std::string& strName, const std::string& strValue);

    bool IsInitialised() const { return initialised_; }
    const std::vector<std::pair<std::string, std::string>>& Entries() const { return entries_; }

private:
    FileSystem& fs_;
    std::vector<std::pair<std::string, std::string>> entries_;
    bool initialised_ = false;
};

}  // namespace vrx
