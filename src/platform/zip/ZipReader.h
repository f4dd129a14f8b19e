// Reads a ZIP archive from a byte source: the central directory (Zip64
// included) and each entry's data, inflated and checked against its size and
// CRC-32. Knows nothing of files or folders, so a fuzzer can drive it.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual std::uint64_t Size() const = 0;
    virtual bool ReadAt(std::uint64_t offset, void* out, std::size_t n) = 0;
};

struct ZipTimes {
    std::optional<std::int64_t> modified, accessed, created;  // Unix seconds, from the "UT" extra field
};

struct ZipEntry {
    std::string name;            // as stored
    bool utf8 = false;           // general-purpose bit 11
    bool encrypted = false;
    std::uint16_t method = 0;
    std::uint16_t madeBy = 0;
    std::uint16_t dosTime = 0, dosDate = 0;
    std::uint32_t crc = 0;
    std::uint64_t compressedSize = 0, size = 0;
    std::uint64_t localOffset = 0;
    std::uint32_t externalAttributes = 0;

    bool IsFolder() const;                     // the DOS directory bit or the Unix one
    bool IsSymbolicLink() const;               // a Unix entry of type link
    std::optional<std::uint32_t> UnixMode() const;  // permission bits, when the entry carries them
};

// Whether the bytes start as a ZIP archive does (a local file header).
bool HasZipSignature(ByteSource& source);

// The entries in central-directory order; nullopt when it cannot be read.
std::optional<std::vector<ZipEntry>> ReadCentralDirectory(ByteSource& source);

enum class EntryResult { Ok, Damaged, Unsupported, Encrypted, TooLarge, WriteFailed };

// Streams the entry's content to `write` (false from it stops with
// WriteFailed); fills `times` from the local "UT" extra field. The content must
// inflate to exactly the declared size and match the stored CRC-32.
EntryResult ReadEntry(ByteSource& source, const ZipEntry& entry, ZipTimes& times,
                      const std::function<bool(const char*, std::size_t)>& write);
