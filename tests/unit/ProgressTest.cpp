#include <gtest/gtest.h>

#include "app/Texts.h"
#include "download/DownloadFlow.h"
#include "download/Progress.h"
#include "unit/CaseName.h"
#include "unit/ProgressCases.h"

namespace {

class ProgressArithmetic : public testing::TestWithParam<ProgressCase> {};
TEST_P(ProgressArithmetic, GivesThePosition) {
    EXPECT_EQ(ProgressPosition(GetParam().done, GetParam().totalSize), GetParam().position);
}
INSTANTIATE_TEST_SUITE_P(Table, ProgressArithmetic, testing::ValuesIn(kProgressCases), CaseName());

class SpeedText : public testing::TestWithParam<SpeedCase> {};
TEST_P(SpeedText, WholeKilobytesWithTheTrailingSpace) {
    EXPECT_EQ(SpeedCaption(GetParam().speed), std::string(texts::kSpeedBefore) + GetParam().number + texts::kSpeedAfter);
}
INSTANTIATE_TEST_SUITE_P(Table, SpeedText, testing::ValuesIn(kSpeedCases), CaseName());

struct TrimCase {
    const char* name;
    const char* address;
    const char* trimmed;
};
std::ostream& operator<<(std::ostream& os, const TrimCase& c) { return os << c.name; }

constexpr TrimCase kTrimCases[] = {
    {"ascii spaces", "  http://h/p.zip  ", "http://h/p.zip"},
    {"ideographic spaces", "\xA1\xA1http://h/p.zip \xA1\xA1", "http://h/p.zip"},
    {"tab stays", "\thttp://h/p.zip", "\thttp://h/p.zip"},
    {"line breaks stay", "http://h/p.zip\r\n", "http://h/p.zip\r\n"},
    {"inner spaces stay", " http://h/a b.zip ", "http://h/a b.zip"},
    {"only spaces", " \xA1\xA1 ", ""},
    // B0 A1 A1 A1: a character whose trail byte is A1, then a lone A1 byte:
    // no ideographic space on a character boundary at the end.
    {"a1 trail byte is no space", "x\xB0\xA1\xA1", "x\xB0\xA1\xA1"},
    {"space after a character", "\xB0\xA1\xA1\xA1", "\xB0\xA1"},
};

class TrimAddress : public testing::TestWithParam<TrimCase> {};
TEST_P(TrimAddress, RemovesOnlySpaces) { EXPECT_EQ(TrimSpaces(GetParam().address), GetParam().trimmed); }
INSTANTIATE_TEST_SUITE_P(Table, TrimAddress, testing::ValuesIn(kTrimCases), CaseName());

}  // namespace
