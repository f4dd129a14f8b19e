#include "app/ProgramEntry.h"

#include "app/EndProgram.h"
#include "app/StartWindow.h"
#include "platform/Runtime.h"
#include "platform/Ui.h"

int ProgramEntry(void (*exitRoutine)()) {
    platform::Start();
    platform::ResetFloatingPoint();
    InitState();
    SetExitRoutine(exitRoutine);
    ui::LoadWindow(StartWindowTemplate(), false);
    ui::RunMainLoop();  // reached only if the creation event returned
    EndProgram(0);
}
