// The controlling terminal, on which the Linux build shows its boxes and windows.
#pragma once

#include <string>
#include <string_view>

namespace terminal {

// Opens /dev/tty; false when the process has no controlling terminal.
bool Open();
int Fd();  // -1 without a terminal

// Raw keys while a box or a modal window waits; Restore undoes it. Restore is
// async-signal-safe and may be called any number of times.
void EnterRawMode();
void Restore();

// Writes bytes as they are (UTF-8) to the terminal.
void Write(std::string_view utf8);

// GBK to UTF-8 for the terminal; bytes that are not GBK show as "?".
std::string FromGbk(std::string_view gbk);

enum class Key { None, Enter, Escape, Interrupt };

// Reads what the terminal has for us and returns the first key that answers
// something: Enter, a lone Esc (not the start of an arrow-key sequence) or Ctrl-C.
Key ReadKey();

// The fatal-error box, without allocating: prints, waits for a key, restores.
void FatalBox(const char* utf8Title, const char* utf8Text);

}  // namespace terminal
