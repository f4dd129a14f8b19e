// The system's side of the download: the task record it fills, the events it
// handles, and the one decision between the user closing UpdateWindow and the
// download finishing.
#pragma once

#include <cstdint>
#include <string>

void FillAndAddTask();
std::int32_t OnDownloadEvent(std::int32_t code, std::intptr_t arg2, std::intptr_t arg3, std::intptr_t arg4,
                             std::intptr_t task);

// The address without leading and trailing ASCII spaces and GBK ideographic
// spaces (A1 A1), taken on character boundaries; tabs and line breaks stay.
std::string TrimSpaces(const std::string& address);

// Esc asks to close UpdateWindow: true when it may close (the installation
// has not begun). TaskFinished asks to install: true when the window is still
// open; from then on Esc is refused. The exit clean-up closes for good.
bool RequestWindowClose();
bool RequestInstallation();

// What the finished task left: the path it wrote (arg4 of TotalSizeKnown) and
// whether leftovers of an earlier run could not be removed before it started.
struct PackageInfo {
    std::string path;
    bool leftoversRemain = false;
};
const PackageInfo& Package();
