#pragma once

#include "platform/Ui.h"

// The program's first window: 106 x 63, empty caption, close box. Its creation
// event runs the update check, which ends the process, so it is never shown.
const ui::WindowTemplate& StartWindowTemplate();
