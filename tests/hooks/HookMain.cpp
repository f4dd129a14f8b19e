// The updater with test hooks, built from the program's own sources. The
// shipped program reads no environment; this one reads:
//   UPDATER_HOOK_LOG             file that records the exit routine and its thread
//   UPDATER_HOOK_FAIL_ALLOC_OVER every allocation of at least that many bytes fails
//   UPDATER_HOOK_END_TRIGGER     a thread calls EndProgram once this file exists,
//   UPDATER_HOOK_END_CODE        with this exit code
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <thread>

#include "app/EndProgram.h"
#include "app/ProgramEntry.h"
#include "platform/Runtime.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

std::size_t failAllocationsFrom = SIZE_MAX;

void Log(const char* line) {
    const char* path = std::getenv("UPDATER_HOOK_LOG");
    if (!path) return;
    if (FILE* f = std::fopen(path, "ab")) {
        std::fprintf(f, "%s\n", line);
        std::fclose(f);
    }
}

void LoggedExitCleanup() {
    Log(platform::IsUiThread() ? "cleanup thread=ui" : "cleanup thread=other");
    ExitCleanup();
}

bool Exists(const char* path) {
    FILE* f = std::fopen(path, "rb");
    if (f) std::fclose(f);
    return f != nullptr;
}

void EndFromAnotherThread(const char* trigger, int code) {
    std::thread([trigger, code] {
        while (!Exists(trigger)) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        Log("end from thread");
        EndProgram(code);
        Log("resumed");  // must never happen
    }).detach();
}

int Run() {
    if (const char* limit = std::getenv("UPDATER_HOOK_FAIL_ALLOC_OVER")) failAllocationsFrom = std::strtoul(limit, nullptr, 10);
    if (const char* trigger = std::getenv("UPDATER_HOOK_END_TRIGGER")) {
        const char* code = std::getenv("UPDATER_HOOK_END_CODE");
        EndFromAnotherThread(trigger, code ? std::atoi(code) : 0);
    }
    return ProgramEntry(LoggedExitCleanup);
}

}  // namespace

// Allocation as the standard library does it, except that large requests fail
// when the test asks: then the program's new-handler runs.
void* operator new(std::size_t size) {
    for (;;) {
        if (void* p = size < failAllocationsFrom ? std::malloc(size ? size : 1) : nullptr) return p;
        std::new_handler handler = std::get_new_handler();
        if (!handler) throw std::bad_alloc();
        handler();
    }
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

#ifdef _WIN32
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return Run(); }
#else
int main() { return Run(); }
#endif
