#include <dirent.h>
#include <fcntl.h>
#include <fenv.h>
#include <limits.h>
#include <pthread.h>
#include <signal.h>
#include <spawn.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <new>
#include <thread>

#include "app/Texts.h"
#include "platform/Http.h"
#include "platform/Runtime.h"
#include "platform/posix/PosixUi.h"
#include "platform/posix/Terminal.h"

extern char** environ;

namespace platform {

const char kPathSeparator = '/';

namespace {

std::string runDirectory;
std::thread::id uiThread;
std::atomic<bool> ending{false};
std::string fatalTitle;  // made ready at start-up: a failed allocation cannot make them
std::string fatalText;

void OnAllocationFailure() { FatalError(); }

// A signal that ends the process must not leave the terminal raw.
void OnTerminatingSignal(int sig) {
    terminal::Restore();
    signal(sig, SIG_DFL);
    raise(sig);
}

// Libraries keep descriptors of their own without close-on-exec (libcurl's
// wake-up socket pair): mark every descriptor beyond the standard three.
void KeepDescriptorsFromChildren() {
    if (close_range(3, ~0U, CLOSE_RANGE_CLOEXEC) == 0) return;
    DIR* dir = opendir("/proc/self/fd");
    if (!dir) return;
    while (dirent* entry = readdir(dir)) {
        const int fd = atoi(entry->d_name);
        if (fd > 2) fcntl(fd, F_SETFD, fcntl(fd, F_GETFD) | FD_CLOEXEC);
    }
    closedir(dir);
}

std::string ExecutablePath() {
    char buffer[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
}

}  // namespace

void Start() {
    std::set_new_handler(OnAllocationFailure);
    fatalTitle = terminal::FromGbk(texts::kFatalTitle);
    fatalText = terminal::FromGbk(texts::kFatalText);
    for (int sig : {SIGTERM, SIGHUP, SIGQUIT, SIGINT}) signal(sig, OnTerminatingSignal);
    signal(SIGPIPE, SIG_IGN);
    const std::string exe = ExecutablePath();
    const std::size_t slash = exe.rfind('/');
    runDirectory = slash == std::string::npos ? std::string() : exe.substr(0, slash);
    if (chdir(runDirectory.empty() ? "/" : runDirectory.c_str()) != 0) {
        // The current directory is a courtesy: every path the program uses is absolute.
    }
    uiThread = std::this_thread::get_id();
    posixui::CreateHandoff();
}

void ResetFloatingPoint() {
    // x86-64 computes doubles in SSE registers: the default environment rounds
    // to nearest with every exception masked.
    fesetenv(FE_DFL_ENV);
}

const std::string& RunDirectory() { return runDirectory; }

bool IsUiThread() { return std::this_thread::get_id() == uiThread; }

void MarkEnding() { ending.store(true); }
bool Ending() { return ending.load(); }

void ReleaseServices() {
    terminal::Restore();
    HttpShutdown();
    posixui::DestroyHandoff();
}

void ExitNow(std::int32_t exitCode) {
    terminal::Restore();
    // _exit: no static destructor may race a thread that is still running.
    _exit(exitCode);
}

void FatalError() {
    terminal::FatalBox(fatalTitle.c_str(), fatalText.c_str());
    ExitNow(-1);
}

void NameThread(const char* name) {
    char shortName[16];  // the kernel keeps 15 bytes
    snprintf(shortName, sizeof shortName, "%s", name);
    pthread_setname_np(pthread_self(), shortName);
}

void StartProgram(const std::string& path) {
    terminal::Restore();
    KeepDescriptorsFromChildren();
    char* argv[] = {const_cast<char*>(path.c_str()), nullptr};
    // A session of its own, as a program started on Windows is independent of
    // its starter: the companion must outlive the terminal that ran the
    // updater (the hang-up of a closing session would kill it).
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    pid_t pid = 0;
    // posix_spawn returns once the program has been started, which is all that
    // "ready for input" can mean here; every descriptor of ours is close-on-exec.
    posix_spawn(&pid, path.c_str(), nullptr, &attributes, argv, environ);
    posix_spawnattr_destroy(&attributes);
}

}  // namespace platform
