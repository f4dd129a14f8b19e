// The address forms the downloader accepts.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct Address {
    std::string scheme;  // lower case: http, ftp, mms, mmst or rtsp
    std::string user, password;
    std::string host;
    std::uint16_t port = 0;
    std::string path;  // with the query; begins with "/"

    std::string HostAndPort() const;  // as the Host header wants it
    std::string Text() const;         // the whole address again, for a proxy's request line
};

// A scheme of the accepted ones (any letter case), "://", an optional
// user[:password]@, a host, an optional ":port", then "/" and the path.
std::optional<Address> ParseAddress(std::string_view text);

// The target of a redirect: an absolute address, or a path on the same server.
std::optional<Address> ResolveLocation(const Address& base, std::string_view location);

// The default Referer: the address up to, not including, its last "/".
std::string DefaultReferer(std::string_view url);
