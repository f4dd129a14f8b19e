// The multi-connection downloader: one task at a time, run on a task thread of
// its own and one thread per connection, reporting through the task's event
// callback.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>

#include "platform/downloader/TaskParam.h"

class DownloadTask;

// The component's fixed values. Only tests pass other ones.
struct DownloadTiming {
    std::chrono::milliseconds retryPause{5000};  // before a connection tries again, waited in 10 ms steps
    int maxRetries = 999;                        // further tries per connection
};

class Download {
public:
    Download();
    explicit Download(DownloadTiming timing);
    // Stops a running task: asks it to stop, waits up to its stopWait for the
    // connections to end, tells it to close its file and finish, and returns
    // without waiting for the task thread, which raises TaskFinished on its own.
    ~Download();
    Download(const Download&) = delete;
    Download& operator=(const Download&) = delete;

    // Copies the record (dropping every CR and LF from its texts) and starts the
    // task. False, with nothing started, when a task runs already, the address is
    // not of an accepted form, or a thread cannot be had.
    bool AddTask(const TaskParam& record);

    std::int32_t GetDoneLength() const;  // bytes received so far by the running task
    std::int32_t GetSpeed();             // bytes received since the previous call

    // Inside the task's callbacks: whether the file the task wrote is complete
    // (every range done, as many bytes written as announced, every write and the
    // close succeeded, and the task was not stopped).
    static bool Complete(std::intptr_t task);

private:
    bool Running() const;

    DownloadTiming timing_;
    std::shared_ptr<DownloadTask> task_;
};
