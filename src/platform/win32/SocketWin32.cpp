#include <winsock2.h>
#include <ws2tcpip.h>

#include <mutex>

#include "platform/Socket.h"

namespace net {

bool Startup() {
    static std::once_flag once;
    static bool ok = false;
    std::call_once(once, [] {
        WSADATA data;
        ok = WSAStartup(MAKEWORD(2, 2), &data) == 0;
    });
    return ok;
}

Handle StartConnect(const std::string& host, std::uint16_t port) {
    if (!Startup()) return kNoSocket;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) return kNoSocket;
    SOCKET s = INVALID_SOCKET;
    for (addrinfo* ai = found; ai && s == INVALID_SOCKET; ai = ai->ai_next) {
        s = WSASocketA(ai->ai_family, ai->ai_socktype, ai->ai_protocol, nullptr, 0, WSA_FLAG_NO_HANDLE_INHERIT);
        if (s == INVALID_SOCKET) continue;
        u_long nonBlocking = 1;
        ioctlsocket(s, FIONBIO, &nonBlocking);
        if (connect(s, ai->ai_addr, static_cast<int>(ai->ai_addrlen)) != 0 && WSAGetLastError() != WSAEWOULDBLOCK) {
            closesocket(s);
            s = INVALID_SOCKET;
        }
    }
    freeaddrinfo(found);
    return s == INVALID_SOCKET ? kNoSocket : static_cast<Handle>(s);
}

bool ConnectSucceeded(Handle h) {
    int error = 0;
    int length = sizeof error;
    return getsockopt(static_cast<SOCKET>(h), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length) == 0 &&
           error == 0;
}

Ready WaitReady(Handle h, bool forWrite, int ms) {
    fd_set ready, failed;
    FD_ZERO(&ready);
    FD_ZERO(&failed);
    FD_SET(static_cast<SOCKET>(h), &ready);
    FD_SET(static_cast<SOCKET>(h), &failed);  // a refused connect shows here, not as writable
    timeval wait{ms / 1000, (ms % 1000) * 1000};
    const int n = select(0, forWrite ? nullptr : &ready, forWrite ? &ready : nullptr, &failed, &wait);
    if (n < 0) return Ready::Error;
    if (FD_ISSET(static_cast<SOCKET>(h), &failed)) return Ready::Error;
    return n > 0 ? Ready::Yes : Ready::No;
}

long SendSome(Handle h, const char* data, std::size_t n) {
    return send(static_cast<SOCKET>(h), data, static_cast<int>(n), 0);
}

long ReceiveSome(Handle h, char* data, std::size_t n) {
    return recv(static_cast<SOCKET>(h), data, static_cast<int>(n), 0);
}

bool WouldBlock() { return WSAGetLastError() == WSAEWOULDBLOCK; }

void Close(Handle h) { closesocket(static_cast<SOCKET>(h)); }

}  // namespace net
