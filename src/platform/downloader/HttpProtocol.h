// The download's HTTP requests and the reading of an answer's head.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/downloader/Url.h"

constexpr const char* kDownloadUserAgent = "Mozilla/4.0 (compatible; MSIE 5.00; Windows 98)";

// The request for `address`; `rangeStart` set for a connection that continues
// a byte range. Through a proxy the request line names the whole address.
std::string BuildRequest(const Address& address, const std::string& referer, bool viaProxy,
                         std::optional<std::int64_t> rangeStart);

struct ContentRange {
    std::int64_t first = 0, last = 0;
    std::optional<std::int64_t> total;  // "*" leaves it unknown
};

struct ResponseHead {
    int status = 0;
    std::optional<std::int64_t> contentLength;
    std::optional<ContentRange> contentRange;
    std::string location;
};

// Reads the status line and the headers (the bytes before the blank line);
// nullopt when they are not an HTTP answer.
std::optional<ResponseHead> ParseResponseHead(std::string_view head);
