#include "app/StartWindow.h"

#include "check/UpdateCheck.h"

const ui::WindowTemplate& StartWindowTemplate() {
    static const ui::WindowTemplate startWindow{
        .caption = "",
        .width = 106,
        .height = 63,
        .closeBox = true,
        .visible = true,
        .ownedByHandoff = false,
        .controls = {},
        .timerMs = 0,
        .onCreate = [](ui::Window*) { RunUpdateCheck(); },
        .onTimer = nullptr,
        .onEscape = nullptr,
        .onDestroy = nullptr,
    };
    return startWindow;
}
