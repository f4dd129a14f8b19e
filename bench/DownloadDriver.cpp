// A command-line driver of the Download component, for the bench:
//   download_driver URL OUTPUT [CONNECTIONS]
// Prints the size and whether the file is complete; exit code 0 when it is.
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "platform/downloader/Download.h"

namespace {

std::mutex mutex;
std::condition_variable finished;
bool done = false;
bool complete = false;
std::int64_t size = 0;

std::int32_t OnEvent(std::int32_t code, std::intptr_t, std::intptr_t arg3, std::intptr_t, std::intptr_t task) {
    if (code == TaskFinished) {
        std::lock_guard<std::mutex> lock(mutex);
        done = true;
        complete = Download::Complete(task);
        size = arg3;
        finished.notify_all();
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s URL OUTPUT [CONNECTIONS]\n", argv[0]);
        return 2;
    }
    TaskParam p;
    p.operation = kDownloadOperation;
    p.url = argv[1];
    p.savePath = argv[2];
    p.connections = argc > 3 ? std::atoi(argv[3]) : 5;
    p.connectTimeout = 5000;
    p.sendTimeout = 5000;
    p.receiveTimeout = 10000;
    p.receiveChunk = 10240;  // what the updater asks for
    p.eventCallback = OnEvent;
    std::remove(argv[2]);
    Download download;
    if (!download.AddTask(p)) return 2;
    std::unique_lock<std::mutex> lock(mutex);
    finished.wait(lock, [] { return done; });
    std::printf("%lld bytes, %s\n", static_cast<long long>(size), complete ? "complete" : "incomplete");
    return complete ? 0 : 1;
}
