#include "app/UpdateState.h"

#include "download/DownloadFlow.h"
#include "platform/Runtime.h"

UpdateState updateState;

void InitState() {
    updateState.manifest = std::make_unique<XmlTree>();
    updateState.taskParams = std::make_unique<TaskParam>();
    updateState.downloader = std::make_unique<Download>();
}

void ExitCleanup() {
    updateState.manifest.reset();
    std::string().swap(updateState.downloadAddress);
    updateState.taskParams.reset();
    // A task stopped here must never start the installation.
    RequestWindowClose();
    updateState.downloader.reset();
}

std::string RunPath(const char* name) {
    std::string path = platform::RunDirectory();
    path += platform::kPathSeparator;
    path += name;
    return path;
}
