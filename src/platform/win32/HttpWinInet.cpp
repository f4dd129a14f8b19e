// The manifest fetch over WinInet.
#include <windows.h>
#include <wininet.h>

#include "platform/Http.h"

namespace {

HINTERNET session = nullptr;  // opened by the first fetch, kept until the program ends

class InternetHandle {
public:
    explicit InternetHandle(HINTERNET h) : h_(h) {}
    ~InternetHandle() {
        if (h_) InternetCloseHandle(h_);
    }
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;
    HINTERNET get() const { return h_; }

private:
    HINTERNET h_;
};

// Canonicalised without escaping unsafe characters; empty on failure.
std::string Canonical(const std::string& address) {
    DWORD length = static_cast<DWORD>(address.size()) * 3 + 64;
    std::string out(length, '\0');
    if (!InternetCanonicalizeUrlA(address.c_str(), out.data(), &length, ICU_NO_ENCODE)) {
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return {};
        out.assign(length + 1, '\0');
        if (!InternetCanonicalizeUrlA(address.c_str(), out.data(), &length, ICU_NO_ENCODE)) return {};
    }
    out.resize(length);
    return out;
}

std::string ReadBody(HINTERNET request) {
    std::string body;
    char chunk[16384];
    DWORD got = 0;
    // A read that fails part way ends the body with what has arrived.
    while (InternetReadFile(request, chunk, sizeof chunk, &got) && got > 0) {
        if (body.size() + got > http::kMaxBodyBytes) return {};
        body.append(chunk, got);
    }
    return body;
}

}  // namespace

std::string HttpGetAll(const std::string& address) {
    if (address.empty()) return {};
    const std::string canonical = Canonical(address.substr(0, address.find('#')));
    if (canonical.empty()) return {};

    char host[http::kMaxHostBytes] = "";
    char path[http::kMaxPathBytes] = "";  // the query stays in the path: no extra-info buffer
    char user[256] = "";
    char password[256] = "";
    URL_COMPONENTSA parts{};
    parts.dwStructSize = sizeof parts;
    parts.lpszHostName = host;
    parts.dwHostNameLength = sizeof host;
    parts.lpszUrlPath = path;
    parts.dwUrlPathLength = sizeof path;
    parts.lpszUserName = user;
    parts.dwUserNameLength = sizeof user;
    parts.lpszPassword = password;
    parts.dwPasswordLength = sizeof password;
    if (!InternetCrackUrlA(canonical.c_str(), 0, 0, &parts)) return {};
    const bool secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
    if (parts.nScheme != INTERNET_SCHEME_HTTP && !secure) return {};

    if (!session) session = InternetOpenA(http::kUserAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    if (!session) return {};
    InternetHandle connection(InternetConnectA(session, host, parts.nPort, user[0] ? user : nullptr,
                                               password[0] ? password : nullptr, INTERNET_SERVICE_HTTP, 0, 0));
    if (!connection.get()) return {};
    const char* accept[] = {"*/*", nullptr};
    const DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | (secure ? INTERNET_FLAG_SECURE : 0);
    InternetHandle request(HttpOpenRequestA(connection.get(), "GET", path, "HTTP/1.0", nullptr, accept, flags, 0));
    if (!request.get() || !HttpSendRequestA(request.get(), nullptr, 0, nullptr, 0)) return {};
    return ReadBody(request.get());
}

void HttpShutdown() {
    if (!session) return;
    InternetCloseHandle(session);
    session = nullptr;
}
