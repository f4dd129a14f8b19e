#include <gtest/gtest.h>

#include "unit/CaseName.h"

#include <ostream>
#include <string>
#include <string_view>

#include "platform/ini/IniReader.h"
#include "unit/IniCases.h"

namespace {

class IniRules : public testing::TestWithParam<IniCase> {};
TEST_P(IniRules, FindsWhatWindowsFinds) {
    const IniCase& c = GetParam();
    const auto found = ini::FindValue(c.file, c.section, c.key);
    if (!c.value) {
        EXPECT_FALSE(found.has_value());
        EXPECT_EQ(ini::ReadValue(c.file, c.section, c.key), "");
        return;
    }
    EXPECT_EQ(ini::ReadValue(c.file, c.section, c.key), c.value);
}
INSTANTIATE_TEST_SUITE_P(Table, IniRules, testing::ValuesIn(kIniCases), CaseName());

TEST(IniValues, AreCutToTheBuffer) {
    const std::string longValue(20000, 'x');
    EXPECT_EQ(ini::ReadValue("[s]\nk=" + longValue + "\n", "s", "k"), std::string(10239, 'x'));
    EXPECT_EQ(ini::ReadValue("[s]\nk=\"" + longValue + "\"\n", "s", "k"), std::string(10239, 'x'));
    EXPECT_EQ(ini::ReadValue("[s]\nk=" + std::string(10239, 'y') + "\n", "s", "k"), std::string(10239, 'y'));
}

}  // namespace
