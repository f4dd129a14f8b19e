// This file holds program texts: it is compiled with -fexec-charset=GBK.
#include "download/UpdateWindow.h"

const ui::WindowTemplate& UpdateWindowTemplate() {
    static const ui::WindowTemplate updateWindow{
        .caption = "更新",
        .width = 333,
        .height = 64,
        .closeBox = false,
        .visible = true,
        .escCloses = true,
        .ownedByHandoff = true,
        .controls = {{.name = "进度条1", .left = 8, .top = 7, .width = 312, .height = 20, .rangeMin = 0, .rangeMax = 100}},
        .timerMs = 0,
        .onTimer = nullptr,
        .onCreate = nullptr,
    };
    return updateWindow;
}

void OpenUpdateWindow() { ui::LoadWindow(UpdateWindowTemplate(), true); }
