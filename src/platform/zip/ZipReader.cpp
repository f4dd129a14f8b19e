#include "platform/zip/ZipReader.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

namespace {

constexpr std::uint32_t kLocalSignature = 0x04034b50;
constexpr std::uint32_t kCentralSignature = 0x02014b50;
constexpr std::uint32_t kEndSignature = 0x06054b50;
constexpr std::uint32_t kZip64EndSignature = 0x06064b50;
constexpr std::uint32_t kZip64LocatorSignature = 0x07064b50;
constexpr std::size_t kEndRecordSize = 22;
constexpr std::size_t kMaxComment = 0xFFFF;

std::uint16_t U16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }
std::uint32_t U32(const unsigned char* p) { return U16(p) | static_cast<std::uint32_t>(U16(p + 2)) << 16; }
std::uint64_t U64(const unsigned char* p) { return U32(p) | static_cast<std::uint64_t>(U32(p + 4)) << 32; }

struct Bytes {
    std::vector<unsigned char> data;
    bool Read(ByteSource& s, std::uint64_t offset, std::size_t n) {
        data.resize(n);
        return offset <= s.Size() && n <= s.Size() - offset && (n == 0 || s.ReadAt(offset, data.data(), n));
    }
};

// The end of central directory record: searched backwards over the comment.
std::optional<std::uint64_t> FindEndRecord(ByteSource& s) {
    if (s.Size() < kEndRecordSize) return std::nullopt;
    const std::uint64_t span = std::min<std::uint64_t>(s.Size(), kEndRecordSize + kMaxComment);
    Bytes tail;
    if (!tail.Read(s, s.Size() - span, static_cast<std::size_t>(span))) return std::nullopt;
    for (std::size_t i = static_cast<std::size_t>(span - kEndRecordSize) + 1; i-- > 0;)
        if (U32(&tail.data[i]) == kEndSignature) return s.Size() - span + i;
    return std::nullopt;
}

// Values of a Zip64 extended-information field stand in for those set to all ones.
void ApplyZip64(const unsigned char* extra, std::size_t length, ZipEntry& e, bool sizes, bool offset) {
    for (std::size_t at = 0; at + 4 <= length;) {
        const std::uint16_t id = U16(extra + at), size = U16(extra + at + 2);
        if (at + 4 + size > length) return;
        if (id == 0x0001) {
            const unsigned char* p = extra + at + 4;
            std::size_t left = size;
            auto take = [&](std::uint64_t& v) {
                if (left < 8) return;
                v = U64(p);
                p += 8;
                left -= 8;
            };
            if (sizes && e.size == 0xFFFFFFFF) take(e.size);
            if (sizes && e.compressedSize == 0xFFFFFFFF) take(e.compressedSize);
            if (offset && e.localOffset == 0xFFFFFFFF) take(e.localOffset);
        }
        at += 4 + size;
    }
}

void ApplyTimes(const unsigned char* extra, std::size_t length, ZipTimes& t) {
    for (std::size_t at = 0; at + 4 <= length;) {
        const std::uint16_t id = U16(extra + at), size = U16(extra + at + 2);
        if (at + 4 + size > length) return;
        if (id == 0x5455 && size >= 1) {  // "UT": flags, then the times the flags name
            const unsigned char* p = extra + at + 4;
            const unsigned flags = p[0];
            std::size_t pos = 1;
            auto take = [&](std::optional<std::int64_t>& v) {
                if (pos + 4 > size) return;
                v = static_cast<std::int32_t>(U32(p + pos));
                pos += 4;
            };
            if (flags & 1) take(t.modified);
            if (flags & 2) take(t.accessed);
            if (flags & 4) take(t.created);
        }
        at += 4 + size;
    }
}

}  // namespace

bool ZipEntry::IsFolder() const {
    return (externalAttributes & 0x10) || (externalAttributes & 0x40000000u) || (!name.empty() && name.back() == '/');
}

bool ZipEntry::IsSymbolicLink() const {
    return (madeBy >> 8) == 3 && ((externalAttributes >> 16) & 0170000) == 0120000;
}

std::optional<std::uint32_t> ZipEntry::UnixMode() const {
    if ((madeBy >> 8) != 3 || (externalAttributes >> 16) == 0) return std::nullopt;
    return (externalAttributes >> 16) & 0777;  // never set-user or set-group
}

bool HasZipSignature(ByteSource& source) {
    Bytes b;
    return b.Read(source, 0, 4) && U32(b.data.data()) == kLocalSignature;
}

std::optional<std::vector<ZipEntry>> ReadCentralDirectory(ByteSource& s) {
    const auto end = FindEndRecord(s);
    if (!end) return std::nullopt;
    Bytes rec;
    if (!rec.Read(s, *end, kEndRecordSize)) return std::nullopt;
    std::uint64_t count = U16(&rec.data[10]);
    std::uint64_t dirSize = U32(&rec.data[12]);
    std::uint64_t dirOffset = U32(&rec.data[16]);
    if (count == 0xFFFF || dirSize == 0xFFFFFFFF || dirOffset == 0xFFFFFFFF) {
        Bytes locator, record;
        if (*end < 20 || !locator.Read(s, *end - 20, 20) || U32(locator.data.data()) != kZip64LocatorSignature)
            return std::nullopt;
        if (!record.Read(s, U64(&locator.data[8]), 56) || U32(record.data.data()) != kZip64EndSignature)
            return std::nullopt;
        count = U64(&record.data[32]);
        dirSize = U64(&record.data[40]);
        dirOffset = U64(&record.data[48]);
    }
    Bytes dir;
    if (dirSize > s.Size() || !dir.Read(s, dirOffset, static_cast<std::size_t>(dirSize))) return std::nullopt;
    std::vector<ZipEntry> entries;
    std::size_t at = 0;
    for (std::uint64_t i = 0; i < count; ++i) {
        if (at + 46 > dir.data.size()) return std::nullopt;
        const unsigned char* h = &dir.data[at];
        if (U32(h) != kCentralSignature) return std::nullopt;
        ZipEntry e;
        e.madeBy = U16(h + 4);
        const std::uint16_t flags = U16(h + 8);
        e.encrypted = flags & 1;
        e.utf8 = flags & 0x800;
        e.method = U16(h + 10);
        e.dosTime = U16(h + 12);
        e.dosDate = U16(h + 14);
        e.crc = U32(h + 16);
        e.compressedSize = U32(h + 20);
        e.size = U32(h + 24);
        const std::size_t nameLength = U16(h + 28), extraLength = U16(h + 30), commentLength = U16(h + 32);
        e.externalAttributes = U32(h + 38);
        e.localOffset = U32(h + 42);
        if (at + 46 + nameLength + extraLength + commentLength > dir.data.size()) return std::nullopt;
        e.name.assign(reinterpret_cast<const char*>(h + 46), nameLength);
        ApplyZip64(h + 46 + nameLength, extraLength, e, true, true);
        entries.push_back(std::move(e));
        at += 46 + nameLength + extraLength + commentLength;
    }
    return entries;
}

EntryResult ReadEntry(ByteSource& s, const ZipEntry& e, ZipTimes& times,
                      const std::function<bool(const char*, std::size_t)>& write) {
    if (e.encrypted) return EntryResult::Encrypted;
    if (e.method != 0 && e.method != 8) return EntryResult::Unsupported;
    Bytes local;
    if (!local.Read(s, e.localOffset, 30) || U32(local.data.data()) != kLocalSignature) return EntryResult::Damaged;
    const std::size_t nameLength = U16(&local.data[26]), extraLength = U16(&local.data[28]);
    Bytes extra;
    if (!extra.Read(s, e.localOffset + 30 + nameLength, extraLength)) return EntryResult::Damaged;
    ApplyTimes(extra.data.data(), extra.data.size(), times);
    std::uint64_t in = e.localOffset + 30 + nameLength + extraLength;
    // Sizes and CRC come from the central directory: entries written with a
    // data descriptor carry zeros in their local header.
    if (e.compressedSize > s.Size() || in > s.Size() - e.compressedSize) return EntryResult::Damaged;

    constexpr std::size_t kChunk = 256 * 1024;
    // Made once per thread: zeroing fresh buffers for every small entry cost
    // more than inflating it.
    thread_local std::vector<unsigned char> input(kChunk), output(kChunk);
    std::uint64_t leftIn = e.compressedSize, produced = 0;
    std::uint32_t crc = static_cast<std::uint32_t>(crc32(0, nullptr, 0));
    auto emit = [&](const unsigned char* data, std::size_t n) {
        produced += n;
        if (produced > e.size) return EntryResult::TooLarge;  // more than declared: a bomb or damage
        crc = static_cast<std::uint32_t>(crc32(crc, data, static_cast<uInt>(n)));
        return write(reinterpret_cast<const char*>(data), n) ? EntryResult::Ok : EntryResult::WriteFailed;
    };
    if (e.method == 0) {
        while (leftIn > 0) {
            const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(leftIn, kChunk));
            if (!s.ReadAt(in, input.data(), n)) return EntryResult::Damaged;
            if (const EntryResult r = emit(input.data(), n); r != EntryResult::Ok) return r;
            in += n;
            leftIn -= n;
        }
    } else {
        z_stream z{};
        if (inflateInit2(&z, -MAX_WBITS) != Z_OK) return EntryResult::Damaged;
        struct Ender {
            z_stream& z;
            ~Ender() { inflateEnd(&z); }
        } ender{z};
        int status = Z_OK;
        while (status != Z_STREAM_END) {
            if (z.avail_in == 0) {
                if (leftIn == 0) return EntryResult::Damaged;  // the stream ends early
                const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(leftIn, kChunk));
                if (!s.ReadAt(in, input.data(), n)) return EntryResult::Damaged;
                in += n;
                leftIn -= n;
                z.next_in = input.data();
                z.avail_in = static_cast<uInt>(n);
            }
            z.next_out = output.data();
            z.avail_out = static_cast<uInt>(output.size());
            status = inflate(&z, Z_NO_FLUSH);
            if (status != Z_OK && status != Z_STREAM_END) return EntryResult::Damaged;
            if (const EntryResult r = emit(output.data(), output.size() - z.avail_out); r != EntryResult::Ok) return r;
        }
    }
    if (produced != e.size || crc != e.crc) return EntryResult::Damaged;
    return EntryResult::Ok;
}
