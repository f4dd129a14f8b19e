#include "platform/downloader/HttpProtocol.h"

#include <cctype>

namespace {

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

// A non-negative decimal number that fits well below the 63-bit limit.
std::optional<std::int64_t> Number(std::string_view s) {
    if (s.empty() || s.size() > 18) return std::nullopt;
    std::int64_t value = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

// "bytes first-last/total" with total possibly "*".
std::optional<ContentRange> ParseContentRange(std::string_view v) {
    if (v.substr(0, 6) != "bytes ") return std::nullopt;
    v.remove_prefix(6);
    const std::size_t dash = v.find('-'), slash = v.find('/');
    if (dash == std::string_view::npos || slash == std::string_view::npos || slash < dash) return std::nullopt;
    const auto first = Number(Trim(v.substr(0, dash)));
    const auto last = Number(Trim(v.substr(dash + 1, slash - dash - 1)));
    if (!first || !last || *last < *first) return std::nullopt;
    ContentRange range{*first, *last, std::nullopt};
    const std::string_view total = Trim(v.substr(slash + 1));
    if (total != "*") {
        range.total = Number(total);
        if (!range.total || *range.total <= *last) return std::nullopt;
    }
    return range;
}

}  // namespace

std::string BuildRequest(const Address& address, const std::string& referer, bool viaProxy,
                         std::optional<std::int64_t> rangeStart) {
    std::string r = "GET " + (viaProxy ? address.Text() : address.path) + " HTTP/1.1\r\n";
    r += "Host: " + address.HostAndPort() + "\r\n";
    r += "Accept: */*\r\n";
    r += "Referer: " + referer + "\r\n";
    r += std::string("User-Agent: ") + kDownloadUserAgent + "\r\n";
    if (rangeStart) r += "Range: bytes=" + std::to_string(*rangeStart) + "-\r\n";
    r += "Pragma: no-cache\r\n";
    r += "Cache-Control: no-cache\r\n";
    r += "Connection: close\r\n\r\n";
    return r;
}

std::optional<ResponseHead> ParseResponseHead(std::string_view head) {
    std::size_t end = head.find('\n');
    const std::string_view statusLine = Trim(head.substr(0, end));
    // "HTTP/1.x NNN reason"
    if (statusLine.substr(0, 5) != "HTTP/" || statusLine.size() < 12 || statusLine[8] != ' ') return std::nullopt;
    const auto status = Number(statusLine.substr(9, 3));
    if (!status || (statusLine.size() > 12 && statusLine[12] != ' ')) return std::nullopt;
    ResponseHead r;
    r.status = static_cast<int>(*status);
    while (end != std::string_view::npos) {
        const std::size_t start = end + 1;
        end = head.find('\n', start);
        const std::string_view line = head.substr(start, end == std::string_view::npos ? end : end - start);
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos) continue;
        const std::string_view name = Trim(line.substr(0, colon));
        const std::string_view value = Trim(line.substr(colon + 1));
        if (EqualsNoCase(name, "Content-Length")) {
            r.contentLength = Number(value);
            if (!r.contentLength) return std::nullopt;  // a length that is not a number is no answer to trust
        } else if (EqualsNoCase(name, "Content-Range")) {
            r.contentRange = ParseContentRange(value);
            if (!r.contentRange) return std::nullopt;
        } else if (EqualsNoCase(name, "Location")) {
            r.location = std::string(value);
        }
    }
    return r;
}
