#include "link/socket_port.h"

#include <gtest/gtest.h>

namespace zorvan::link {
namespace {

TEST(SocketName, GoodNamesGiveHostAndPort) {
    const struct {
        const char* name;
        SocketAddress address;
    } rows[] = {
        {"socket://127.0.0.1:2000", {"127.0.0.1", 2000}},
        {"socket://lab-pc.example:1", {"lab-pc.example", 1}},
        {"socket://[::1]:65535", {"::1", 65535}},
        {"socket://[fe80::1%eth0]:4001", {"fe80::1%eth0", 4001}},
        {"rfc2217://192.168.0.7:2217", {"192.168.0.7", 2217}},
        {"rfc2217://[::1]:4000", {"::1", 4000}},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(parseSocketName(row.name), row.address) << row.name;
    }
}

TEST(SocketName, OtherNamesGiveNothing) {
    const char* const rows[] = {
        "COM3",
        "/dev/ttyUSB0",
        "telnet://host:2000",
        "SOCKET://host:2000",
        "rfc2217://host",
        "socket://",
        "socket://host",
        "socket://host:",
        "socket://:2000",
        "socket://host:0",
        "socket://host:65536",
        "socket://host:100000",
        "socket://host:20a0",
        "socket://host:+200",
        "socket://::1:2000",
        "socket://[::1:2000",
        "socket://[]:2000",
        "socket://host/path:2000",
        "socket://host:2000/",
    };
    for (const char* name : rows) {
        EXPECT_EQ(parseSocketName(name), std::nullopt) << name;
    }
}

} // namespace
} // namespace zorvan::link
