// A TCP stream whose every wait has a time-out and gives way to a stop flag:
// no call can block past its time-out, and a stop ends a wait within 10 ms.
// (Name resolution is the exception: the system's resolver cannot be cut short.)
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace net {

using Handle = std::intptr_t;
constexpr Handle kNoSocket = -1;

enum class Status { Ok, Closed, Failed, TimedOut, Stopped };

// The system primitives, one implementation per system.
bool Startup();
Handle StartConnect(const std::string& host, std::uint16_t port);  // non-blocking; kNoSocket on failure
bool ConnectSucceeded(Handle h);
enum class Ready { Yes, No, Error };
Ready WaitReady(Handle h, bool forWrite, int ms);
long SendSome(Handle h, const char* data, std::size_t n);     // -1: failure; wouldBlock tells a retry
long ReceiveSome(Handle h, char* data, std::size_t n);        // 0: the peer closed; -1: failure
bool WouldBlock();
void Close(Handle h);

class Stream {
public:
    explicit Stream(const std::atomic<bool>& stop) : stop_(stop) {}
    ~Stream() { Close(); }
    Stream(const Stream&) = delete;
    Stream& operator=(const Stream&) = delete;

    Status Connect(const std::string& host, std::uint16_t port, int timeoutMs);
    Status SendAll(std::string_view data, int timeoutMs);
    // Up to `n` bytes into `data`; `got` 0 with Closed at the end of the stream.
    Status Receive(char* data, std::size_t n, std::size_t& got, int timeoutMs);
    void Close();

private:
    Status Wait(bool forWrite, int timeoutMs);

    const std::atomic<bool>& stop_;
    Handle handle_ = kNoSocket;
};

}  // namespace net
