#include "link/socket_port.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace zorvan::link {
namespace {

std::optional<std::uint16_t> parsePortNumber(std::string_view digits) {
    constexpr std::size_t kMaxDigits = 5;
    if (digits.empty() || digits.size() > kMaxDigits ||
        !std::all_of(digits.begin(), digits.end(),
                     [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; })) {
        return std::nullopt;
    }
    unsigned long number = 0;
    for (const char c : digits) {
        number = number * 10 + static_cast<unsigned long>(c - '0');
    }
    if (number == 0 || number > 65535) {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(number);
}

// A host outside brackets cannot hold the separators of the name around it.
bool isPlainHost(std::string_view host) {
    return !host.empty() && host.find_first_of(":[]/ ") == std::string_view::npos;
}

} // namespace

std::optional<NetworkTransport> networkTransportOf(const std::string& name) {
    if (name.starts_with(kSocketScheme)) {
        return NetworkTransport::RawTcp;
    }
    if (name.starts_with(kRfc2217Scheme)) {
        return NetworkTransport::Rfc2217;
    }
    return std::nullopt;
}

std::optional<SocketAddress> parseSocketName(const std::string& name) {
    const auto transport = networkTransportOf(name);
    if (!transport) {
        return std::nullopt;
    }
    const std::size_t schemeLength = *transport == NetworkTransport::RawTcp
                                         ? sizeof kSocketScheme - 1
                                         : sizeof kRfc2217Scheme - 1;
    const std::string_view rest = std::string_view(name).substr(schemeLength);
    const std::size_t colon = rest.rfind(':');
    if (colon == std::string_view::npos) {
        return std::nullopt;
    }
    std::string_view host = rest.substr(0, colon);
    const auto port = parsePortNumber(rest.substr(colon + 1));
    if (host.size() > 2 && host.front() == '[' && host.back() == ']') {
        // An IPv6 address carries colons of its own, so it comes in brackets.
        host = host.substr(1, host.size() - 2);
        if (host.find_first_of("[]/ ") != std::string_view::npos) {
            return std::nullopt;
        }
    } else if (!isPlainHost(host)) {
        return std::nullopt;
    }
    if (!port) {
        return std::nullopt;
    }
    return SocketAddress{std::string(host), *port};
}

} // namespace zorvan::link
