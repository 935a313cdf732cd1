#include "info/UpdateAddress.h"

#include <cctype>

namespace vrx {

namespace {

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// A host name or address with an optional port: letters, digits, '.', '-',
// ':' and the brackets of an IPv6 address; the host is never empty (not
// ":8080", not "[]:8080"), or the page's address would name no server.
bool IsHostAndPort(std::string_view text) {
    if (text.empty() || text.front() == ':' || StartsWith(text, "[]")) return false;
    for (const char c : text) {
        const bool ok = std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '.' || c == '-' || c == ':' ||
                        c == '[' || c == ']';
        if (!ok) return false;
    }
    return true;
}

}  // namespace

std::string UpdateServer(const char* setting) {
    if (setting == nullptr) return kBuiltInUpdateServer;
    std::string_view server(setting);
    if (!server.empty() && server.back() == '/') server.remove_suffix(1);
    for (const std::string_view scheme : {"http://", "https://"}) {
        if (StartsWith(server, scheme) && IsHostAndPort(server.substr(scheme.size()))) return std::string(server);
    }
    return kBuiltInUpdateServer;
}

std::string UpdatePageAddress(std::string_view server, std::string_view versionText) {
    std::string address(server);
    address += "/updates.asp?id=vrxnorvan&version=";
    address += versionText;
    return address;
}

}  // namespace vrx
