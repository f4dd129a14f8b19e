// Table tests that must run on Windows itself (under Wine): the INI table
// against the system's own private-profile reader, and the progress
// arithmetic in the x87 precision the program sets at start-up, and the
// installation's handling of names in the ANSI code page. Prints one line per case;
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
#include "unit/ZipWriter.h"
#include "install/MirrorCopy.h"
#include "platform/zip/Extract.h"

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

std::string TempFolder() {
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    return folder;
}

std::string WriteFile(const std::string& path, std::string_view content) {
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(content.data(), 1, content.size(), f);
        std::fclose(f);
    }
    return path;
}

std::string WriteTemp(const std::string& name, std::string_view content) {
    return WriteFile(TempFolder() + "ini-" + name + ".ini", content);
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

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

    // UTF-8 entry names land under their GBK names; one without a GBK form is refused.
    const std::string temp = TempFolder();
    const std::string utf8Zip = WriteFile(temp + "utf8.zip", MakeZip({{"\xE6\x9B\xB4\xE6\x96\xB0/a.txt", "gbk", false, 0x800}}));
    Expect("utf-8 name extracted", std::to_string(ExtractArchive(utf8Zip, temp + "utf8-out")), "1");
    Expect("utf-8 name in gbk", std::to_string(Exists(temp + "utf8-out\\\xB8\xFC\xD0\xC2\\a.txt")), "1");
    const std::string emojiZip = WriteFile(temp + "emoji.zip", MakeZip({{"\xF0\x9F\x98\x80.txt", "x", false, 0x800}}));
    Expect("utf-8 name without a gbk form refused", std::to_string(ExtractArchive(emojiZip, temp + "emoji-out")), "0");

    // A folder whose GBK name ends in a 0x5C trail byte (0x9C5C) still gets its separator.
    const std::string source = temp + "mirror-src", target = temp + "mirror-dst";
    CreateDirectoryA(source.c_str(), nullptr);
    CreateDirectoryA((source + "\\\x9C\x5C").c_str(), nullptr);
    WriteFile(source + "\\\x9C\x5C\\inside.txt", "content");
    MirrorCopyDirectory(0, source, target);
    Expect("file below a 0x5C-ending folder copied", std::to_string(Exists(target + "\\\x9C\x5C\\inside.txt")), "1");

    platform::ResetFloatingPoint();
    for (const ProgressCase& c : kProgressCases)
        Expect(std::string("progress ") + c.name, std::to_string(ProgressPosition(c.done, c.totalSize)),
               std::to_string(c.position));
    for (const SpeedCase& c : kSpeedCases)
        Expect(std::string("speed ") + c.name, SpeedCaption(c.speed),
               std::string(texts::kSpeedBefore) + c.number + texts::kSpeedAfter);
    return failures;
}
