#include "app/EndProgram.h"

#include <atomic>
#include <utility>

#include "platform/Runtime.h"

namespace {

void (*exitRoutine)() = nullptr;     // touched on the user-interface thread only
std::atomic<bool> shutdownUnderWay{false};

void EndOnUiThread(std::int32_t exitCode) { EndProgram(exitCode); }

}  // namespace

void SetExitRoutine(void (*routine)()) { exitRoutine = routine; }

void EndProgram(std::int32_t exitCode) {
    platform::MarkEnding();
    if (!platform::IsUiThread()) {
        // Normally the user-interface thread ends the process and this call
        // never comes back; it does when that thread is already shutting down.
        platform::RunOnUiThread(EndOnUiThread, exitCode);
        platform::ExitNow(exitCode);
    }
    if (!shutdownUnderWay.exchange(true)) {
        if (auto routine = std::exchange(exitRoutine, nullptr)) routine();
        platform::ReleaseServices();
    }
    platform::ExitNow(exitCode);
}
