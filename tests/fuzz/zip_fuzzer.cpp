// Feeds any bytes to the ZIP reader as an archive and reads every entry.
#include <cstddef>
#include <cstdint>
#include <cstring>

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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MemorySource source(data, size);
    const auto entries = ReadCentralDirectory(source);
    if (!entries) return 0;
    for (const ZipEntry& entry : *entries) {
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
