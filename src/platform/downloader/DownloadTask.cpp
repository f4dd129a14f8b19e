#include "platform/downloader/DownloadTask.h"

#include <chrono>
#include <thread>

#include "platform/Runtime.h"
#include "platform/downloader/Connection.h"
#include "platform/downloader/SaveName.h"

namespace {

std::string WithoutLineBreaks(std::string s) {
    std::erase_if(s, [](char c) { return c == '\r' || c == '\n'; });
    return s;
}

TaskParam CleanCopy(TaskParam p) {
    p.operation |= kDownloadOperation;
    for (std::string* text : {&p.url, &p.savePath, &p.ftpUser, &p.ftpPassword, &p.ftpRenameTo, &p.binaryExtensions,
                              &p.proxy, &p.referer})
        *text = WithoutLineBreaks(*text);
    return p;
}

constexpr auto kEventWait = std::chrono::milliseconds(20);  // queued events reach the callback well within 100 ms

}  // namespace

DownloadTask::DownloadTask(const TaskParam& record, Address address, DownloadTiming timing)
    : param_(CleanCopy(record)), address_(std::move(address)), timing_(timing), target_(address_),
      limiter_(param_.speedLimit) {
    referer_ = param_.referer.empty() ? DefaultReferer(param_.url) : param_.referer;
    if (!param_.proxy.empty()) {
        if (auto proxy = ParseAddress("http://" + param_.proxy + "/")) {
            viaProxy_ = true;
            proxy_ = *proxy;
        }
    }
}

bool DownloadTask::Start() {
    try {
        running_.store(1);  // the first connection, counted before anything can end
        std::thread([self = shared_from_this()] { self->RunTaskThread(); }).detach();
        return true;
    } catch (const std::system_error&) {
        running_.store(0);
        return false;
    }
}

bool DownloadTask::StartConnection(int index) {
    try {
        std::thread([connection = std::make_shared<Connection>(shared_from_this(), index)] {
            connection->Run();
        }).detach();
        return true;
    } catch (const std::system_error&) {
        return false;
    }
}

void DownloadTask::RunTaskThread() {
    platform::NameThread("download task");
    if (!StartConnection(0)) ConnectionDone();
    {
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            wake_.wait_for(lock, kEventWait);
            lock.unlock();
            RaiseQueued();
            lock.lock();
            if (running_.load() == 0 || closeRequested_) break;
        }
    }
    std::int64_t size;
    bool allDone;
    {
        std::unique_lock<std::shared_mutex> fileLock(fileMutex_);
        const bool closed = file_.Close();
        std::lock_guard<std::mutex> lock(mutex_);
        size = size_;
        allDone = plan_.AllDone();
        complete_.store(closed && allDone && writesOk_.load() && written_.load() == size_ && !stop_.load());
    }
    RaiseQueued();
    finished_.store(true);
    const std::int64_t reported = stop_.load() ? written_.load() : (size > 0 ? size : 0);
    RaiseDirect(TaskFinished, Id(), static_cast<std::intptr_t>(reported), 0);
}

void DownloadTask::RequestClose() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        closeRequested_ = true;
    }
    wake_.notify_all();
}

// The task thread collects queued events every 20 ms: waking it for each one
// would cost a switch of threads per receive.
void DownloadTask::Queue(std::int32_t code, std::intptr_t arg2, std::intptr_t arg3, std::intptr_t arg4) {
    std::lock_guard<std::mutex> lock(mutex_);
    queue_.push_back(Event{code, arg2, arg3, arg4});
}

void DownloadTask::RaiseQueued() {
    std::vector<Event> events;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        events.swap(queue_);
    }
    for (const Event& e : events) RaiseDirect(e.code, e.arg2, e.arg3, e.arg4);
}

std::int32_t DownloadTask::RaiseDirect(std::int32_t code, std::intptr_t arg2, std::intptr_t arg3, std::intptr_t arg4) {
    return param_.eventCallback ? param_.eventCallback(code, arg2, arg3, arg4, Id()) : 0;
}

void DownloadTask::ConnectionDone() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        running_.fetch_sub(1);
    }
    wake_.notify_all();
}

bool DownloadTask::PrepareFile(std::int64_t size) {
    std::string path = param_.savePath;
    if (const auto existing = OpenableFileSize(path)) {
        switch (RaiseDirect(SaveFileExists, static_cast<std::intptr_t>(*existing), static_cast<std::intptr_t>(size), 0)) {
        case 0: {
            const auto derived = DerivedSavePath(path, platform::kPathSeparator,
                                                 [](const std::string& p) { return OpenableFileSize(p).has_value(); });
            if (!derived) return false;
            path = *derived;
            break;
        }
        case 2: break;
        default: return false;  // 1 abandons; any other answer fails too
        }
    }
    std::unique_lock<std::shared_mutex> fileLock(fileMutex_);
    if (stop_.load() || !file_.Create(path, size)) return false;
    std::lock_guard<std::mutex> lock(mutex_);
    savePath_ = path;
    size_ = size;
    return true;
}

void DownloadTask::DivideAndStartOthers() {
    int count;
    std::int64_t firstEnd;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        plan_.Divide(size_, param_.connections);
        count = plan_.Count();
        firstEnd = plan_[0].end;
    }
    Queue(BlockStarted, 0, 0, static_cast<std::intptr_t>(firstEnd));
    Queue(TotalSizeKnown, Id(), static_cast<std::intptr_t>(size_), reinterpret_cast<std::intptr_t>(savePath_.c_str()));
    for (int i = 1; i < count; ++i) {
        running_.fetch_add(1);
        if (!StartConnection(i)) {
            std::lock_guard<std::mutex> lock(mutex_);
            plan_.Release(i);  // a free range: a connection that finishes takes it
            running_.fetch_sub(1);
        }
    }
}
