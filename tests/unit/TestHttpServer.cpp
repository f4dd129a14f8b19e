#include "unit/TestHttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>

namespace {

void SendAll(int fd, const std::string& data) {
    std::size_t sent = 0;
    while (sent < data.size()) {
        const ssize_t n = send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) return;
        sent += static_cast<std::size_t>(n);
    }
}

// The start position of "Range: bytes=N-", or -1.
long long RangeStart(const std::string& head) {
    const std::size_t at = head.find("\r\nRange: bytes=");
    return at == std::string::npos ? -1 : std::stoll(head.substr(at + 15));
}

}  // namespace

TestHttpServer::TestHttpServer(ServerBehaviour behaviour)
    : behaviour_(std::move(behaviour)), cutsLeft_(behaviour_.cutRequests), stallsLeft_(behaviour_.stallRequests),
      wrongRangesLeft_(behaviour_.wrongRangeRequests) {
    listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(listener_, reinterpret_cast<sockaddr*>(&a), sizeof a);
    listen(listener_, 64);
    socklen_t length = sizeof a;
    getsockname(listener_, reinterpret_cast<sockaddr*>(&a), &length);
    port_ = ntohs(a.sin_port);
    acceptor_ = std::thread([this] {
        while (!closing_.load()) {
            pollfd p{listener_, POLLIN, 0};
            if (poll(&p, 1, 20) <= 0) continue;
            const int client = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
            if (client < 0) continue;
            std::lock_guard<std::mutex> lock(mutex_);
            clientFds_.push_back(client);
            clients_.emplace_back([this, client] { Serve(client); });
        }
    });
}

TestHttpServer::~TestHttpServer() {
    closing_.store(true);
    acceptor_.join();
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (int fd : clientFds_) shutdown(fd, SHUT_RDWR);
    }
    for (auto& t : clients_) t.join();
    for (int fd : clientFds_) close(fd);
    close(listener_);
}

std::string TestHttpServer::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::vector<std::string> TestHttpServer::Requests() {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
}

void TestHttpServer::Serve(int client) {
    std::string data;
    char chunk[4096];
    while (data.find("\r\n\r\n") == std::string::npos) {
        const ssize_t n = recv(client, chunk, sizeof chunk, 0);
        if (n <= 0) return;
        data.append(chunk, static_cast<std::size_t>(n));
    }
    const std::string head = data.substr(0, data.find("\r\n\r\n") + 4);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        requests_.push_back(head);
    }
    Answer(client, head);
    shutdown(client, SHUT_WR);
}

void TestHttpServer::Answer(int client, const std::string& head) {
    const ServerBehaviour& b = behaviour_;
    if (b.status != 200) {
        std::string answer = "HTTP/1.1 " + std::to_string(b.status) + " Status\r\n";
        if (!b.location.empty()) answer += "Location: " + b.location + "\r\n";
        answer += "Content-Length: 9\r\nConnection: close\r\n\r\nno file\r\n";
        SendAll(client, answer);
        return;
    }
    const long long total = static_cast<long long>(b.body.size());
    const long long announced = b.announcedSize >= 0 ? b.announcedSize : total;
    long long start = RangeStart(head);
    std::string answer;
    if (start >= 0 && b.honourRanges && start < total) {
        int shift = 0;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (wrongRangesLeft_ > 0 && wrongRangesLeft_--) shift = b.wrongRangeShift;
        }
        answer = "HTTP/1.1 206 Partial Content\r\nContent-Range: bytes " + std::to_string(start + shift) + "-" +
                 std::to_string(total - 1) + "/" + std::to_string(announced) + "\r\n";
        if (!b.omitSize) answer += "Content-Length: " + std::to_string(total - start) + "\r\n";
    } else {
        start = 0;
        answer = "HTTP/1.1 200 OK\r\n";
        if (!b.omitSize) answer += "Content-Length: " + std::to_string(announced) + "\r\n";
    }
    answer += "Connection: close\r\n\r\n";
    std::string body = b.body.substr(static_cast<std::size_t>(start));
    bool cut = false, stall = false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (cutsLeft_ > 0) cut = cutsLeft_-- > 0;
        else if (stallsLeft_ > 0) stall = stallsLeft_-- > 0;
    }
    if (cut) body.resize(body.size() / 2);
    SendAll(client, answer);
    if (stall) {
        // Nothing more until the client gives up or the server closes.
        pollfd p{client, POLLIN, 0};
        while (!closing_.load() && poll(&p, 1, 20) == 0) {
        }
        return;
    }
    SendAll(client, body);
}
