// The user interface: message boxes, windows built from a template, timers
// and the message loops, all on the user-interface thread.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ui {

enum class Buttons { OkCancel, OkExclamation };
enum class Answer { Ok, Cancel };

// A box without owner that keeps the user from the program's other windows
// until answered. A box that cannot be shown answers Cancel.
Answer ShowMessageBox(const std::string& text, const std::string& title, Buttons buttons);

struct ControlTemplate {
    std::string name;
    int left, top, width, height;  // client coordinates
    int rangeMin, rangeMax;        // a progress bar, the only kind of control
};

struct Window;

// A window's events. They run on the user-interface thread, never while the
// window is being built and never once the end of the program has begun.
struct WindowTemplate {
    std::string caption;
    int width, height;      // outer size, centred on the screen
    bool closeBox;          // a system menu with a close box; otherwise a bare title bar
    bool visible;           // shown once its creation event has returned
    bool ownedByHandoff;    // owned by the hidden hand-off window: no taskbar button
    std::vector<ControlTemplate> controls;
    unsigned timerMs;       // 0: no timer; otherwise started before the creation event
    void (*onCreate)(Window*);
    void (*onTimer)(Window*);
    bool (*onEscape)(Window*);  // true: the Esc key destroys the window; none: Esc does nothing
    void (*onDestroy)(Window*);
};

// Builds the window hidden with its events held back, shows its controls, runs
// its creation event, then shows it if it still exists and is flagged visible.
// A modal load waits in a nested message loop until the window is destroyed
// and returns nullptr.
Window* LoadWindow(const WindowTemplate& tpl, bool modal);

// Dispatches messages while any window of the program exists.
void RunMainLoop();

// The system's handle of the window (Windows: its HWND); 0 for none, and
// always 0 on Linux, where windows have no handle of the system.
std::intptr_t NativeHandle(Window* window);

void SetCaption(Window* window, const std::string& caption);
void SetProgress(Window* window, int position);

}  // namespace ui
