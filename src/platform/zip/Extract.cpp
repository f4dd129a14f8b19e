#include "platform/zip/Extract.h"

#include <ctime>
#include <vector>

#include "platform/File.h"
#include "platform/Fs.h"
#include "platform/Runtime.h"
#include "platform/Text.h"
#include "platform/zip/ZipReader.h"

namespace {

class FileSource : public ByteSource {
public:
    explicit FileSource(InputFile& file) : file_(file) {}
    std::uint64_t Size() const override { return file_.Size(); }
    bool ReadAt(std::uint64_t offset, void* out, std::size_t n) override { return file_.ReadAt(offset, out, n); }

private:
    InputFile& file_;
};

#ifdef _WIN32
constexpr bool kWindows = true;
#else
constexpr bool kWindows = false;
#endif

std::int64_t FromDos(std::uint16_t date, std::uint16_t time) {
    std::tm t{};
    t.tm_year = ((date >> 9) & 0x7F) + 80;
    t.tm_mon = ((date >> 5) & 0x0F) - 1;
    t.tm_mday = date & 0x1F;
    t.tm_hour = (time >> 11) & 0x1F;
    t.tm_min = (time >> 5) & 0x3F;
    t.tm_sec = (time & 0x1F) * 2;
    t.tm_isdst = -1;
    return static_cast<std::int64_t>(std::mktime(&t));  // DOS times are local
}

std::string ParentOf(const std::string& path, char separator) {
    const std::size_t cut = text::FindLastChar(path, separator);
    return cut == std::string::npos ? std::string() : path.substr(0, cut);
}

bool ExtractFile(ByteSource& source, const ZipEntry& entry, const std::string& path, char separator,
                 std::string& lastFolder) {
    // Most archivers write no folder entries: the file's folders are made here
    // (once for a run of files in the same folder).
    const std::string folder = ParentOf(path, separator);
    if (folder != lastFolder && fs::CreateFolderTree(folder)) lastFolder = folder;
    fs::SetNormalAttributes(path);
    OutputFile out;
    if (!out.Create(path, 0)) return false;
    std::int64_t offset = 0;
    ZipTimes times;
    const EntryResult r = ReadEntry(source, entry, times, [&](const char* data, std::size_t n) {
        if (!out.WriteAt(offset, data, n)) return false;
        offset += static_cast<std::int64_t>(n);
        return true;
    });
    if (!out.Close() || r != EntryResult::Ok) return false;
    const std::int64_t dos = FromDos(entry.dosDate, entry.dosTime);
    fs::SetTimes(path, times.created ? times.created : dos, times.accessed ? times.accessed : dos,
                 times.modified ? times.modified : dos);
    fs::SetMode(path, entry.UnixMode().value_or(0644));
    fs::SetNormalAttributes(path);
    return true;
}

}  // namespace

int ExtractArchive(const std::string& archive, const std::string& destination) {
    if (archive.empty() || destination.empty() || !fs::Exists(archive)) return -1;
    if (!fs::Exists(destination) && !fs::CreateFolderTree(destination)) return 0;
    InputFile file;
    if (!file.Open(archive)) return 0;
    FileSource source(file);
    if (!HasZipSignature(source)) return 0;
    const auto entries = ReadCentralDirectory(source);
    if (!entries) return 0;
    const char separator = platform::kPathSeparator;
    std::string lastFolder;
    for (const ZipEntry& entry : *entries) {
        std::string name = entry.name;
        if (entry.utf8 && !fs::NameFromUtf8(entry.name, name)) return 0;
        const std::string path = EntryPath(destination, name, separator, kWindows);
        if (path.empty()) return 0;
        if (entry.IsFolder()) {
            if (!fs::CreateFolderTree(path)) return 0;
            continue;
        }
        // A symbolic-link entry becomes a plain file holding its target, never a link.
        if (!ExtractFile(source, entry, path, separator, lastFolder)) return 0;
    }
    return 1;
}
