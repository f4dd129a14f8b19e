#include "platform/downloader/Download.h"

#include <chrono>
#include <thread>

#include "platform/downloader/DownloadTask.h"

Download::Download() : Download(DownloadTiming{}) {}

Download::Download(DownloadTiming timing) : timing_(timing) {}

Download::~Download() {
    if (!Running()) return;
    task_->Stop();
    // Never a join: the task thread may be the one destroying us (an end of
    // the program asked for from TaskFinished).
    for (int waited = 0; waited < task_->StopWait() && task_->RunningConnections() > 0; waited += 20)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    task_->RequestClose();
}

bool Download::Running() const { return task_ && !task_->Finished(); }

bool Download::AddTask(const TaskParam& record) {
    if (Running()) return false;
    std::string url = record.url;
    std::erase_if(url, [](char c) { return c == '\r' || c == '\n'; });
    const auto address = ParseAddress(url);
    if (!address) return false;
    auto task = std::make_shared<DownloadTask>(record, *address, timing_);
    if (!task->Start()) return false;
    task_ = std::move(task);
    return true;
}

std::int32_t Download::GetDoneLength() const {
    return Running() ? static_cast<std::int32_t>(task_->Done()) : 0;
}

std::int32_t Download::GetSpeed() {
    return Running() ? static_cast<std::int32_t>(task_->TakeSpeedCount()) : 0;
}

bool Download::Complete(std::intptr_t task) { return reinterpret_cast<const DownloadTask*>(task)->Complete(); }
