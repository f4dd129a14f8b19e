#include <gtest/gtest.h>

#include "platform/Text.h"

TEST(Text, CompareTextsIsUnsignedBytewise) {
    EXPECT_EQ(text::CompareTexts("", ""), 0);
    EXPECT_EQ(text::CompareTexts("a", ""), 1);
    EXPECT_EQ(text::CompareTexts("ab", "abc"), -1);
    EXPECT_EQ(text::CompareTexts("\x80", "\x7f"), 1);  // unsigned, not char
    EXPECT_EQ(text::CompareTexts("B", "a"), -1);       // no case folding
}

TEST(Text, FindLastCharStepsOverTrailBytes) {
    // 0x955C is one GBK character whose trail byte is a backslash.
    EXPECT_EQ(text::FindLastChar("C:\\a\\\x95\x5C", '\\'), 4u);
    EXPECT_EQ(text::FindLastChar("\x95\x5C", '\\'), std::string::npos);
    EXPECT_EQ(text::FindLastChar("abc", '\\'), std::string::npos);
    EXPECT_EQ(text::FindLastChar("a\\", '\\'), 1u);
    EXPECT_EQ(text::FindLastChar("\x95", '\\'), std::string::npos);  // a lead byte at the end stands alone
}
