#include "platform/downloader/Connection.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <thread>

#include "platform/Runtime.h"
#include "platform/downloader/DownloadTask.h"

namespace {

constexpr std::size_t kBufferSize = 20480;
constexpr std::size_t kMaxHeadBytes = 64 * 1024;
constexpr int kMaxRedirects = 10;
constexpr std::int64_t kSizeLimit = std::int64_t{1} << 31;  // sizes are 32-bit signed
constexpr auto kPauseStep = std::chrono::milliseconds(10);

}  // namespace

Connection::Connection(std::shared_ptr<DownloadTask> task, int index)
    : task_(std::move(task)), index_(index), stream_(task_->stop_), buffer_(kBufferSize) {}

// Makes `range` this connection's, and reports where it stands with `event`.
void Connection::Hold(std::unique_lock<std::mutex>& lock, int range, std::int32_t event) {
    range_ = range;
    const RangePlan::Range r = task_->plan_[range_];
    lock.unlock();
    task_->Queue(event, index_, static_cast<std::intptr_t>(r.current), static_cast<std::intptr_t>(r.end));
}

std::int64_t Connection::Position() {
    std::lock_guard<std::mutex> lock(task_->mutex_);
    return range_ >= 0 ? task_->plan_[range_].current : 0;
}

void Connection::Message(int level, const std::string& text) {
    const TaskMessageCallback callback = task_->param_.messageCallback;
    if (!callback) return;
    char when[32] = "";
    const std::time_t now = std::time(nullptr);
    if (const std::tm* local = std::localtime(&now)) std::strftime(when, sizeof when, "%Y-%m-%d %H:%M:%S", local);
    callback(index_, when, text.c_str(), level, task_->Id());
}

void Connection::Run() {
    platform::NameThread("download connection");
    DownloadTask& task = *task_;
    task.Queue(ConnectionStarted, index_);
    if (index_ > 0) {
        std::unique_lock<std::mutex> lock(task.mutex_);
        Hold(lock, index_, BlockStarted);
    }
    int retries = 0;
    bool initial = true;
    Outcome outcome;
    for (;;) {
        outcome = range_ < 0 ? FirstFetch() : FetchRange(initial);
        if (!Flush()) task.writesOk_.store(false);
        stream_.Close();
        if (outcome == Outcome::Done) {
            const auto next = NextRange();
            if (!next) break;
            std::unique_lock<std::mutex> lock(task.mutex_);
            Hold(lock, *next, BlockTaken);
            initial = false;
            continue;
        }
        if (outcome != Outcome::NetworkFailure || retries++ >= task.timing_.maxRetries || !PauseBeforeRetry()) break;
        initial = false;
    }
    if (outcome == Outcome::Refused || outcome == Outcome::NetworkFailure) {
        {
            std::lock_guard<std::mutex> lock(task.mutex_);
            if (range_ >= 0) task.plan_.Release(range_);
        }
        task.released_.notify_all();
    }
    const bool failed = outcome == Outcome::Refused || outcome == Outcome::NetworkFailure;
    task.Queue(failed ? ConnectionFailed : ConnectionEnded, index_, static_cast<std::intptr_t>(Position()));
    task.ConnectionDone();
}

// A range nobody holds. While other connections still work, this one waits:
// a connection that fails gives its range up, and somebody must take it, also
// when every other connection has finished first.
std::optional<int> Connection::NextRange() {
    DownloadTask& task = *task_;
    std::unique_lock<std::mutex> lock(task.mutex_);
    for (;;) {
        if (const auto next = task.plan_.Take(index_)) return next;
        if (!task.plan_.AnyHeldIncomplete() || task.stop_.load()) return std::nullopt;
        task.released_.wait_for(lock, kPauseStep);
    }
}

bool Connection::PauseBeforeRetry() {
    const auto until = std::chrono::steady_clock::now() + task_->timing_.retryPause;
    while (std::chrono::steady_clock::now() < until) {
        if (task_->stop_.load()) return false;
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(
            kPauseStep, until - std::chrono::steady_clock::now()));
    }
    return !task_->stop_.load();
}

// Sends the request and reads the answer's head, following 301 and 302.
Connection::Outcome Connection::Request(Address address, std::optional<std::int64_t> rangeStart, Answer& answer) {
    const TaskParam& p = task_->param_;
    for (int redirects = 0;; ++redirects) {
        if (address.scheme != "http") {
            Message(3, "protocol not supported: " + address.scheme);
            return Outcome::Refused;
        }
        const Address& peer = task_->viaProxy_ ? task_->proxy_ : address;
        const std::string request = BuildRequest(address, task_->referer_, task_->viaProxy_, rangeStart);
        Message(1, request);
        net::Status s = stream_.Connect(peer.host, peer.port, p.connectTimeout);
        if (s == net::Status::Ok) s = stream_.SendAll(request, p.sendTimeout);
        if (s == net::Status::Stopped) return Outcome::Stopped;
        if (s != net::Status::Ok) return Outcome::NetworkFailure;
        std::string head;
        const Outcome read = ReadHead(head, answer.body);
        if (read != Outcome::Done) return read;
        Message(2, head);
        const auto parsed = ParseResponseHead(head);
        if (!parsed) return Outcome::Refused;
        answer.head = *parsed;
        answer.address = address;
        if (parsed->status != 301 && parsed->status != 302) return Outcome::Done;
        // Only as many redirects as a browser follows, and never to a scheme
        // this component does not fetch.
        const auto next = ResolveLocation(address, parsed->location);
        if (redirects >= kMaxRedirects || !next || next->scheme != "http") return Outcome::Refused;
        address = *next;
        stream_.Close();
        answer.body.clear();
    }
}

Connection::Outcome Connection::ReadHead(std::string& head, std::string& rest) {
    std::string data;
    char chunk[4096];
    for (;;) {
        const std::size_t end = data.find("\r\n\r\n");
        if (end != std::string::npos) {
            head = data.substr(0, end);
            rest = data.substr(end + 4);
            return Outcome::Done;
        }
        if (data.size() > kMaxHeadBytes) return Outcome::Refused;
        std::size_t got = 0;
        const net::Status s = stream_.Receive(chunk, sizeof chunk, got, task_->param_.receiveTimeout);
        if (s == net::Status::Stopped) return Outcome::Stopped;
        if (s != net::Status::Ok) return Outcome::NetworkFailure;
        data.append(chunk, got);
    }
}

// The first connection: learns the size, prepares the file, divides the work.
Connection::Outcome Connection::FirstFetch() {
    DownloadTask& task = *task_;
    Answer answer;
    const Outcome o = Request(task.address_, std::nullopt, answer);
    if (o != Outcome::Done) return o;
    const ResponseHead& h = answer.head;
    std::optional<std::int64_t> size;
    if (h.status == 200) size = h.contentLength;
    else if (h.status == 206 && h.contentRange && h.contentRange->first == 0) size = h.contentRange->total;
    else return Outcome::Refused;
    if (!size || *size >= kSizeLimit) return Outcome::Refused;  // no size, or one that does not fit
    task.target_ = answer.address;
    if (!task.PrepareFile(*size)) return Outcome::Refused;
    {
        std::lock_guard<std::mutex> lock(task.mutex_);
        range_ = 0;
    }
    task.DivideAndStartOthers();
    return StreamBody(0, std::move(answer.body));
}

// A connection that continues a byte range, from its current position.
Connection::Outcome Connection::FetchRange(bool initial) {
    DownloadTask& task = *task_;
    const std::int64_t start = Position();
    Answer answer;
    const Outcome o = Request(task.target_, start > 0 ? std::optional<std::int64_t>(start) : std::nullopt, answer);
    if (o != Outcome::Done) return o;
    const ResponseHead& h = answer.head;
    const std::int64_t size = task.size_;
    if (h.status == 206) {
        // Every answer is checked against its request.
        if (!h.contentRange || h.contentRange->first != start || h.contentRange->total != size) return Outcome::Refused;
        return StreamBody(start, std::move(answer.body));
    }
    if (h.status != 200 || h.contentLength != size) return Outcome::Refused;
    // The whole file, to a request for a part of it. A connection's first
    // request so answered gives up: the first connection's stream carries on
    // through the ranges nobody holds. Later, the stream is read from 0 and
    // the bytes before the wanted position are dropped, never written there.
    if (initial && start > 0) return Outcome::Refused;
    return StreamBody(0, std::move(answer.body));
}

// Reads the body, which holds the file from `streamPosition` on, into the
// connection's range, and on into the following range while nobody holds it.
Connection::Outcome Connection::StreamBody(std::int64_t streamPosition, std::string pending) {
    DownloadTask& task = *task_;
    std::size_t pendingUsed = 0;
    for (;;) {
        std::int64_t current, end;
        {
            std::lock_guard<std::mutex> lock(task.mutex_);
            current = task.plan_[range_].current;
            end = task.plan_[range_].end;
        }
        if (current >= end) {
            if (!Flush()) task.writesOk_.store(false);
            std::unique_lock<std::mutex> lock(task.mutex_);
            const auto next = streamPosition == end ? task.plan_.TakeFollowing(index_, range_) : std::nullopt;
            if (!next) return Outcome::Done;
            Hold(lock, *next, BlockTaken);
            continue;
        }
        // Never read past the range: what follows belongs to another one.
        const std::size_t want = static_cast<std::size_t>(
            std::min<std::int64_t>(streamPosition < current ? current - streamPosition : end - streamPosition,
                                   static_cast<std::int64_t>(kBufferSize - buffered_)));
        std::size_t got = 0;
        if (pendingUsed < pending.size()) {
            got = std::min(want, pending.size() - pendingUsed);
            if (streamPosition >= current) std::copy_n(pending.data() + pendingUsed, got, buffer_.data() + buffered_);
            pendingUsed += got;
        } else {
            const Outcome o = Receive(want, got);
            if (o != Outcome::Done) return o;
        }
        if (streamPosition < current) {  // bytes before the wanted position: dropped
            streamPosition += static_cast<std::int64_t>(got);
            continue;
        }
        if (buffered_ == 0) bufferStart_ = streamPosition;
        buffered_ += got;
        streamPosition += static_cast<std::int64_t>(got);
        task.done_.fetch_add(static_cast<std::int64_t>(got));
        task.speed_.fetch_add(static_cast<std::int64_t>(got));
        {
            std::lock_guard<std::mutex> lock(task.mutex_);
            task.plan_.Advance(range_, static_cast<std::int64_t>(got));
        }
        task.Queue(DataReceived, index_, static_cast<std::intptr_t>(got));
        if (buffered_ == kBufferSize && !Flush()) task.writesOk_.store(false);
    }
}

// One receive into the buffer, as large as the speed cap allows.
Connection::Outcome Connection::Receive(std::size_t want, std::size_t& got) {
    DownloadTask& task = *task_;
    if (!task.limiter_.Limited())
        want = std::min(want, static_cast<std::size_t>(std::max<std::int32_t>(1, task.param_.receiveChunk)));
    while (task.limiter_.Limited()) {
        const std::size_t allowed = task.limiter_.Take(want, std::chrono::steady_clock::now());
        if (allowed > 0) {
            want = allowed;
            break;
        }
        if (task.stop_.load()) return Outcome::Stopped;
        std::this_thread::sleep_for(std::min<std::chrono::milliseconds>(
            kPauseStep, task.limiter_.WaitHint(std::chrono::steady_clock::now())));
    }
    const net::Status s = stream_.Receive(buffer_.data() + buffered_, want, got, task.param_.receiveTimeout);
    if (s == net::Status::Ok) return Outcome::Done;
    if (s == net::Status::Stopped) return Outcome::Stopped;
    return Outcome::NetworkFailure;  // a cut connection too: the range is not complete
}

bool Connection::Flush() {
    if (buffered_ == 0) return true;
    DownloadTask& task = *task_;
    std::shared_lock<std::shared_mutex> fileLock(task.fileMutex_);
    const bool ok = task.file_.IsOpen() && task.file_.WriteAt(bufferStart_, buffer_.data(), buffered_);
    if (ok) task.written_.fetch_add(static_cast<std::int64_t>(buffered_));
    buffered_ = 0;
    return ok;
}
