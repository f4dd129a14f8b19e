// The INI rules as a table: the Linux reader is tested against it, and so is
// the Windows private-profile reader (under Wine), so both read alike.
#pragma once

#include <ostream>
#include <string_view>

namespace {

struct IniCase {
    const char* name;
    std::string_view file, section, key;
    const char* value;  // nullptr: not found
};
inline std::ostream& operator<<(std::ostream& os, const IniCase& c) { return os << c.name; }

constexpr IniCase kIniCases[] = {
    {"plain", "[更新]\r\n地址=http://h/m.xml\r\n版本号=1.0\r\n", "更新", "版本号", "1.0"},
    {"lf line ends", "[更新]\n版本号=1.0\n", "更新", "版本号", "1.0"},
    {"cr line ends", "[更新]\r版本号=1.0\r", "更新", "版本号", "1.0"},
    {"no final line end", "[更新]\n版本号=1.0", "更新", "版本号", "1.0"},
    {"blanks around", "  [更新]  \n \t版本号 \t=\t 1.0 \t\n", "更新", "版本号", "1.0"},
    {"blanks inside stay", "[s]\nk=a  b\n", "s", "k", "a  b"},
    {"ascii case folds", "[SeCtIoN]\nKEY=v\n", "section", "key", "v"},
    {"trail byte not folded", "[s]\n\x81\x41=v\n", "s", "\x81\x61", nullptr},  // 0x8141 vs 0x8161
    {"double-byte name exact", "[s]\n\x81\x41=v\n", "s", "\x81\x41", "v"},
    {"first section only", "[s]\na=1\n[s]\nb=2\n", "s", "b", nullptr},
    {"first key wins", "[s]\nk=1\nk=2\n", "s", "k", "1"},
    {"other section", "[t]\nk=1\n[s]\nk=2\n", "s", "k", "2"},
    {"key of another section", "[s]\n[t]\nk=1\n", "s", "k", nullptr},
    {"missing section", "[t]\nk=1\n", "s", "k", nullptr},
    {"no equals sign", "[s]\nk\n", "s", "k", ""},
    {"empty value", "[s]\nk=\n", "s", "k", ""},
    {"double quotes dropped", "[s]\nk=\" v \"\n", "s", "k", " v "},
    {"single quotes dropped", "[s]\nk='v'\n", "s", "k", "v"},
    {"one pair only", "[s]\nk=\"\"v\"\"\n", "s", "k", "\"v\""},
    {"unmatched quote stays", "[s]\nk=\"v\n", "s", "k", "\"v"},
    {"mixed quotes stay", "[s]\nk=\"v'\n", "s", "k", "\"v'"},
    {"lone quote stays", "[s]\nk=\"\n", "s", "k", "\""},
    {"semicolon is a key", "[s]\n;k=1\n", "s", ";k", "1"},
    {"semicolon line no comment", "[s]\n;comment\nk=2\n", "s", "k", "2"},
    {"equals in value", "[s]\nk=a=b\n", "s", "k", "a=b"},
    {"section up to last bracket", "[a]b]\nk=1\n", "a]b", "k", "1"},
    {"bracket as trail byte", "[\x81\x5D]\nk=1\n", "\x81\x5D", "k", "1"},  // 0x815D: "]" as a trail byte
    {"header without bracket is a key", "[s]\n[t\nk=1\n", "s", "k", "1"},
};

}  // namespace
