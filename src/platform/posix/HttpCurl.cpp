// The manifest fetch on Linux, over libcurl, with the request that the Windows
// build sends through WinInet.
#include <curl/curl.h>

#include <cstring>
#include <memory>

#include "platform/Http.h"

namespace {

CURL* session = nullptr;  // opened by the first fetch, kept until the program ends

struct Body {
    std::string bytes;
    bool tooLarge = false;
};

std::size_t Append(char* data, std::size_t size, std::size_t count, void* user) {
    auto* body = static_cast<Body*>(user);
    const std::size_t n = size * count;
    if (body->bytes.size() + n > http::kMaxBodyBytes) {
        body->tooLarge = true;
        return 0;  // stops the transfer
    }
    body->bytes.append(data, n);
    return n;
}

struct UrlDeleter {
    void operator()(CURLU* u) const { curl_url_cleanup(u); }
};
struct ListDeleter {
    void operator()(curl_slist* l) const { curl_slist_free_all(l); }
};

// Splits the address as the Windows cracker would, with the same room for the
// host and the path with query; nullopt-like empty result when it does not fit.
bool Fits(CURLU* url) {
    char* host = nullptr;
    char* path = nullptr;
    char* query = nullptr;
    bool ok = curl_url_get(url, CURLUPART_HOST, &host, 0) == CURLUE_OK &&
              curl_url_get(url, CURLUPART_PATH, &path, 0) == CURLUE_OK;
    if (ok) {
        std::size_t pathLength = strlen(path);
        if (curl_url_get(url, CURLUPART_QUERY, &query, 0) == CURLUE_OK) pathLength += 1 + strlen(query);
        ok = strlen(host) < http::kMaxHostBytes && pathLength < http::kMaxPathBytes;
    }
    curl_free(host);
    curl_free(path);
    curl_free(query);
    return ok;
}

bool IsHttpScheme(CURLU* url) {
    char* scheme = nullptr;
    if (curl_url_get(url, CURLUPART_SCHEME, &scheme, 0) != CURLUE_OK) return false;
    const bool ok = strcmp(scheme, "http") == 0 || strcmp(scheme, "https") == 0;  // libcurl lowercases it
    curl_free(scheme);
    return ok;
}

}  // namespace

std::string HttpGetAll(const std::string& address) {
    if (address.empty()) return {};
    const std::string withoutFragment = address.substr(0, address.find('#'));
    std::unique_ptr<CURLU, UrlDeleter> url(curl_url());
    if (!url || curl_url_set(url.get(), CURLUPART_URL, withoutFragment.c_str(), CURLU_NON_SUPPORT_SCHEME) != CURLUE_OK)
        return {};
    if (!IsHttpScheme(url.get()) || !Fits(url.get())) return {};

    if (!session) {
        curl_global_init(CURL_GLOBAL_DEFAULT);
        session = curl_easy_init();
        if (!session) return {};
    }
    curl_easy_reset(session);
    std::unique_ptr<curl_slist, ListDeleter> headers(curl_slist_append(nullptr, "Accept: */*"));
    Body body;
    curl_easy_setopt(session, CURLOPT_CURLU, url.get());
    curl_easy_setopt(session, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(session, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_0);
    curl_easy_setopt(session, CURLOPT_USERAGENT, http::kUserAgent);
    curl_easy_setopt(session, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(session, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(session, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(session, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(session, CURLOPT_MAXREDIRS, 10L);
    // No time-outs of the program's own; these are the client's defaults for a
    // server that accepts and then says nothing.
    curl_easy_setopt(session, CURLOPT_CONNECTTIMEOUT, 60L);
    curl_easy_setopt(session, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(session, CURLOPT_LOW_SPEED_TIME, 60L);
    curl_easy_setopt(session, CURLOPT_NOSIGNAL, 1L);
    // No connection stays open after the fetch: the companion started later
    // must not inherit a socket of ours.
    curl_easy_setopt(session, CURLOPT_FORBID_REUSE, 1L);
    curl_easy_setopt(session, CURLOPT_WRITEFUNCTION, Append);
    curl_easy_setopt(session, CURLOPT_WRITEDATA, &body);
    curl_easy_perform(session);  // a failure part way keeps what arrived
    curl_easy_setopt(session, CURLOPT_CURLU, nullptr);
    if (body.tooLarge) return {};
    return std::move(body.bytes);
}

void HttpShutdown() {
    if (!session) return;
    curl_easy_cleanup(session);
    session = nullptr;
    curl_global_cleanup();
}
