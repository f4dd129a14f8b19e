// Feeds any bytes to the ZIP reader as an archive and reads every entry.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "platform/Text.h"
#include "platform/zip/Extract.h"
#include "platform/zip/ZipReader.h"

namespace {

class MemorySource : public ByteSource {
public:
    MemorySource(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::uint64_t Size() const override { return size_; }
    bool ReadAt(std::uint64_t offset, void* out, std::size_t n) override {
        if (offset > size_ || n > size_ - offset) return false;
        std::memcpy(out, data_ + offset, n);
        return true;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
};

// A ".." component, split as the system splits: at separators that are
// characters of their own (a GBK trail byte can be 0x5C).
bool HasDotDot(const std::string& path, char separator) {
    std::string part;
    for (std::size_t i = 0; i <= path.size(); i += i < path.size() ? text::CharLength(path, i) : 1) {
        if (i == path.size() || (text::CharLength(path, i) == 1 && path[i] == separator)) {
            if (part == "..") return true;
            part.clear();
        } else {
            part.append(path, i, text::CharLength(path, i));
        }
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MemorySource source(data, size);
    const auto entries = ReadCentralDirectory(source);
    if (!entries) return 0;
    for (const ZipEntry& entry : *entries) {
        // Whatever the name, its path stays below the destination.
        for (const bool windows : {false, true}) {
            const char separator = windows ? '\\' : '/';
            const std::string destination = windows ? "D:\\dest" : "/dest";
            const std::string path = EntryPath(destination, entry.name, separator, windows);
            if (!path.empty() && path.compare(0, destination.size() + 1, destination + separator) != 0) __builtin_trap();
            if (HasDotDot(path, separator)) __builtin_trap();
        }
        ZipTimes times;
        std::uint64_t written = 0;
        ReadEntry(source, entry, times, [&](const char*, std::size_t n) {
            written += n;
            if (written > entry.size) __builtin_trap();  // never more than declared
            return true;
        });
    }
    return 0;
}
