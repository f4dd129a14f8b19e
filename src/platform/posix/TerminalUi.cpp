// The Linux user interface: boxes and windows drawn on the controlling terminal,
// and the one event loop of the user-interface thread. The loop serves the
// terminal, the hand-off pipe from other threads and the timers; a message box
// and a modal window are nested runs of it.
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/Runtime.h"
#include "platform/Ui.h"
#include "platform/posix/PosixUi.h"
#include "platform/posix/Terminal.h"

using Clock = std::chrono::steady_clock;

struct ui::Window {
    WindowTemplate tpl;
    std::string caption;
    int position = 0;
    bool alive = true;
    bool shown = false;
    Clock::time_point nextTick{};
};

namespace {

// The hand-off: a request is written whole into the pipe (it is far below
// PIPE_BUF). Its sender waits until the pipe is closed at shutdown; a request
// that the user-interface thread took is never answered, as with a message
// sent to a window whose procedure ends the process.
struct Request {
    void (*task)(std::int32_t);
    std::int32_t arg;
    bool* taken;
};
int handoffRead = -1;
int handoffWrite = -1;
std::mutex handoffMutex;
std::condition_variable handoffClosed;
bool handoffGone = false;

std::vector<std::unique_ptr<ui::Window>> windows;  // user-interface thread only

int AliveWindows() {
    return static_cast<int>(std::count_if(windows.begin(), windows.end(), [](const auto& w) { return w->alive; }));
}

void ServeHandoff() {
    Request request{};
    if (read(handoffRead, &request, sizeof request) != sizeof request) return;
    {
        std::lock_guard<std::mutex> lock(handoffMutex);
        *request.taken = true;
    }
    request.task(request.arg);
}

int MsUntilNextTick() {
    int timeout = -1;
    const auto now = Clock::now();
    for (const auto& w : windows) {
        if (!w->alive || w->tpl.timerMs == 0) continue;
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(w->nextTick - now).count();
        const int wait = static_cast<int>(std::max<long long>(0, ms));
        if (timeout < 0 || wait < timeout) timeout = wait;
    }
    return timeout;
}

void RunDueTimers() {
    const auto now = Clock::now();
    for (std::size_t i = 0; i < windows.size(); ++i) {
        ui::Window& w = *windows[i];
        if (!w.alive || w.tpl.timerMs == 0 || now < w.nextTick) continue;
        w.nextTick = now + std::chrono::milliseconds(w.tpl.timerMs);
        if (!platform::Ending() && w.tpl.onTimer) w.tpl.onTimer(&w);
    }
}

// One turn of the loop: waits for the hand-off, a key (when `keys` is set) or
// the next timer tick, and serves what came. Returns the key read, if any.
terminal::Key Turn(bool keys) {
    pollfd fds[2] = {{handoffRead, POLLIN, 0}, {keys ? terminal::Fd() : -1, POLLIN, 0}};
    const int ready = poll(fds, 2, MsUntilNextTick());
    if (ready > 0 && (fds[0].revents & POLLIN)) ServeHandoff();
    terminal::Key key = terminal::Key::None;
    if (ready > 0 && (fds[1].revents & POLLIN)) key = terminal::ReadKey();
    if (ready > 0 && (fds[1].revents & (POLLHUP | POLLERR))) key = terminal::Key::Interrupt;
    RunDueTimers();
    return key;
}

void DrawWindow(ui::Window& w) {
    if (!w.shown) return;
    std::string line = "\r\033[K\033[1m" + terminal::FromGbk(w.caption) + "\033[0m";
    if (!w.tpl.controls.empty()) {
        const auto& bar = w.tpl.controls.front();
        const int span = std::max(1, bar.rangeMax - bar.rangeMin);
        const int value = std::clamp(w.position, bar.rangeMin, bar.rangeMax) - bar.rangeMin;
        constexpr int kCells = 30;
        const int filled = value * kCells / span;
        line += "  [";
        for (int i = 0; i < kCells; ++i) line += i < filled ? "#" : ".";
        line += "] " + std::to_string(value * 100 / span) + "%";
    }
    if (w.tpl.onEscape) line += "\033[2m  (Esc: close)\033[0m";
    terminal::Write(line);
}

void Destroy(ui::Window& w) {
    if (!w.alive) return;
    w.alive = false;
    if (w.shown) terminal::Write("\n");
    if (w.tpl.onDestroy && !platform::Ending()) w.tpl.onDestroy(&w);
}

std::string ToTerminalLines(const std::string& gbk) {
    std::string utf8 = terminal::FromGbk(gbk);
    std::string out;
    out.reserve(utf8.size() + 16);
    out += "  ";
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        if (utf8[i] == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n') continue;
        if (utf8[i] == '\r' || utf8[i] == '\n') out += "\n  ";
        else out += utf8[i];
    }
    return out;
}

}  // namespace

namespace posixui {

void CreateHandoff() {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) platform::FatalError();
    handoffRead = fds[0];
    handoffWrite = fds[1];
}

void DestroyHandoff() {
    {
        std::lock_guard<std::mutex> lock(handoffMutex);
        handoffGone = true;
        if (handoffWrite >= 0) close(handoffWrite);
        handoffWrite = -1;
    }
    handoffClosed.notify_all();
}

}  // namespace posixui

void platform::RunOnUiThread(void (*task)(std::int32_t), std::int32_t arg) {
    std::unique_lock<std::mutex> lock(handoffMutex);
    if (handoffGone) return;
    bool taken = false;
    const Request request{task, arg, &taken};
    if (write(handoffWrite, &request, sizeof request) != sizeof request) return;
    handoffClosed.wait(lock, [] { return handoffGone; });
    while (taken) handoffClosed.wait(lock);  // the user-interface thread ends the process
}

namespace ui {

Answer ShowMessageBox(const std::string& text, const std::string& title, Buttons buttons) {
    if (!terminal::Open()) return Answer::Cancel;  // nobody to ask
    terminal::EnterRawMode();
    const bool warning = buttons == Buttons::OkExclamation;
    std::string box = "\n\033[1m";
    box += warning ? "\033[33m! " : "";
    box += terminal::FromGbk(title) + "\033[0m\n" + ToTerminalLines(text) + "\n";
    box += buttons == Buttons::OkCancel ? "\033[2m  [Enter] OK   [Esc] Cancel\033[0m" : "\033[2m  [Enter] OK\033[0m";
    terminal::Write(box);
    Answer answer = Answer::Ok;
    for (;;) {
        const terminal::Key key = Turn(true);
        if (key == terminal::Key::Enter) break;
        if (key == terminal::Key::Escape || key == terminal::Key::Interrupt) {
            answer = Answer::Cancel;
            break;
        }
    }
    terminal::Write(answer == Answer::Ok ? "\r\033[K  -> OK\n" : "\r\033[K  -> Cancel\n");
    terminal::Restore();
    return answer;
}

Window* LoadWindow(const WindowTemplate& tpl, bool modal) {
    windows.push_back(std::make_unique<Window>());
    Window* w = windows.back().get();
    w->tpl = tpl;
    w->caption = tpl.caption;
    w->nextTick = Clock::now() + std::chrono::milliseconds(tpl.timerMs);
    if (tpl.onCreate && !platform::Ending()) tpl.onCreate(w);
    if (!w->alive) return nullptr;
    if (tpl.visible) {
        w->shown = true;
        DrawWindow(*w);
    }
    if (!modal) return w;
    const bool keys = terminal::Open();
    if (keys) terminal::EnterRawMode();
    while (w->alive) {
        const terminal::Key key = Turn(keys);
        const bool escape = key == terminal::Key::Escape || key == terminal::Key::Interrupt;
        if (escape && tpl.onEscape && !platform::Ending() && tpl.onEscape(w)) Destroy(*w);
    }
    if (keys) terminal::Restore();
    return nullptr;
}

void RunMainLoop() {
    while (AliveWindows() > 0) Turn(false);
}

std::intptr_t NativeHandle(Window*) { return 0; }

void SetCaption(Window* window, const std::string& caption) {
    window->caption = caption;
    DrawWindow(*window);
}

void SetProgress(Window* window, int position) {
    window->position = std::clamp(position, 0, 32767);
    DrawWindow(*window);
}

}  // namespace ui
