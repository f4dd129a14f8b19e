#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <ostream>
#include <thread>

#include "platform/downloader/Download.h"
#include "platform/downloader/RateLimiter.h"
#include "unit/CaseName.h"
#include "unit/TestHttpServer.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

struct Event {
    std::int32_t code;
    std::intptr_t arg2, arg3, arg4;
};

// What one task reported. The callback has no context argument: one log at a time.
class EventLog {
public:
    EventLog() { current = this; }
    ~EventLog() { current = nullptr; }  // a test that started a task has waited for TaskFinished

    static std::int32_t Callback(std::int32_t code, std::intptr_t a2, std::intptr_t a3, std::intptr_t a4,
                                 std::intptr_t task) {
        EventLog& log = *current;
        std::lock_guard<std::mutex> lock(log.mutex_);
        log.events_.push_back(Event{code, a2, a3, a4});
        if (code == TotalSizeKnown) log.savePath = reinterpret_cast<const char*>(a4);
        if (code == SaveFileExists) return log.saveExistsAnswer;
        if (code == TaskFinished) {
            log.complete = Download::Complete(task);
            log.finishedAt = std::chrono::steady_clock::now();
            log.finished_.notify_all();
        }
        return 0;
    }

    // Waits for TaskFinished (the test fails after 20 s) and returns every event.
    std::vector<Event> WaitFinished() {
        std::unique_lock<std::mutex> lock(mutex_);
        const bool done = finished_.wait_for(lock, 20s, [this] { return Count(TaskFinished) > 0; });
        EXPECT_TRUE(done) << "no TaskFinished";
        return events_;
    }

    int Count(std::int32_t code) const {
        return static_cast<int>(std::count_if(events_.begin(), events_.end(), [code](const Event& e) { return e.code == code; }));
    }

    std::int32_t saveExistsAnswer = 0;
    std::string savePath;
    bool complete = false;
    std::chrono::steady_clock::time_point finishedAt;

private:
    static inline EventLog* current = nullptr;
    std::mutex mutex_;
    std::condition_variable finished_;
    std::vector<Event> events_;
};

std::string Pattern(std::size_t size) {
    std::string s(size, '\0');
    for (std::size_t i = 0; i < size; ++i) s[i] = static_cast<char>((i * 7919 + i / 251) & 0xFF);
    return s;
}

std::string ReadFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class TempDir {
public:
    TempDir() : path_(fs::temp_directory_path() / ("downloader-test-" + std::to_string(::getpid()) + "-" + std::to_string(next_++))) {
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~TempDir() { fs::remove_all(path_); }
    fs::path operator/(const std::string& name) const { return path_ / name; }

private:
    static inline int next_ = 0;
    fs::path path_;
};

constexpr DownloadTiming kQuickRetries{0ms, 3};

TaskParam Record(const std::string& url, const fs::path& savePath, int connections = 5) {
    TaskParam p;
    p.operation = kDownloadOperation;
    p.url = url;
    p.savePath = savePath.string();
    p.connections = connections;
    p.connectTimeout = 2000;
    p.sendTimeout = 2000;
    p.receiveTimeout = 2000;
    p.receiveChunk = 10240;
    p.eventCallback = EventLog::Callback;
    return p;
}

// Every task: events of a connection start with ConnectionStarted and end with
// ConnectionEnded or ConnectionFailed; TotalSizeKnown at most once, before the
// first connection's data; TaskFinished once, last.
void ExpectWellFormed(const std::vector<Event>& events) {
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back().code, TaskFinished);
    std::map<std::intptr_t, std::vector<std::int32_t>> byConnection;
    int finished = 0, sizes = 0;
    bool firstData = false;
    for (const Event& e : events) {
        if (e.code == TaskFinished) ++finished;
        if (e.code == TotalSizeKnown) {
            ++sizes;
            EXPECT_FALSE(firstData) << "TotalSizeKnown after data of the first connection";
        }
        if (e.code == DataReceived && e.arg2 == 0) firstData = true;
        if (e.code >= ConnectionStarted && e.code <= DataReceived && e.code != TotalSizeKnown)
            byConnection[e.arg2].push_back(e.code);
    }
    EXPECT_EQ(finished, 1);
    EXPECT_LE(sizes, 1);
    for (const auto& [connection, codes] : byConnection) {
        EXPECT_EQ(codes.front(), ConnectionStarted) << "connection " << connection;
        EXPECT_TRUE(codes.back() == ConnectionEnded || codes.back() == ConnectionFailed) << "connection " << connection;
    }
}

int CountOf(const std::vector<Event>& events, std::int32_t code) {
    return static_cast<int>(std::count_if(events.begin(), events.end(), [code](const Event& e) { return e.code == code; }));
}

TEST(TaskParamRecord, HoldsTheDefaults) {
    const TaskParam p;
    EXPECT_EQ(p.operation, 1);
    EXPECT_EQ(p.url, "");
    EXPECT_EQ(p.savePath, "");
    EXPECT_EQ(p.ftpUser, "anonymous");
    EXPECT_FALSE(p.ftpPassword.empty());
    EXPECT_NE(p.ftpPassword.find('@'), std::string::npos);
    EXPECT_EQ(p.connections, 1);
    EXPECT_EQ(p.speedLimit, 0);
    EXPECT_EQ(p.connectTimeout, 20000);
    EXPECT_EQ(p.sendTimeout, 20000);
    EXPECT_EQ(p.receiveTimeout, 20000);
    EXPECT_EQ(p.stopWait, 1000);
    EXPECT_EQ(p.receiveChunk, 20480);
    EXPECT_EQ(p.sendChunk, 1024);
    EXPECT_EQ(p.messageCallback, nullptr);
    EXPECT_EQ(p.eventCallback, nullptr);
    EXPECT_EQ(p.ftpRenameTo, "");
    EXPECT_EQ(p.ftpTransferType, 1);
    EXPECT_EQ(p.binaryExtensions, ".exe|.rar|.zip|.gif|.jpg|.mp3|.rm");
    EXPECT_EQ(p.proxy, "");
    EXPECT_EQ(p.referer, "");
}

struct AddressCase {
    const char* name;
    const char* url;
    bool accepted;
};
std::ostream& operator<<(std::ostream& os, const AddressCase& c) { return os << c.url; }

constexpr AddressCase kAddressCases[] = {
    {"http", "http://127.0.0.1:1/p.zip", true},
    {"upper case scheme", "HTTP://127.0.0.1:1/p.zip", true},
    {"ftp", "ftp://127.0.0.1:1/p.zip", true},
    {"mms", "mms://127.0.0.1:1/p", true},
    {"mmst", "mmst://127.0.0.1:1/p", true},
    {"rtsp", "rtsp://127.0.0.1:1/p", true},
    {"user and password", "ftp://u:pw@127.0.0.1:1/p", true},
    {"line breaks dropped", "http://127.0.0.1:1/p\r\n.zip", true},
    {"no slash after host", "http://127.0.0.1:1", false},
    {"https", "https://127.0.0.1:1/p", false},
    {"no scheme", "127.0.0.1/p", false},
    {"empty", "", false},
    {"leading tab", "\thttp://127.0.0.1:1/p", false},
    {"bad port", "http://127.0.0.1:x/p", false},
    {"no host", "http:///p", false},
};

class AddTaskAddresses : public testing::TestWithParam<AddressCase> {};
TEST_P(AddTaskAddresses, AcceptOnlyTheForms) {
    TempDir dir;
    EventLog log;
    auto download = std::make_unique<Download>(DownloadTiming{0ms, 0});
    const bool accepted = download->AddTask(Record(GetParam().url, dir / "temp.zip"));
    EXPECT_EQ(accepted, GetParam().accepted);
    if (!accepted) {
        EXPECT_EQ(download->GetDoneLength(), 0);
        return;
    }
    // Nothing listens there, or the protocol is not fetched: the task ends.
    const auto events = log.WaitFinished();
    ExpectWellFormed(events);
    EXPECT_EQ(CountOf(events, TotalSizeKnown), 0);
    EXPECT_FALSE(log.complete);
}
INSTANTIATE_TEST_SUITE_P(Table, AddTaskAddresses, testing::ValuesIn(kAddressCases), CaseName());

TEST(Download, SecondTaskRefusedWhileOneRuns) {
    TempDir dir;
    EventLog log;
    TestHttpServer server({.body = Pattern(100000), .stallRequests = 1});
    auto download = std::make_unique<Download>(kQuickRetries);
    ASSERT_TRUE(download->AddTask(Record(server.Url(), dir / "temp.zip")));
    EXPECT_FALSE(download->AddTask(Record(server.Url(), dir / "other.zip")));
    download.reset();
    log.WaitFinished();  // the task thread still reports after the destroy
}

TEST(Download, SendsTheRequestsByteForByte) {
    TempDir dir;
    EventLog log;
    TestHttpServer server({.body = Pattern(50000)});
    Download download(kQuickRetries);
    ASSERT_TRUE(download.AddTask(Record(server.Url("/dir/package.zip?v=2"), dir / "temp.zip", 2)));
    log.WaitFinished();
    auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    std::sort(requests.begin(), requests.end(), [](const std::string& a, const std::string& b) { return a.size() < b.size(); });
    const std::string host = "Host: 127.0.0.1:" + std::to_string(server.Port()) + "\r\n";
    const std::string common = "Accept: */*\r\nReferer: http://127.0.0.1:" + std::to_string(server.Port()) +
                               "/dir\r\nUser-Agent: Mozilla/4.0 (compatible; MSIE 5.00; Windows 98)\r\n";
    const std::string tail = "Pragma: no-cache\r\nCache-Control: no-cache\r\nConnection: close\r\n\r\n";
    EXPECT_EQ(requests[0], "GET /dir/package.zip?v=2 HTTP/1.1\r\n" + host + common + tail);
    EXPECT_EQ(requests[1], "GET /dir/package.zip?v=2 HTTP/1.1\r\n" + host + common + "Range: bytes=25000-\r\n" + tail);
}

TEST(Download, ThroughAProxyNamesTheWholeAddressAndUsesTheGivenReferer) {
    TempDir dir;
    EventLog log;
    TestHttpServer proxy({.body = Pattern(3000)});
    TaskParam p = Record("http://updates.example:8080/v/p.zip", dir / "temp.zip");
    p.proxy = "127.0.0.1:" + std::to_string(proxy.Port());
    p.referer = "http://example/page";
    Download download(kQuickRetries);
    ASSERT_TRUE(download.AddTask(p));
    log.WaitFinished();
    const auto requests = proxy.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].substr(0, requests[0].find("\r\n")), "GET http://updates.example:8080/v/p.zip HTTP/1.1");
    EXPECT_NE(requests[0].find("\r\nHost: updates.example:8080\r\n"), std::string::npos);
    EXPECT_NE(requests[0].find("\r\nReferer: http://example/page\r\n"), std::string::npos);
    EXPECT_TRUE(log.complete);
}

// What a server does, and what the task must make of it.
struct ServerCase {
    const char* name;
    ServerBehaviour behaviour;
    int connections;
    bool complete;          // the file is whole (and equals the body)
    int connectionsStarted;
    int totalSizeKnown;
    int connectionsFailed = -1;  // -1: any number
};
std::ostream& operator<<(std::ostream& os, const ServerCase& c) { return os << c.name; }

const ServerCase kServerCases[] = {
    {"ranges honoured", {.body = Pattern(200000)}, 5, true, 5, 1, 0},
    {"under 20480 bytes one connection", {.body = Pattern(10000)}, 5, true, 1, 1},
    {"ranges ignored first stream runs on", {.body = Pattern(200000), .honourRanges = false}, 5, true, 5, 1, 4},
    {"content range off the asked start", {.body = Pattern(200000), .wrongRangeShift = 7, .wrongRangeRequests = 4}, 5,
     true, 5, 1, 4},
    {"not found", {.body = Pattern(1000), .status = 404}, 5, false, 1, 0, 1},
    {"server error", {.body = Pattern(1000), .status = 500}, 5, false, 1, 0},
    {"no size", {.body = Pattern(1000), .omitSize = true}, 5, false, 1, 0},
    {"size of 2 GiB", {.body = Pattern(1000), .announcedSize = std::int64_t{1} << 31}, 5, false, 1, 0},
    {"cut half way then retried", {.body = Pattern(100000), .cutRequests = 2}, 2, true, 2, 1},
    // The retry asks for the rest and gets the whole file: read from 0, the
    // bytes it has already dropped, never written at the offset.
    {"retry answered with the whole file", {.body = Pattern(100000), .honourRanges = false, .cutRequests = 1}, 1, true,
     1, 1, 0},
    {"stalled past the receive time-out", {.body = Pattern(30000), .stallRequests = 1}, 1, true, 1, 1},
    {"cut every time until the retries run out", {.body = Pattern(1000), .cutRequests = 1000}, 1, false, 1, 1},
};

class ServerBehaviours : public testing::TestWithParam<ServerCase> {};
TEST_P(ServerBehaviours, GiveTheirEventsAndFile) {
    const ServerCase& c = GetParam();
    TempDir dir;
    EventLog log;
    TestHttpServer server(c.behaviour);
    TaskParam p = Record(server.Url(), dir / "temp.zip", c.connections);
    p.receiveTimeout = 300;
    Download download(kQuickRetries);
    ASSERT_TRUE(download.AddTask(p));
    const auto events = log.WaitFinished();
    ExpectWellFormed(events);
    EXPECT_EQ(log.complete, c.complete);
    EXPECT_EQ(CountOf(events, ConnectionStarted), c.connectionsStarted);
    EXPECT_EQ(CountOf(events, TotalSizeKnown), c.totalSizeKnown);
    if (c.connectionsFailed >= 0) EXPECT_EQ(CountOf(events, ConnectionFailed), c.connectionsFailed);
    if (c.complete) {
        EXPECT_TRUE(ReadFile(dir / "temp.zip") == c.behaviour.body) << "the file differs from the body";
        std::int64_t received = 0;
        for (const Event& e : events)
            if (e.code == DataReceived) received += e.arg3;
        EXPECT_EQ(received, static_cast<std::int64_t>(c.behaviour.body.size()));
        EXPECT_EQ(events.back().arg3, static_cast<std::intptr_t>(c.behaviour.body.size()));
    }
    if (c.totalSizeKnown == 0) EXPECT_FALSE(fs::exists(dir / "temp.zip"));
}
INSTANTIATE_TEST_SUITE_P(Table, ServerBehaviours, testing::ValuesIn(kServerCases), CaseName());

TEST(Download, RetriesUpToTheLimitThenFails) {
    TempDir dir;
    EventLog log;
    TestHttpServer server({.body = Pattern(1000), .cutRequests = 1000});
    Download download(DownloadTiming{0ms, 3});
    ASSERT_TRUE(download.AddTask(Record(server.Url(), dir / "temp.zip", 1)));
    const auto events = log.WaitFinished();
    EXPECT_EQ(server.Requests().size(), 4u);  // the first try and three more
    EXPECT_EQ(CountOf(events, ConnectionFailed), 1);
}

TEST(Download, RedirectsAreFollowedToAnotherPortButNotForever) {
    TempDir dir;
    TestHttpServer target({.body = Pattern(30000)});
    TestHttpServer moved({.status = 301, .location = target.Url("/final.zip")});
    {
        EventLog log;
        Download download(kQuickRetries);
        ASSERT_TRUE(download.AddTask(Record(moved.Url(), dir / "a.zip")));
        log.WaitFinished();
        EXPECT_TRUE(log.complete);
        EXPECT_TRUE(ReadFile(dir / "a.zip") == Pattern(30000));
        // The second connection goes straight to where the first was sent.
        EXPECT_EQ(moved.Requests().size(), 1u);
    }
    {
        TestHttpServer secure({.status = 302, .location = "https://127.0.0.1/p.zip"});
        EventLog log;
        Download download(kQuickRetries);
        ASSERT_TRUE(download.AddTask(Record(secure.Url(), dir / "c.zip")));
        const auto events = log.WaitFinished();
        EXPECT_FALSE(log.complete);
        EXPECT_EQ(CountOf(events, ConnectionFailed), 1);  // a scheme it does not fetch: no retry
        EXPECT_EQ(secure.Requests().size(), 1u);
    }
    TestHttpServer loop({.status = 302, .location = "/again"});
    EventLog log;
    Download download(kQuickRetries);
    ASSERT_TRUE(download.AddTask(Record(loop.Url(), dir / "b.zip")));
    log.WaitFinished();
    EXPECT_FALSE(log.complete);
    EXPECT_EQ(loop.Requests().size(), 11u);  // the request and ten redirects
}

TEST(Download, AnExistingFileGetsADerivedNameOrTheAnswerDecides) {
    TempDir dir;
    TestHttpServer server({.body = Pattern(5000)});
    std::ofstream(dir / "temp.zip") << "old";
    std::ofstream(dir / "temp(1).zip") << "older";
    struct Case {
        std::int32_t answer;
        const char* savedAs;  // nullptr: no file is written
    };
    for (const Case c : {Case{0, "temp(2).zip"}, Case{2, "temp.zip"}, Case{1, nullptr}, Case{7, nullptr}}) {
        SCOPED_TRACE(c.answer);
        EventLog log;
        log.saveExistsAnswer = c.answer;
        Download download(kQuickRetries);
        ASSERT_TRUE(download.AddTask(Record(server.Url(), dir / "temp.zip")));
        const auto events = log.WaitFinished();
        ASSERT_GE(CountOf(events, SaveFileExists), 1);
        EXPECT_EQ(events.front().code == SaveFileExists || events[1].code == SaveFileExists, true);
        if (c.savedAs) {
            EXPECT_EQ(log.savePath, (dir / c.savedAs).string());
            EXPECT_TRUE(ReadFile(dir / c.savedAs) == Pattern(5000));
            fs::remove(dir / "temp(2).zip");
            std::ofstream(dir / "temp.zip") << "old";
        } else {
            EXPECT_EQ(CountOf(events, TotalSizeKnown), 0);
            EXPECT_EQ(ReadFile(dir / "temp.zip"), "old");
        }
    }
}

TEST(Download, ProgressCountersFollowTheData) {
    TempDir dir;
    EventLog log;
    TestHttpServer server({.body = Pattern(120000)});
    Download download(kQuickRetries);
    EXPECT_EQ(download.GetDoneLength(), 0);
    EXPECT_EQ(download.GetSpeed(), 0);
    ASSERT_TRUE(download.AddTask(Record(server.Url(), dir / "temp.zip")));
    log.WaitFinished();
    // Once the task has finished the Download holds no task.
    EXPECT_EQ(download.GetDoneLength(), 0);
    EXPECT_EQ(download.GetSpeed(), 0);
}

TEST(Download, AStopCutsTheRetryPauseShortAndTheDestroyDoesNotWaitForTheTaskThread) {
    TempDir dir;
    EventLog log;
    TestHttpServer server({.body = Pattern(1000), .cutRequests = 1000});
    auto download = std::make_unique<Download>(DownloadTiming{60s, 999});
    TaskParam p = Record(server.Url(), dir / "temp.zip", 1);
    p.stopWait = 300;
    ASSERT_TRUE(download->AddTask(p));
    while (server.Requests().empty()) std::this_thread::yield();
    const auto destroyed = std::chrono::steady_clock::now();
    download.reset();
    const auto returned = std::chrono::steady_clock::now();
    const auto events = log.WaitFinished();
    ExpectWellFormed(events);
    EXPECT_FALSE(log.complete);
    EXPECT_LE(returned - destroyed, std::chrono::milliseconds(p.stopWait + 100));
    EXPECT_LE(log.finishedAt - destroyed, std::chrono::milliseconds(p.stopWait + 100));
}

TEST(Download, ATaskStoppedMidwayReportsTheBytesWritten) {
    TempDir dir;
    EventLog log;
    TestHttpServer server({.body = Pattern(300000), .stallRequests = 1000});
    auto download = std::make_unique<Download>(kQuickRetries);
    TaskParam p = Record(server.Url(), dir / "temp.zip", 1);
    ASSERT_TRUE(download->AddTask(p));
    while (server.Requests().empty()) std::this_thread::yield();
    download.reset();
    const auto events = log.WaitFinished();
    EXPECT_EQ(events.back().arg3, 0);  // nothing written before the stop
    EXPECT_FALSE(log.complete);
}

TEST(RateLimiterTest, GrantsTheRateOverTime) {
    const auto t0 = std::chrono::steady_clock::time_point{} + 1h;
    RateLimiter limiter(1000, t0);
    EXPECT_EQ(limiter.Take(500, t0), 0u);
    EXPECT_EQ(limiter.WaitHint(t0), 1ms);
    EXPECT_EQ(limiter.Take(500, t0 + 100ms), 100u);
    EXPECT_EQ(limiter.Take(500, t0 + 100ms), 0u);
    EXPECT_EQ(limiter.Take(5000, t0 + 10s), 1000u);  // at most one second's worth saved up
    std::size_t total = 0;
    for (int ms = 0; ms <= 2000; ms += 10) total += limiter.Take(100000, t0 + 10s + std::chrono::milliseconds(ms));
    EXPECT_NEAR(static_cast<double>(total), 2000.0, 10.0);
    RateLimiter unlimited(0, t0);
    EXPECT_FALSE(unlimited.Limited());
    EXPECT_EQ(unlimited.Take(12345, t0), 12345u);
}

TEST(Download, ASpeedCapSlowsTheTransfer) {
    TempDir dir;
    EventLog log;
    TestHttpServer server({.body = Pattern(30000)});
    TaskParam p = Record(server.Url(), dir / "temp.zip", 1);
    p.speedLimit = 100000;  // 30000 bytes take about 0.3 s
    Download download(kQuickRetries);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(download.AddTask(p));
    log.WaitFinished();
    EXPECT_TRUE(log.complete);
    EXPECT_GE(log.finishedAt - start, 250ms);
}

}  // namespace
