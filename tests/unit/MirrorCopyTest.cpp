#include <gtest/gtest.h>

#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include <algorithm>

#include "install/MirrorCopy.h"

namespace {

namespace fs = std::filesystem;

class Trees : public testing::Test {
protected:
    Trees() : root_(fs::temp_directory_path() / ("mirror-test-" + std::to_string(::getpid()))) {
        fs::remove_all(root_);
        Write("src/a.txt", "new a");
        Write("src/.dotfile", "dot file");
        Write("src/sub/deep/c.txt", "new c");
        Write("src/.git/config", "never copied");
        Write("src/readonly.txt", "read only");
        fs::permissions(root_ / "src/readonly.txt", fs::perms::owner_read);
        fs::create_directories(root_ / "src/empty");
        Write("dst/a.txt", "old a");
        Write("dst/only-here.txt", "kept");
    }
    ~Trees() override { fs::remove_all(root_); }

    void Write(const std::string& name, const std::string& content) {
        fs::create_directories((root_ / name).parent_path());
        std::ofstream(root_ / name, std::ios::binary) << content;
    }
    std::string Read(const std::string& name) const {
        std::ifstream in(root_ / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::string Path(const std::string& name) const { return (root_ / name).string(); }
    bool Exists(const std::string& name) const { return fs::exists(root_ / name); }

    fs::path root_;
};

TEST_F(Trees, LaysTheSourceOverTheTargetDepthFirst) {
    MirrorCopyDirectory(0, Path("src"), Path("dst"));
    EXPECT_EQ(Read("dst/a.txt"), "new a");  // overwrite left out: replaced
    EXPECT_EQ(Read("dst/only-here.txt"), "kept");
    EXPECT_EQ(Read("dst/sub/deep/c.txt"), "new c");
    EXPECT_EQ(Read("dst/.dotfile"), "dot file");  // dot-named files are copied
    EXPECT_EQ(Read("dst/readonly.txt"), "read only");
    EXPECT_TRUE(fs::is_directory(root_ / "dst/empty"));
    EXPECT_FALSE(Exists("dst/.git"));  // dot-named folders are not
}

TEST_F(Trees, OverwriteGivenFalseKeepsExistingFilesButAddsMissingOnes) {
    MirrorCopyDirectory(0, Path("src/"), Path("dst/"), MirrorOptions{.overwrite = false});
    EXPECT_EQ(Read("dst/a.txt"), "old a");
    EXPECT_EQ(Read("dst/sub/deep/c.txt"), "new c");
}

TEST_F(Trees, BackupKeepsTheFileAboutToBeReplaced) {
    MirrorCopyDirectory(0, Path("src"), Path("dst"), MirrorOptions{.backup = true, .backupExtension = ".old"});
    EXPECT_EQ(Read("dst/a.txt"), "new a");
    EXPECT_EQ(Read("dst/a.old"), "old a");
}

TEST_F(Trees, AMissingSourceLeavesOnlyTheNewTarget) {
    MirrorCopyDirectory(0, Path("nothing"), Path("fresh/target"));
    EXPECT_TRUE(fs::is_directory(root_ / "fresh/target"));
    EXPECT_TRUE(fs::is_empty(root_ / "fresh/target"));
}

// The sound is the terminal's bell on Linux: count the bells a copy rings on
// a terminal of its own.
int BellsRung(const std::string& source, const std::string& target, const MirrorOptions& options) {
    int fd = -1;
    const pid_t pid = forkpty(&fd, nullptr, nullptr, nullptr);
    if (pid == 0) {
        MirrorCopyDirectory(0, source, target, options);
        _exit(0);
    }
    std::string output;
    char buffer[256];
    for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;) output.append(buffer, static_cast<std::size_t>(n));
    int status = 0;
    waitpid(pid, &status, 0);
    close(fd);
    return static_cast<int>(std::count(output.begin(), output.end(), '\a'));
}

TEST_F(Trees, ExactlyOneSoundAfterTheWholeTreeWhenAskedFor) {
    EXPECT_EQ(BellsRung(Path("src"), Path("one"), MirrorOptions{.beepWhenDone = true}), 1);
    EXPECT_EQ(Read("one/sub/deep/c.txt"), "new c");
    EXPECT_EQ(BellsRung(Path("src"), Path("none"), MirrorOptions{}), 0);
}

TEST(NameBeforeFirstDotTest, TakesTheStem) {
    EXPECT_EQ(NameBeforeFirstDot("a.tar.gz"), "a");
    EXPECT_EQ(NameBeforeFirstDot("README"), "");
    EXPECT_EQ(NameBeforeFirstDot(".profile"), "");
}

TEST_F(Trees, DeleteFolderTreeKeepsDotNamesAndNeverFollowsLinks) {
    Write("outside/keep.txt", "outside");
    fs::create_symlink(root_ / "outside", root_ / "src/sub/link");
    fs::permissions(root_ / "src/sub/deep/c.txt", fs::perms::owner_read);
    EXPECT_FALSE(DeleteFolderTree(Path("src")));  // ".dotfile" and ".git" stay, so "src" does
    EXPECT_TRUE(Exists("src/.dotfile"));
    EXPECT_TRUE(Exists("src/.git/config"));
    EXPECT_FALSE(Exists("src/a.txt"));
    EXPECT_FALSE(Exists("src/sub"));
    EXPECT_EQ(Read("outside/keep.txt"), "outside");
    fs::remove_all(root_ / "src/.git");
    fs::remove(root_ / "src/.dotfile");
    EXPECT_TRUE(DeleteFolderTree("  " + Path("src")));  // leading spaces skipped
    EXPECT_FALSE(Exists("src"));
}

TEST(DeleteFolderTreeTest, RefusesRoots) {
    for (const char* path : {"", "   ", "/", "C:", "C:\\"}) EXPECT_FALSE(DeleteFolderTree(path)) << path;
}

}  // namespace
