// One connection of a download task, on a thread of its own: it fetches its
// byte range, carries on into free ranges, and retries after network failures.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/Socket.h"
#include "platform/downloader/HttpProtocol.h"

class DownloadTask;

class Connection {
public:
    Connection(std::shared_ptr<DownloadTask> task, int index);
    void Run();

private:
    enum class Outcome { Done, NetworkFailure, Refused, Stopped };
    struct Answer {
        ResponseHead head;
        Address address;
        std::string body;  // bytes of the body that came with the head
    };

    Outcome FirstFetch();
    Outcome FetchRange(bool initial);
    Outcome Request(Address address, std::optional<std::int64_t> rangeStart, Answer& answer);
    Outcome ReadHead(std::string& head, std::string& rest);
    Outcome StreamBody(std::int64_t streamPosition, std::string pending);
    Outcome Receive(std::size_t want, std::size_t& got);
    bool Flush();
    std::optional<int> NextRange();
    void Hold(std::unique_lock<std::mutex>& lock, int range, std::int32_t event);
    bool PauseBeforeRetry();
    std::int64_t Position();
    void Message(int level, const std::string& text);

    std::shared_ptr<DownloadTask> task_;
    const int index_;
    int range_ = -1;
    net::Stream stream_;
    std::vector<char> buffer_;   // data gathered for the file, written when full or at a range's end
    std::size_t buffered_ = 0;
    std::int64_t bufferStart_ = 0;
};
