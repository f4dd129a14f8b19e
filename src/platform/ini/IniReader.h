// Reads values out of INI text by the rules of the Windows private-profile reader
// (GetPrivateProfileStringA), so the Linux build finds what Windows would find.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ini {

// The reading buffer of a setting: 10240 bytes with the terminating NUL.
constexpr std::size_t kValueBufferSize = 10240;

// The raw value of `key` in the first section named `section`, blanks around it
// removed; nullopt when that section or that key is missing.
// - Section and key names match with ASCII-only case folding.
// - Only the first section of a name is searched.
// - Blanks are spaces and tabs; lines end in CR, LF or CR LF.
// - A line without "=" is a key with an empty value; ";" is not special.
std::optional<std::string> FindValue(std::string_view data, std::string_view section,
                                     std::string_view key);

// What a 10240-byte buffer receives: one enclosing pair of double or single
// quotes dropped, then cut to 10239 bytes. Empty when the key is missing.
std::string ReadValue(std::string_view data, std::string_view section, std::string_view key);

}  // namespace ini
