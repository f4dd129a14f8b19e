#include <gtest/gtest.h>

#include "unit/CaseName.h"

#include <ostream>
#include <string>
#include <string_view>

#include "platform/xml/XmlTree.h"

namespace {

constexpr std::string_view kPath = "最新版本/版本信息";

// Each case: a document and what "版本号" reads from it ("" when unreadable
// or missing), and whether Load succeeds.
struct ManifestCase {
    const char* name;
    std::string_view document;
    bool loads;
    std::string_view version;
};
std::ostream& operator<<(std::ostream& os, const ManifestCase& c) { return os << c.name; }

constexpr ManifestCase kManifestCases[] = {
    {"plain", R"(<最新版本><版本信息 版本号="2.0" 下载地址="http://h/p.zip" 升级说明="n"/></最新版本>)", true, "2.0"},
    {"declaration comment doctype", R"(<?xml version="1.0" encoding="gb2312"?><!-- c --><!DOCTYPE x [<!ENTITY a "b">]>
<最新版本><!-- <版本信息 版本号="9"/> --><版本信息 版本号="2.0"></版本信息></最新版本><!-- end -->)", true, "2.0"},
    {"text and cdata ignored", "<最新版本>text<![CDATA[ a > b ]]><版本信息 版本号=\"2.0\"/>more</最新版本>", true, "2.0"},
    {"first of two", R"(<最新版本><版本信息 版本号="1"/><版本信息 版本号="2"/></最新版本>)", true, "1"},
    {"nested deeper not a child", R"(<最新版本><x><版本信息 版本号="1"/></x></最新版本>)", true, ""},
    {"other root", R"(<根><版本信息 版本号="2.0"/></根>)", true, ""},
    {"second top-level element ignored", R"(<最新版本/><最新版本><版本信息 版本号="2"/></最新版本>)", true, ""},
    {"several spaces between attributes", "<最新版本><版本信息  a=\"1\"   版本号=\"3\" /></最新版本>", true, "3"},
    {"specials inside quotes", R"(<最新版本><版本信息 版本号="<a/>b>"/></最新版本>)", true, "<a/>b>"},
    {"line break inside value", "<最新版本><版本信息 版本号=\"a\r\nb\"/></最新版本>", true, "a\r\nb"},
    {"equals in value", R"(<最新版本><版本信息 版本号="x=1" 下载地址="http://h/p?a=1&amp;b=2"/></最新版本>)", true, "x=1"},
    {"end tag with space", "<最新版本><版本信息 版本号=\"2\"></版本信息 ></最新版本>", true, "2"},
    {"empty input", "", false, ""},
    {"no element", "just text", false, ""},
    {"only a comment", "<!-- -->", false, ""},
    {"element left open", "<最新版本><版本信息 版本号=\"2\"/>", false, ""},
    {"wrong end tag", "<最新版本><版本信息 版本号=\"2\"></最新版本></版本信息>", false, ""},
    {"stray end tag", "</最新版本>", false, ""},
    {"space after lt", "< 最新版本></最新版本>", false, ""},
    {"lt inside tag", "<最新版本 <><版本信息 版本号=\"2\"/></最新版本>", false, ""},
    {"gt in text", "<最新版本>a > b<版本信息 版本号=\"2\"/></最新版本>", false, ""},
    {"gt before root", "> <最新版本/>", false, ""},
    {"duplicate attribute", "<最新版本><版本信息 版本号=\"1\" 版本号=\"2\"/></最新版本>", false, ""},
    {"unquoted value", "<最新版本><版本信息 版本号=2/></最新版本>", false, ""},
    {"attribute without space", "<最新版本><版本信息 a=\"1\"版本号=\"2\"/></最新版本>", false, ""},
    {"unterminated value", "<最新版本><版本信息 版本号=\"2/></最新版本>", false, ""},
    {"unterminated comment", "<最新版本><!-- </最新版本>", false, ""},
    {"binary", std::string_view("\0\xff<\x01", 4), false, ""},
};

class ManifestFormat : public testing::TestWithParam<ManifestCase> {};
TEST_P(ManifestFormat, ReadsOrRefuses) {
    const ManifestCase& c = GetParam();
    XmlTree tree;
    EXPECT_EQ(tree.Load(c.document), c.loads);
    EXPECT_EQ(tree.GetAttribute(kPath, "版本号"), c.version);
}
INSTANTIATE_TEST_SUITE_P(Table, ManifestFormat, testing::ValuesIn(kManifestCases), CaseName());

struct ReferenceCase {
    std::string_view raw, value;
};
std::ostream& operator<<(std::ostream& os, const ReferenceCase& c) { return os << '"' << c.raw << '"'; }

constexpr ReferenceCase kReferenceCases[] = {
    {"&lt;&gt;&amp;&apos;&quote;", "<>&'\""},
    {"&amp;lt;", "&lt;"},  // one pass: the result is not read again
    {"&quot;", "&quot;"},  // the standard's own entity stays
    {"&#34;&#x22;", "&#34;&#x22;"},
    {"a & b", "a & b"},
    {"&lt", "&lt"},
    {"\x81&lt;", "\x81&lt;"},  // a lead byte takes the next byte with it, as Windows scans
    {"\xB0\xA1&lt;", "\xB0\xA1<"},
};

class References : public testing::TestWithParam<ReferenceCase> {};
TEST_P(References, FiveAreReplaced) { EXPECT_EQ(ReplaceXmlReferences(GetParam().raw), GetParam().value); }
INSTANTIATE_TEST_SUITE_P(Table, References, testing::ValuesIn(kReferenceCases));

TEST(XmlTree, ReadsAllThreeAttributesAndReportsFound) {
    XmlTree tree;
    ASSERT_TRUE(tree.Load(
        R"(<最新版本><版本信息 版本号="2.0" 下载地址="http://h/p.zip?a=1&amp;b=2" 升级说明="a\r\b &quote;x&quote;" 空=""/></最新版本>)"));
    EXPECT_EQ(tree.GetAttribute(kPath, "下载地址"), "http://h/p.zip?a=1&b=2");
    EXPECT_EQ(tree.GetAttribute(kPath, "升级说明"), "a\\r\\b \"x\"");
    bool found = true;
    EXPECT_EQ(tree.GetAttribute(kPath, "missing", &found), "");
    EXPECT_FALSE(found);
    EXPECT_EQ(tree.GetAttribute(kPath, "空", &found), "");
    EXPECT_TRUE(found);
    EXPECT_EQ(tree.GetAttribute("", "版本号"), "");
    EXPECT_EQ(tree.GetAttribute(kPath, ""), "");
    EXPECT_EQ(tree.GetAttribute("最新版本", "版本号"), "");
    EXPECT_EQ(tree.GetAttribute("最新版本/版本信息/x", "版本号"), "");
}

TEST(XmlTree, FailedLoadDropsTheEarlierDocument) {
    XmlTree tree;
    ASSERT_TRUE(tree.Load(R"(<最新版本><版本信息 版本号="2.0"/></最新版本>)"));
    EXPECT_FALSE(tree.Load("<最新版本>"));
    EXPECT_FALSE(tree.HasDocument());
    EXPECT_EQ(tree.GetAttribute(kPath, "版本号"), "");
}

}  // namespace
