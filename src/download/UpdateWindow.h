#pragma once

#include "platform/Ui.h"

const ui::WindowTemplate& UpdateWindowTemplate();

// Loads UpdateWindow modally; returns when the user has closed it.
void OpenUpdateWindow();

// UpdateWindow while it is open, or none.
ui::Window* OpenUpdateWindowHandle();
