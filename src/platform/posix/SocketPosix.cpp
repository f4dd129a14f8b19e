#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/Socket.h"

namespace net {

bool Startup() { return true; }

Handle StartConnect(const std::string& host, std::uint16_t port) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) return kNoSocket;
    int fd = -1;
    for (addrinfo* ai = found; ai && fd < 0; ai = ai->ai_next) {
        fd = socket(ai->ai_family, ai->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, ai->ai_protocol);
        if (fd < 0) continue;
        if (connect(fd, ai->ai_addr, ai->ai_addrlen) != 0 && errno != EINPROGRESS) {
            close(fd);
            fd = -1;
        }
    }
    freeaddrinfo(found);
    return fd;
}

bool ConnectSucceeded(Handle h) {
    int error = 0;
    socklen_t length = sizeof error;
    return getsockopt(static_cast<int>(h), SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0;
}

Ready WaitReady(Handle h, bool forWrite, int ms) {
    pollfd p{static_cast<int>(h), static_cast<short>(forWrite ? POLLOUT : POLLIN), 0};
    const int n = poll(&p, 1, ms);
    if (n < 0) return errno == EINTR ? Ready::No : Ready::Error;
    if (n == 0) return Ready::No;
    // A hang-up with data still to read is read first; the read then sees the end.
    if ((p.revents & (POLLERR | POLLNVAL)) || ((p.revents & POLLHUP) && forWrite)) return Ready::Error;
    return Ready::Yes;
}

long SendSome(Handle h, const char* data, std::size_t n) {
    return static_cast<long>(send(static_cast<int>(h), data, n, MSG_NOSIGNAL));
}

long ReceiveSome(Handle h, char* data, std::size_t n) { return static_cast<long>(recv(static_cast<int>(h), data, n, 0)); }

bool WouldBlock() { return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR; }

void Close(Handle h) { close(static_cast<int>(h)); }

}  // namespace net
