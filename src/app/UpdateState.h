// The one program-wide state record, created by InitState at start-up and
// released by ExitCleanup, once, on the user-interface thread.
#pragma once

#include <atomic>
#include <memory>
#include <string>

#include "platform/downloader/Download.h"
#include "platform/downloader/TaskParam.h"
#include "platform/xml/XmlTree.h"

struct UpdateState {
    std::unique_ptr<XmlTree> manifest;
    std::string downloadAddress;
    std::unique_ptr<TaskParam> taskParams;
    std::unique_ptr<Download> downloader;
    // Written once by the task thread, read by the timer: never half-written.
    std::atomic<double> totalSize{0.0};
};

extern UpdateState updateState;

void InitState();
void ExitCleanup();

// RunDirectory, the separator and `name`.
std::string RunPath(const char* name);
