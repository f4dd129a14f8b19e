#include "platform/Socket.h"

#include <algorithm>
#include <chrono>

namespace net {
namespace {

constexpr int kSliceMs = 10;  // how long a wait goes without looking at the stop flag

}  // namespace

Status Stream::Wait(bool forWrite, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (stop_.load()) return Status::Stopped;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return Status::TimedOut;
        switch (WaitReady(handle_, forWrite, std::min<int>(kSliceMs, static_cast<int>(left.count())))) {
        case Ready::Yes: return Status::Ok;
        case Ready::Error: return Status::Failed;
        case Ready::No: break;
        }
    }
}

Status Stream::Connect(const std::string& host, std::uint16_t port, int timeoutMs) {
    Close();
    if (stop_.load()) return Status::Stopped;
    handle_ = StartConnect(host, port);
    if (handle_ == kNoSocket) return Status::Failed;
    const Status s = Wait(true, timeoutMs);
    if (s != Status::Ok) return s;
    return ConnectSucceeded(handle_) ? Status::Ok : Status::Failed;
}

Status Stream::SendAll(std::string_view data, int timeoutMs) {
    while (!data.empty()) {
        const Status s = Wait(true, timeoutMs);
        if (s != Status::Ok) return s;
        const long n = SendSome(handle_, data.data(), data.size());
        if (n < 0 && !WouldBlock()) return Status::Failed;
        if (n > 0) data.remove_prefix(static_cast<std::size_t>(n));
    }
    return Status::Ok;
}

Status Stream::Receive(char* data, std::size_t n, std::size_t& got, int timeoutMs) {
    got = 0;
    // Data already waiting is taken at once; only an empty socket is waited on.
    for (;;) {
        if (stop_.load()) return Status::Stopped;
        const long r = ReceiveSome(handle_, data, n);
        if (r > 0) {
            got = static_cast<std::size_t>(r);
            return Status::Ok;
        }
        if (r == 0) return Status::Closed;
        if (!WouldBlock()) return Status::Failed;
        const Status s = Wait(false, timeoutMs);
        if (s != Status::Ok) return s;
    }
}

void Stream::Close() {
    if (handle_ != kNoSocket) net::Close(handle_);
    handle_ = kNoSocket;
}

}  // namespace net
