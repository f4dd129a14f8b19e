// Writes small ZIP archives byte by byte for the extractor's tests, so that a
// fixture shows exactly the fault it is named for.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

struct ZipFixtureEntry {
    std::string name;
    std::string content;
    bool deflate = false;
    std::uint16_t flags = 0;             // 1: encrypted, 0x800: UTF-8 name
    std::uint16_t method = 0xFFFF;       // 0xFFFF: 8 when deflated, else 0
    std::int64_t declaredSize = -1;      // -1: the real size
    std::int64_t crcOffset = 0;          // added to the real CRC
    std::uint32_t externalAttributes = 0;
    std::uint16_t madeBy = 20;
};

inline std::string MakeZip(const std::vector<ZipFixtureEntry>& entries) {
    std::string out, central;
    auto u16 = [](std::string& s, unsigned v) { s += static_cast<char>(v & 0xFF); s += static_cast<char>((v >> 8) & 0xFF); };
    auto u32 = [&](std::string& s, std::uint32_t v) { u16(s, v & 0xFFFF); u16(s, v >> 16); };
    for (const ZipFixtureEntry& e : entries) {
        std::string data = e.content;
        if (e.deflate) {
            std::vector<unsigned char> buffer(compressBound(static_cast<uLong>(data.size())) + 64);
            z_stream z{};
            deflateInit2(&z, 6, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
            z.next_in = reinterpret_cast<Bytef*>(data.data());
            z.avail_in = static_cast<uInt>(data.size());
            z.next_out = buffer.data();
            z.avail_out = static_cast<uInt>(buffer.size());
            deflate(&z, Z_FINISH);
            data.assign(reinterpret_cast<char*>(buffer.data()), z.total_out);
            deflateEnd(&z);
        }
        const std::uint16_t method = e.method != 0xFFFF ? e.method : (e.deflate ? 8 : 0);
        const auto crc = static_cast<std::uint32_t>(
            crc32(0, reinterpret_cast<const Bytef*>(e.content.data()), static_cast<uInt>(e.content.size())) + e.crcOffset);
        const auto size = static_cast<std::uint32_t>(e.declaredSize >= 0 ? e.declaredSize : e.content.size());
        const auto offset = static_cast<std::uint32_t>(out.size());
        u32(out, 0x04034b50); u16(out, 20); u16(out, e.flags); u16(out, method); u16(out, 0); u16(out, 0x5821);
        u32(out, crc); u32(out, static_cast<std::uint32_t>(data.size())); u32(out, size);
        u16(out, static_cast<unsigned>(e.name.size())); u16(out, 0);
        out += e.name + data;
        u32(central, 0x02014b50); u16(central, e.madeBy); u16(central, 20); u16(central, e.flags); u16(central, method);
        u16(central, 0); u16(central, 0x5821); u32(central, crc); u32(central, static_cast<std::uint32_t>(data.size()));
        u32(central, size); u16(central, static_cast<unsigned>(e.name.size())); u16(central, 0); u16(central, 0);
        u16(central, 0); u16(central, 0); u32(central, e.externalAttributes); u32(central, offset);
        central += e.name;
    }
    const auto centralOffset = static_cast<std::uint32_t>(out.size());
    out += central;
    u32(out, 0x06054b50); u16(out, 0); u16(out, 0); u16(out, static_cast<unsigned>(entries.size()));
    u16(out, static_cast<unsigned>(entries.size())); u32(out, static_cast<std::uint32_t>(central.size()));
    u32(out, centralOffset); u16(out, 0);
    return out;
}
