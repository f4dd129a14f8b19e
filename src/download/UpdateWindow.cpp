#include "download/UpdateWindow.h"

#include <atomic>

#include "app/Texts.h"
#include "app/UpdateState.h"
#include "download/DownloadFlow.h"
#include "download/Progress.h"
#include "platform/downloader/Download.h"

namespace {

std::atomic<ui::Window*> openWindow{nullptr};

// Every tick: the rounded percentage in the bar, the last second's kilobytes in the caption.
void ShowProgress(ui::Window* window) {
    const std::int32_t done = updateState.downloader->GetDoneLength();
    ui::SetProgress(window, ProgressPosition(done, updateState.totalSize.load()));
    ui::SetCaption(window, SpeedCaption(updateState.downloader->GetSpeed()));
}

}  // namespace

const ui::WindowTemplate& UpdateWindowTemplate() {
    static const ui::WindowTemplate updateWindow{
        .caption = texts::kUpdateWindowCaption,
        .width = 333,
        .height = 64,
        .closeBox = false,
        .visible = true,
        .ownedByHandoff = true,
        .controls = {{.name = texts::kProgressBarName, .left = 8, .top = 7, .width = 312, .height = 20, .rangeMin = 0, .rangeMax = 100}},
        .timerMs = 1000,
        .onCreate =
            [](ui::Window* w) {
                openWindow.store(w);
                FillAndAddTask();
            },
        .onTimer = ShowProgress,
        .onEscape = [](ui::Window*) { return RequestWindowClose(); },
        .onDestroy = [](ui::Window*) { openWindow.store(nullptr); },
    };
    return updateWindow;
}

void OpenUpdateWindow() { ui::LoadWindow(UpdateWindowTemplate(), true); }

ui::Window* OpenUpdateWindowHandle() { return openWindow.load(); }
