#include "platform/downloader/Url.h"

#include <cctype>

namespace {

struct Scheme {
    std::string_view name;
    std::uint16_t port;
};
constexpr Scheme kSchemes[] = {{"http", 80}, {"ftp", 21}, {"mms", 1755}, {"mmst", 1755}, {"rtsp", 554}};

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::optional<std::uint16_t> ParsePort(std::string_view digits) {
    if (digits.empty() || digits.size() > 5) return std::nullopt;
    unsigned value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    if (value == 0 || value > 65535) return std::nullopt;
    return static_cast<std::uint16_t>(value);
}

}  // namespace

std::string Address::HostAndPort() const {
    const bool defaultPort = (scheme == "http" && port == 80);
    return defaultPort ? host : host + ":" + std::to_string(port);
}

std::string Address::Text() const { return scheme + "://" + HostAndPort() + path; }

std::optional<Address> ParseAddress(std::string_view text) {
    const std::size_t colon = text.find("://");
    if (colon == std::string_view::npos) return std::nullopt;
    Address a;
    a.scheme = Lower(text.substr(0, colon));
    const Scheme* scheme = nullptr;
    for (const Scheme& s : kSchemes)
        if (s.name == a.scheme) scheme = &s;
    if (!scheme) return std::nullopt;
    std::string_view rest = text.substr(colon + 3);
    const std::size_t slash = rest.find('/');
    if (slash == std::string_view::npos) return std::nullopt;
    std::string_view authority = rest.substr(0, slash);
    a.path = std::string(rest.substr(slash));
    if (const std::size_t at = authority.rfind('@'); at != std::string_view::npos) {
        const std::string_view userInfo = authority.substr(0, at);
        const std::size_t split = userInfo.find(':');
        a.user = std::string(userInfo.substr(0, split));
        if (split != std::string_view::npos) a.password = std::string(userInfo.substr(split + 1));
        authority.remove_prefix(at + 1);
    }
    a.port = scheme->port;
    if (const std::size_t portColon = authority.rfind(':'); portColon != std::string_view::npos) {
        const auto port = ParsePort(authority.substr(portColon + 1));
        if (!port) return std::nullopt;
        a.port = *port;
        authority = authority.substr(0, portColon);
    }
    if (authority.empty()) return std::nullopt;
    for (char c : authority)
        if (c == ' ' || c == '\t' || static_cast<unsigned char>(c) < 0x20) return std::nullopt;
    a.host = std::string(authority);
    return a;
}

std::optional<Address> ResolveLocation(const Address& base, std::string_view location) {
    if (location.find("://") != std::string_view::npos) return ParseAddress(location);
    if (location.empty() || location.front() != '/' || location.substr(0, 2) == "//") return std::nullopt;
    Address a = base;
    a.path = std::string(location);
    return a;
}

std::string DefaultReferer(std::string_view url) {
    const std::size_t slash = url.rfind('/');
    return std::string(slash == std::string_view::npos ? url : url.substr(0, slash));
}
