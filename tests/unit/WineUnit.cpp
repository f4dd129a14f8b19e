// Table tests that must run on Windows itself (under Wine): the INI table
// against the system's own private-profile reader, and the progress
// arithmetic in the x87 precision the program sets at start-up. Prints one line per case;
// the exit code counts the failures.
#include <windows.h>

#include <cstdio>
#include <string>

#include "app/Texts.h"
#include "download/Progress.h"
#include "platform/Runtime.h"
#include "platform/Settings.h"
#include "unit/IniCases.h"
#include "unit/ProgressCases.h"

namespace {

int failures = 0;

std::string Hex(const std::string& s) {
    std::string out;
    char digits[3];
    for (unsigned char c : s) {
        std::snprintf(digits, sizeof digits, "%02x", c);
        out += digits;
    }
    return out;
}

std::string WriteTemp(const std::string& name, std::string_view content) {
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    const std::string path = std::string(folder) + "ini-" + name + ".ini";
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(content.data(), 1, content.size(), f);
        std::fclose(f);
    }
    return path;
}

void Expect(const std::string& name, const std::string& got, const std::string& want) {
    if (got == want) {
        std::printf("ok %s\n", name.c_str());
        return;
    }
    ++failures;
    std::printf("FAIL %s: got %s want %s\n", name.c_str(), Hex(got).substr(0, 80).c_str(), Hex(want).substr(0, 80).c_str());
}

}  // namespace

int main() {
    int n = 0;
    for (const IniCase& c : kIniCases) {
        const std::string path = WriteTemp(std::to_string(n++), c.file);
        Expect(std::string("ini ") + c.name, ReadSetting(path, std::string(c.section), std::string(c.key)),
               c.value ? c.value : "");
        DeleteFileA(path.c_str());
    }
    const std::string longPath = WriteTemp("long", "[s]\nk=" + std::string(20000, 'x') + "\n");
    Expect("ini value cut to 10239 bytes", ReadSetting(longPath, "s", "k"), std::string(10239, 'x'));
    DeleteFileA(longPath.c_str());

    platform::ResetFloatingPoint();
    for (const ProgressCase& c : kProgressCases)
        Expect(std::string("progress ") + c.name, std::to_string(ProgressPosition(c.done, c.totalSize)),
               std::to_string(c.position));
    for (const SpeedCase& c : kSpeedCases)
        Expect(std::string("speed ") + c.name, SpeedCaption(c.speed),
               std::string(texts::kSpeedBefore) + c.number + texts::kSpeedAfter);
    return failures;
}
