#include "download/DownloadFlow.h"

#include <atomic>

#include "app/UpdateState.h"
#include "install/InstallUpdate.h"
#include "platform/File.h"
#include "platform/Text.h"
#include "platform/downloader/Download.h"

namespace {

enum class WindowState { Open, Closed, Installing };
std::atomic<WindowState> windowState{WindowState::Open};

PackageInfo package;  // written on the task thread, read by the installation on that thread

bool IsSpaceAt(const std::string& s, std::size_t i) {
    return s[i] == ' ' || (static_cast<unsigned char>(s[i]) == 0xA1 && i + 1 < s.size() &&
                           static_cast<unsigned char>(s[i + 1]) == 0xA1);
}

}  // namespace

std::string TrimSpaces(const std::string& address) {
    std::size_t begin = 0;
    while (begin < address.size() && IsSpaceAt(address, begin)) begin += address[begin] == ' ' ? 1 : 2;
    // The last character that is not a space, found on character boundaries.
    std::size_t end = begin;
    for (std::size_t i = begin; i < address.size();) {
        const std::size_t n = text::CharLength(address, i);
        if (!IsSpaceAt(address, i)) end = i + n;
        i += n;
    }
    return address.substr(begin, end - begin);
}

void FillAndAddTask() {
    const std::string address = TrimSpaces(updateState.downloadAddress);
    TaskParam& p = *updateState.taskParams;
    p.operation = kDownloadOperation;
    p.url = address;
    p.stopWait = 1000;
    p.connections = 5;
    p.savePath = RunPath("temp.zip");
    p.connectTimeout = 5000;
    p.sendTimeout = 5000;
    p.receiveTimeout = 10000;
    p.receiveChunk = 10240;
    p.eventCallback = OnDownloadEvent;
    // What an earlier run left must never be installed in place of this
    // package: the installation refuses to run over what cannot be removed.
    const bool packageGone = RemoveTree(p.savePath);
    const bool folderGone = RemoveTree(RunPath("temp"));
    package.leftoversRemain = !packageGone || !folderGone;
    updateState.downloader->AddTask(p);
}

std::int32_t OnDownloadEvent(std::int32_t code, std::intptr_t, std::intptr_t arg3, std::intptr_t arg4,
                             std::intptr_t task) {
    if (code == TotalSizeKnown) {
        updateState.totalSize.store(static_cast<double>(static_cast<std::int32_t>(arg3)));
        package.path = reinterpret_cast<const char*>(arg4);
    } else if (code == TaskFinished && RequestInstallation()) {
        InstallUpdate(Download::Complete(task));  // ends the process
    }
    return 0;
}

bool RequestWindowClose() {
    WindowState expected = WindowState::Open;
    return windowState.compare_exchange_strong(expected, WindowState::Closed) || expected == WindowState::Closed;
}

bool RequestInstallation() {
    WindowState expected = WindowState::Open;
    return windowState.compare_exchange_strong(expected, WindowState::Installing);
}

const PackageInfo& Package() { return package; }
