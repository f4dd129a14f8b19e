#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <ostream>

#include "platform/zip/Extract.h"
#include "unit/CaseName.h"
#include "unit/ZipWriter.h"

namespace {

namespace fs = std::filesystem;

class Scratch {
public:
    Scratch() : root_(fs::temp_directory_path() / ("extract-test-" + std::to_string(::getpid()) + "-" + std::to_string(next_++))) {
        fs::remove_all(root_);
        fs::create_directories(root_);
    }
    ~Scratch() {
        fs::permissions(root_, fs::perms::all, fs::perm_options::add);
        fs::remove_all(root_);
    }
    fs::path operator/(const std::string& name) const { return root_ / name; }
    const fs::path& Root() const { return root_; }

private:
    static inline int next_ = 0;
    fs::path root_;
};

void Write(const fs::path& p, const std::string& content) {
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << content;
}

std::string Read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Every regular file below `root`, by relative path, with its content.
std::map<std::string, std::string> Tree(const fs::path& root) {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(root))
        if (e.is_regular_file()) files[fs::relative(e.path(), root).string()] = Read(e.path());
    return files;
}

std::string Random(std::size_t n, unsigned seed) {
    std::string s(n, '\0');
    for (auto& c : s) c = static_cast<char>((seed = seed * 1103515245 + 12345) >> 16);
    return s;
}

// A source tree with files at several depths, a dot file, a read-only file,
// text that compresses and bytes that do not.
void MakeSourceTree(const fs::path& src) {
    Write(src / "Velmora.exe", Random(70000, 1) + std::string(50000, 'x'));
    Write(src / "update.ini", "[s]\nk=v\n");
    Write(src / ".hidden", "dot file");
    Write(src / "data/assets.bin", Random(200000, 2));
    Write(src / "data/deep/er/notes.txt", std::string(30000, 'n'));
    Write(src / "data/readonly.txt", "read only");
    fs::permissions(src / "data/readonly.txt", fs::perms::owner_read | fs::perms::group_read);
}

struct ToolCase {
    const char* name;
    const char* command;  // run in the source folder; writes ../package.zip
};
std::ostream& operator<<(std::ostream& os, const ToolCase& c) { return os << c.name; }

constexpr ToolCase kToolCases[] = {
    {"info zip with folder entries", "zip -qr ../package.zip ."},
    {"info zip without folder entries", "zip -qrD ../package.zip ."},
    {"info zip with zip64 records", "zip -qr -fz ../package.zip ."},
    {"info zip streamed with data descriptors", "zip -qr - . > ../package.zip"},
    {"bsdtar", "bsdtar --format zip -cf ../package.zip ."},
    {"python zipfile",
     "python3 -c \"import zipfile,os\nwith zipfile.ZipFile('../package.zip','w',zipfile.ZIP_DEFLATED) as z:\n"
     " [z.write(os.path.join(d,f)) for d,_,fs in os.walk('.') for f in fs]\""},
};

class RealArchives : public testing::TestWithParam<ToolCase> {};
TEST_P(RealArchives, ExtractFileByFileWithTheirTimes) {
    Scratch s;
    MakeSourceTree(s / "src");
    const fs::file_time_type stamp = fs::file_time_type::clock::now() - std::chrono::hours(240);
    for (const auto& e : fs::recursive_directory_iterator(s / "src"))
        if (e.is_regular_file()) fs::last_write_time(e.path(), stamp);
    const std::string command = "cd '" + (s / "src").string() + "' && " + GetParam().command;
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    ASSERT_EQ(ExtractArchive((s / "package.zip").string(), (s / "out/temp").string()), 1);
    EXPECT_TRUE(Tree(s / "src") == Tree(s / "out/temp")) << "the trees differ";
    for (const auto& e : fs::recursive_directory_iterator(s / "out/temp")) {
        if (!e.is_regular_file()) continue;
        const auto diff = e.last_write_time() - stamp;
        EXPECT_LE(std::chrono::abs(std::chrono::duration_cast<std::chrono::seconds>(diff)).count(), 2) << e.path();
        EXPECT_TRUE((fs::status(e.path()).permissions() & fs::perms::owner_write) != fs::perms::none) << e.path();
    }
}
INSTANTIATE_TEST_SUITE_P(Table, RealArchives, testing::ValuesIn(kToolCases), CaseName());

struct BadCase {
    const char* name;
    std::vector<ZipFixtureEntry> entries;
    std::size_t cut = 0;  // drop this many bytes from the end
};
std::ostream& operator<<(std::ostream& os, const BadCase& c) { return os << c.name; }

const BadCase kBadCases[] = {
    {"dotdot escape", {{"../evil.txt", "x"}}},
    {"dotdot with backslashes", {{"a\\..\\..\\evil.txt", "x"}}},
    {"dotdot inside", {{"a/../../evil.txt", "x"}}},
    {"absolute", {{"/tmp/evil.txt", "x"}}},
    {"root backslash", {{"\\evil.txt", "x"}}},
    {"drive prefix", {{"C:/evil.txt", "x"}}},
    {"crc mismatch", {{"a.txt", "hello", true, 0, 0xFFFF, -1, 1}}},
    {"encrypted", {{"a.txt", "hello", false, 1}}},
    {"unsupported method", {{"a.txt", "hello", false, 0, 12}}},
    {"inflates beyond its size", {{"bomb.txt", std::string(100000, 'z'), true, 0, 0xFFFF, 100}}},
    {"truncated", {{"a.txt", std::string(5000, 'q'), true}}, 40},
    {"later entry damaged", {{"good.txt", "fine"}, {"bad.txt", "hello", false, 0, 0xFFFF, -1, 7}}},
};

class BadArchives : public testing::TestWithParam<BadCase> {};
TEST_P(BadArchives, StopWithZeroAndWriteNothingOutside) {
    Scratch s;
    std::string zip = MakeZip(GetParam().entries);
    zip.resize(zip.size() - GetParam().cut);
    Write(s / "package.zip", zip);
    Write(s / "program/keep.txt", "old");
    EXPECT_EQ(ExtractArchive((s / "package.zip").string(), (s / "program/temp").string()), 0);
    EXPECT_FALSE(fs::exists(s / "evil.txt"));
    EXPECT_FALSE(fs::exists(s / "program/evil.txt"));
    EXPECT_FALSE(fs::exists("/tmp/evil.txt"));
    EXPECT_EQ(Read(s / "program/keep.txt"), "old");
}
INSTANTIATE_TEST_SUITE_P(Table, BadArchives, testing::ValuesIn(kBadCases), CaseName());

TEST(Extract, ResultsForMissingInputAndNotAZip) {
    Scratch s;
    EXPECT_EQ(ExtractArchive("", (s / "out").string()), -1);
    EXPECT_EQ(ExtractArchive((s / "none.zip").string(), (s / "out").string()), -1);
    Write(s / "a.zip", "PK\x05\x06 not an archive");
    EXPECT_EQ(ExtractArchive((s / "a.zip").string(), ""), -1);
    EXPECT_EQ(ExtractArchive((s / "a.zip").string(), (s / "out").string()), 0);
    Write(s / "b.zip", "just text");
    EXPECT_EQ(ExtractArchive((s / "b.zip").string(), (s / "out").string()), 0);
}

TEST(Extract, ReplacesReadOnlyFilesAndLaterEntriesOfTheSameName) {
    Scratch s;
    Write(s / "package.zip", MakeZip({{"sub/a.txt", "first"}, {"sub/a.txt", "second", true}, {"b.txt", "new"}}));
    Write(s / "out/b.txt", "old");
    fs::permissions(s / "out/b.txt", fs::perms::owner_read);
    ASSERT_EQ(ExtractArchive((s / "package.zip").string(), (s / "out").string()), 1);
    EXPECT_EQ(Read(s / "out/sub/a.txt"), "second");
    EXPECT_EQ(Read(s / "out/b.txt"), "new");
}

TEST(Extract, FolderEntriesByEitherBitAndUnixModes) {
    Scratch s;
    Write(s / "package.zip",
          MakeZip({{"dos-folder", "", false, 0, 0xFFFF, -1, 0, 0x10},
                   {"unix-folder", "", false, 0, 0xFFFF, -1, 0, 0x41ED0000u, 0x0314},
                   {"tool", "#!/bin/sh\n", false, 0, 0xFFFF, -1, 0, 0x81ED0000u | (04000u << 16), 0x0314},
                   {"link", "target", false, 0, 0xFFFF, -1, 0, 0xA1FF0000u, 0x0314}}));
    ASSERT_EQ(ExtractArchive((s / "package.zip").string(), (s / "out").string()), 1);
    EXPECT_TRUE(fs::is_directory(s / "out/dos-folder"));
    EXPECT_TRUE(fs::is_directory(s / "out/unix-folder"));
    struct stat st {};
    ASSERT_EQ(stat((s / "out/tool").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0755u);  // never set-user
    EXPECT_FALSE(fs::is_symlink(s / "out/link"));
    EXPECT_EQ(Read(s / "out/link"), "target");
}

struct PathCase {
    const char* name;
    const char* entry;
    bool windows;
    const char* path;  // "" when refused
};
std::ostream& operator<<(std::ostream& os, const PathCase& c) { return os << c.name; }

constexpr PathCase kPathCases[] = {
    {"plain", "a/b.txt", false, "D/a/b.txt"},
    {"backslashes", "a\\b.txt", false, "D/a/b.txt"},
    {"dot components", "./a/./b.txt", false, "D/a/b.txt"},
    {"dots inside a name", "a..b.txt", false, "D/a..b.txt"},
    {"dotdot", "a/../b.txt", false, ""},
    {"colon on linux", "ab:c.txt", false, "D/ab:c.txt"},
    {"drive relative", "c:evil.txt", false, ""},
    {"colon on windows", "a:b.txt", true, ""},
    {"gbk trail backslash", "\x9C\x5C/x.txt", true, "D\\\x9C\x5C\\x.txt"},
    {"windows separators", "a/b/c.txt", true, "D\\a\\b\\c.txt"},
};

class EntryPaths : public testing::TestWithParam<PathCase> {};
TEST_P(EntryPaths, StayInsideTheDestination) {
    const PathCase& c = GetParam();
    EXPECT_EQ(EntryPath("D", c.entry, c.windows ? '\\' : '/', c.windows), c.path);
}
INSTANTIATE_TEST_SUITE_P(Table, EntryPaths, testing::ValuesIn(kPathCases), CaseName());

}  // namespace
