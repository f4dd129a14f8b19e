// A small HTTP server on 127.0.0.1 for the downloader's tests, able to show
// the faults a download meets: it honours or ignores byte ranges, answers with
// any status, leaves out the size, redirects, stalls, cuts a body short, and
// records the head of every request.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct ServerBehaviour {
    std::string body;
    int status = 200;            // anything but 200 answers with that status and a short page
    bool honourRanges = true;
    bool omitSize = false;
    std::string location;        // with status 301 or 302
    int wrongRangeShift = 0;     // a 206 whose Content-Range starts this far off the asked position,
    int wrongRangeRequests = 0;  // for this many ranged requests
    std::int64_t announcedSize = -1;  // a size to announce instead of the body's
    int cutRequests = 0;         // this many answers stop half way through the body
    int stallRequests = 0;       // this many answers send the head, then nothing
};

class TestHttpServer {
public:
    explicit TestHttpServer(ServerBehaviour behaviour);
    ~TestHttpServer();

    std::uint16_t Port() const { return port_; }
    std::string Url(const std::string& path = "/package.zip") const;
    std::vector<std::string> Requests();  // heads, in arrival order

private:
    void Serve(int client);
    void Answer(int client, const std::string& head);

    ServerBehaviour behaviour_;
    int listener_ = -1;
    std::uint16_t port_ = 0;
    std::atomic<bool> closing_{false};
    std::thread acceptor_;
    std::mutex mutex_;
    std::vector<std::string> requests_;
    std::vector<std::thread> clients_;
    std::vector<int> clientFds_;
    int cutsLeft_, stallsLeft_, wrongRangesLeft_;
};
