// Texts are std::string holding bytes in the ANSI code page (GBK, code page 936).
// The program never converts them; these helpers only know where a character ends.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace text {

// A GBK lead byte: it and the byte after it form one character. The trail byte
// ranges over 0x40..0xFE, so it can be a backslash, a bracket or an ASCII letter.
constexpr bool IsLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

// Length of the character that starts at `pos`: 2 for a lead byte followed by
// another byte, 1 otherwise (a lead byte at the very end stands alone).
inline std::size_t CharLength(std::string_view s, std::size_t pos) {
    return IsLeadByte(static_cast<unsigned char>(s[pos])) && pos + 1 < s.size() ? 2 : 1;
}

// Position of the last `c` that is a character of its own (never a trail byte),
// or npos.
std::size_t FindLastChar(std::string_view s, char c);

// `s` with `c` appended unless it already ends in `c` as a character of its
// own (a GBK character can end in the byte 0x5C); an empty text gets `c` too.
std::string WithTrailingChar(std::string s, char c);

// Byte-wise comparison of unsigned bytes; a proper prefix is the smaller. -1, 0, +1.
int CompareTexts(std::string_view a, std::string_view b);

}  // namespace text
