// One running download task: the state its threads share.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <string>
#include <vector>

#include "platform/File.h"
#include "platform/downloader/Download.h"
#include "platform/downloader/RangePlan.h"
#include "platform/downloader/RateLimiter.h"
#include "platform/downloader/TaskParam.h"
#include "platform/downloader/Url.h"

class DownloadTask : public std::enable_shared_from_this<DownloadTask> {
public:
    DownloadTask(const TaskParam& record, Address address, DownloadTiming timing);

    // Starts the task thread; false when no thread can be had.
    bool Start();
    void Stop() { stop_.store(true); }
    void RequestClose();
    int RunningConnections() const { return running_.load(); }
    std::int32_t StopWait() const { return param_.stopWait; }
    bool Finished() const { return finished_.load(); }
    bool Complete() const { return complete_.load(); }
    std::int64_t Done() const { return done_.load(); }
    std::int64_t TakeSpeedCount() { return speed_.exchange(0); }
    std::intptr_t Id() const { return reinterpret_cast<std::intptr_t>(this); }

private:
    friend class Connection;

    struct Event {
        std::int32_t code;
        std::intptr_t arg2, arg3, arg4;
    };

    void RunTaskThread();
    bool StartConnection(int index);
    void Queue(std::int32_t code, std::intptr_t arg2, std::intptr_t arg3 = 0, std::intptr_t arg4 = 0);
    void RaiseQueued();
    std::int32_t RaiseDirect(std::int32_t code, std::intptr_t arg2, std::intptr_t arg3, std::intptr_t arg4);
    void ConnectionDone();

    // The first connection's steps once the size is known.
    bool PrepareFile(std::int64_t size);
    void DivideAndStartOthers();

    const TaskParam param_;
    const Address address_;
    const DownloadTiming timing_;
    Address target_;  // the address after redirects; written by the first connection before the others start
    bool viaProxy_ = false;
    Address proxy_;
    std::string referer_;

    std::atomic<bool> stop_{false};
    std::atomic<bool> finished_{false};
    std::atomic<bool> complete_{false};
    std::atomic<int> running_{0};
    std::atomic<std::int64_t> done_{0};
    std::atomic<std::int64_t> speed_{0};
    std::atomic<std::int64_t> written_{0};
    std::atomic<bool> writesOk_{true};
    RateLimiter limiter_;

    std::mutex mutex_;  // guards plan_, savePath_, size_, the event queue, closeRequested_
    std::condition_variable wake_;
    std::condition_variable released_;  // a range was given up
    RangePlan plan_;
    std::int64_t size_ = -1;
    std::string savePath_;
    std::vector<Event> queue_;
    bool closeRequested_ = false;

    std::shared_mutex fileMutex_;  // writers share it; closing takes it whole
    OutputFile file_;
};
