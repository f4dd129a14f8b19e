#include "app/StartWindow.h"

#include "check/UpdateCheck.h"

const ui::WindowTemplate& StartWindowTemplate() {
    static const ui::WindowTemplate startWindow{
        .caption = "",
        .width = 106,
        .height = 63,
        .closeBox = true,
        .visible = true,
        .escCloses = false,
        .ownedByHandoff = false,
        .controls = {},
        .timerMs = 0,
        .onTimer = nullptr,
        .onCreate = RunUpdateCheck,
    };
    return startWindow;
}
