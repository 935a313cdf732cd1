#pragma once
// The part of the Windows registry under HKEY_LOCAL_MACHINE that the program
// uses: one value read (the simulator's folder), one written (our own folder).

#include <optional>
#include <string>

namespace vrx {

class Registry {
public:
    virtual ~Registry() = default;

    // The string value valueName of keyPath (backslash-separated, below
    // HKEY_LOCAL_MACHINE), as Windows text; nullopt when key or value is absent.
    virtual std::optional<std::string> readString(const std::string& keyPath, const std::string& valueName) = 0;

    // Stores text as the string value valueName of keyPath, creating the key.
    // 0 = stored; 1 = the key cannot be opened or created; other = store error.
    virtual int writeString(const std::string& keyPath, const std::string& valueName, const std::string& text) = 0;

    // Turns a Windows path read from the registry (C:\...) into a path of
    // this machine; text that is not a drive path comes back with "\" as "/".
    virtual std::string toHostPath(const std::string& windowsPath) = 0;
};

}  // namespace vrx
