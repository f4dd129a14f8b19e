#include "install/InstallUpdate.h"

#include "app/EndProgram.h"
#include "app/UpdateState.h"
#include "platform/Runtime.h"

void InstallUpdate(bool /*packageComplete*/) {
    // The package stays where the download left it; laying it over the
    // program directory is not done yet, so the old version keeps running.
    platform::StartProgram(RunPath("Velmora.exe"));
    EndProgram(0);
}
