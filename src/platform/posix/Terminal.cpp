#include "platform/posix/Terminal.h"

#include <fcntl.h>
#include <iconv.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

namespace terminal {
namespace {

int ttyFd = -1;
termios saved{};
std::atomic<bool> raw{false};

// A lone Esc is told from the start of an escape sequence by the bytes that
// follow it at once; a terminal sends a whole sequence in one go.
constexpr int kEscapeSequenceWaitMs = 40;

bool ReadByte(unsigned char& c, int timeoutMs) {
    pollfd p{ttyFd, POLLIN, 0};
    if (poll(&p, 1, timeoutMs) <= 0) return false;
    return read(ttyFd, &c, 1) == 1;
}

// Skips the rest of a CSI ("ESC [") or SS3 ("ESC O") sequence.
void SkipSequence(unsigned char introducer) {
    unsigned char c = 0;
    if (introducer == 'O') {
        ReadByte(c, kEscapeSequenceWaitMs);
        return;
    }
    while (ReadByte(c, kEscapeSequenceWaitMs))
        if (c >= 0x40 && c <= 0x7E) return;
}

}  // namespace

bool Open() {
    if (ttyFd < 0) ttyFd = open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
    return ttyFd >= 0;
}

int Fd() { return ttyFd; }

void EnterRawMode() {
    if (ttyFd < 0 || raw.load()) return;
    if (tcgetattr(ttyFd, &saved) != 0) return;
    termios t = saved;
    // No echo, no line editing, and Ctrl-C arrives as a byte: it answers Cancel
    // instead of killing the process with the terminal left raw.
    t.c_lflag &= ~(ICANON | ECHO | ISIG | IEXTEN);
    t.c_iflag &= ~(ICRNL | IXON);
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    if (tcsetattr(ttyFd, TCSANOW, &t) == 0) raw.store(true);
    Write("\033[?25l");  // hide the cursor while waiting for a key
}

void Restore() {
    if (ttyFd < 0 || !raw.exchange(false)) return;
    static const char show[] = "\033[?25h";
    ssize_t ignored = write(ttyFd, show, sizeof show - 1);
    (void)ignored;
    tcsetattr(ttyFd, TCSANOW, &saved);
}

void Write(std::string_view utf8) {
    while (ttyFd >= 0 && !utf8.empty()) {
        const ssize_t n = write(ttyFd, utf8.data(), utf8.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        utf8.remove_prefix(static_cast<std::size_t>(n));
    }
}

std::string FromGbk(std::string_view gbk) {
    std::string out;
    iconv_t cd = iconv_open("UTF-8", "GBK");
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(gbk);
    out.resize(gbk.size() * 3 / 2 + 16);
    char* in = const_cast<char*>(gbk.data());
    std::size_t inLeft = gbk.size();
    std::size_t used = 0;
    while (inLeft > 0) {
        if (out.size() - used < 8) out.resize(out.size() * 2);
        char* dst = out.data() + used;
        std::size_t dstLeft = out.size() - used;
        const std::size_t r = iconv(cd, &in, &inLeft, &dst, &dstLeft);
        used = out.size() - dstLeft;
        if (r != static_cast<std::size_t>(-1)) break;
        if (errno == E2BIG) continue;
        out[used++] = '?';  // not GBK: show a placeholder and go on
        ++in;
        --inLeft;
    }
    iconv_close(cd);
    out.resize(used);
    return out;
}

Key ReadKey() {
    unsigned char c = 0;
    while (ReadByte(c, 0)) {
        if (c == '\r' || c == '\n') return Key::Enter;
        if (c == 0x03) return Key::Interrupt;
        if (c != 0x1B) continue;
        unsigned char next = 0;
        if (!ReadByte(next, kEscapeSequenceWaitMs)) return Key::Escape;
        if (next == '[' || next == 'O') SkipSequence(next);
        // ESC + another key is Alt+key: not an answer.
    }
    return Key::None;
}

void FatalBox(const char* utf8Title, const char* utf8Text) {
    if (!Open()) {
        ssize_t ignored = write(STDERR_FILENO, utf8Text, strlen(utf8Text));
        ignored = write(STDERR_FILENO, "\n", 1);
        (void)ignored;
        return;
    }
    EnterRawMode();
    Write("\n\033[1;31m");
    Write(utf8Title);
    Write("\033[0m\n  ");
    Write(utf8Text);
    Write("\n\033[2m  [Enter] OK\033[0m\n");
    unsigned char c = 0;
    while (ReadByte(c, -1) && c != '\r' && c != '\n' && c != 0x1B && c != 0x03) {
    }
    Restore();
}

}  // namespace terminal
