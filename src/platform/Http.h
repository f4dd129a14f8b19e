#pragma once

#include <cstddef>
#include <string>

namespace http {

// The manifest is a small document: a body larger than this is not read further
// and gives the empty result, so an endless body cannot exhaust memory.
constexpr std::size_t kMaxBodyBytes = 64u << 20;

constexpr const char* kUserAgent = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";
constexpr std::size_t kMaxHostBytes = 256;   // with the terminating NUL
constexpr std::size_t kMaxPathBytes = 2048;  // path with query, with the terminating NUL

}  // namespace http

// The whole body of one GET for `address` (http or https, fragment dropped,
// redirects followed, status not examined). Empty when nothing could be
// fetched; a body cut off part way comes back as far as it arrived.
std::string HttpGetAll(const std::string& address);

// The program ends: close the internet session opened by the first fetch.
void HttpShutdown();
