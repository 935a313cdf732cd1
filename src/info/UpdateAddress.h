#pragma once
// The address of the maker's update page for this program: the update
// server's scheme and host, then the path and query naming the product and
// its version, so the server can say whether an update exists.

#include <string>
#include <string_view>

namespace vrx {

inline constexpr const char* kBuiltInUpdateServer = "https://updates.quellmark.example";
// The environment variable that replaces the built-in server (a test server, a mirror).
inline constexpr const char* kUpdateServerVariable = "VERDANTIS_UPDATE_SERVER";

// The server to use: setting when it is an http or https address made of a
// scheme and a host (with an optional port and one trailing "/", which is
// dropped); the built-in server when setting is null, empty or anything else.
std::string UpdateServer(const char* setting);

// server + "/updates.asp?id=vrxnorvan&version=" + versionText.
std::string UpdatePageAddress(std::string_view server, std::string_view versionText);

}  // namespace vrx
