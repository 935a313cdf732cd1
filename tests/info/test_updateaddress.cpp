// The update page's address: the server from the environment or built in,
// then the product's id and version.

#include <gtest/gtest.h>

#include "info/UpdateAddress.h"

namespace vrx {
namespace {

TEST(UpdateAddressTest, ServerFromTheSettingOrBuiltIn) {
    struct Case {
        const char* name;
        const char* setting;
        const char* server;
    };
    const Case cases[] = {
        {"unset", nullptr, "https://updates.quellmark.example"},
        {"empty", "", "https://updates.quellmark.example"},
        {"local test server", "http://127.0.0.1:8080", "http://127.0.0.1:8080"},
        {"trailing slash dropped", "http://127.0.0.1:8080/", "http://127.0.0.1:8080"},
        {"https host", "https://mirror.example.org", "https://mirror.example.org"},
        {"ipv6 with port", "http://[::1]:8080", "http://[::1]:8080"},
        {"no scheme", "127.0.0.1:8080", "https://updates.quellmark.example"},
        {"other scheme", "file:///etc", "https://updates.quellmark.example"},
        {"with a path", "http://127.0.0.1:8080/x", "https://updates.quellmark.example"},
        {"with a query", "http://127.0.0.1?a=b", "https://updates.quellmark.example"},
        {"scheme only", "http://", "https://updates.quellmark.example"},
        {"empty host", "http:///", "https://updates.quellmark.example"},
        {"empty host over https", "https:///", "https://updates.quellmark.example"},
        {"port without a host", "http://:8080", "https://updates.quellmark.example"},
        {"empty ipv6 brackets", "http://[]:8080/", "https://updates.quellmark.example"},
        {"two slashes", "http://127.0.0.1//", "https://updates.quellmark.example"},
        {"user part", "http://me@127.0.0.1", "https://updates.quellmark.example"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(UpdateServer(c.setting), c.server);
    }
}

TEST(UpdateAddressTest, PageAddressNamesProductAndVersion) {
    EXPECT_EQ(UpdatePageAddress("https://updates.quellmark.example", "1.08"),
              "https://updates.quellmark.example/updates.asp?id=vrxnorvan&version=1.08");
    EXPECT_EQ(UpdatePageAddress("http://127.0.0.1:8080", "2.15"),
              "http://127.0.0.1:8080/updates.asp?id=vrxnorvan&version=2.15");
}

}  // namespace
}  // namespace vrx
