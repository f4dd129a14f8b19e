#include <gtest/gtest.h>

#include <ostream>
#include <string_view>

#include "check/Version.h"

namespace {

struct VersionCase {
    std::string_view published, installed;
    bool newer;
};
std::ostream& operator<<(std::ostream& os, const VersionCase& c) {
    return os << '"' << c.published << "\" vs \"" << c.installed << '"';
}

constexpr VersionCase kVersionCases[] = {
    {"1.10", "1.9", false},  // texts, not numbers
    {"1.9", "1.10", true},
    {"1.0.1", "1.0", true},  // the longer text wins on a common prefix
    {"1.0", "1.0.1", false},
    {"2.0", "2.0", false},   // equal is not newer
    {"", "1.0", false},      // an empty published version is never newer
    {"", "", false},
    {"0.0.1", "", true},     // anything beats an empty installed version
    {"v1.0", "V1.0", true},  // letter case matters
    {"\xB0\xE6", "1.0", true},  // bytes compare unsigned
};

class VersionRule : public testing::TestWithParam<VersionCase> {};
TEST_P(VersionRule, ComparesTexts) {
    EXPECT_EQ(IsNewerVersion(GetParam().published, GetParam().installed), GetParam().newer);
}
INSTANTIATE_TEST_SUITE_P(Table, VersionRule, testing::ValuesIn(kVersionCases));

struct MarkerCase {
    std::string_view notes, shown;
};
std::ostream& operator<<(std::ostream& os, const MarkerCase& c) { return os << '"' << c.notes << '"'; }

constexpr MarkerCase kMarkerCases[] = {
    {"a\\r\\b", "a\r\nb"},
    {"a\\r\\nb", "a\r\nnb"},          // the n stays
    {"", ""},
    {"\\r\\\\r\\", "\r\n\r\n"},
    {"\\r\\r\\", "\r\nr\\"},          // replacements never overlap
    {"\\r", "\\r"},                   // an incomplete marker stays
    {"\\n", "\\n"},
    {"\x95\\r\\x", "\x95\\r\\x"},     // 0x955C is one character: no marker starts at its trail byte
    {"\xB0\xA1\\r\\\xB0\xA1", "\xB0\xA1\r\n\xB0\xA1"},
    {"a\\r\\", "a\r\n"},
};

class NoteMarkers : public testing::TestWithParam<MarkerCase> {};
TEST_P(NoteMarkers, BecomeLineBreaks) { EXPECT_EQ(ConvertNoteMarkers(GetParam().notes), GetParam().shown); }
INSTANTIATE_TEST_SUITE_P(Table, NoteMarkers, testing::ValuesIn(kMarkerCases));

}  // namespace
