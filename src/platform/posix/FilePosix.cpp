#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/File.h"

std::optional<std::int64_t> OpenableFileSize(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    struct stat st {};
    // A folder cannot be opened as a file on Windows; the same here.
    const bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    close(fd);
    return ok ? std::optional<std::int64_t>(st.st_size) : std::nullopt;
}

bool OutputFile::Create(const std::string& path, std::int64_t size) {
    Close();
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    if (size > 0 && ftruncate(fd, size) != 0) {
        close(fd);
        return false;
    }
    handle_ = fd;
    return true;
}

bool OutputFile::WriteAt(std::int64_t offset, const char* data, std::size_t n) {
    while (n > 0) {
        const ssize_t w = pwrite(static_cast<int>(handle_), data, n, offset);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) return false;
        data += w;
        n -= static_cast<std::size_t>(w);
        offset += w;
    }
    return true;
}

bool OutputFile::Close() {
    if (handle_ == kNone) return false;
    const bool ok = close(static_cast<int>(handle_)) == 0;
    handle_ = kNone;
    return ok;
}

InputFile::~InputFile() {
    if (handle_ >= 0) close(static_cast<int>(handle_));
}

bool InputFile::Open(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st {};
    if (fd < 0 || fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        if (fd >= 0) close(fd);
        return false;
    }
    handle_ = fd;
    size_ = static_cast<std::uint64_t>(st.st_size);
    return true;
}

bool InputFile::ReadAt(std::uint64_t offset, void* out, std::size_t n) {
    auto* p = static_cast<char*>(out);
    while (n > 0) {
        const ssize_t r = pread(static_cast<int>(handle_), p, n, static_cast<off_t>(offset));
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) return false;
        p += r;
        n -= static_cast<std::size_t>(r);
        offset += static_cast<std::uint64_t>(r);
    }
    return true;
}

namespace {

// Empties the folder open as `dirFd` (which it closes). The *at calls work
// relative to that folder, so no path is ever followed through a link.
bool EmptyFolder(int dirFd) {
    DIR* dir = fdopendir(dirFd);
    if (!dir) {
        close(dirFd);
        return false;
    }
    bool ok = true;
    while (dirent* e = readdir(dir)) {
        const std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        struct stat st {};
        if (fstatat(dirFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            ok = false;
            continue;
        }
        if (S_ISDIR(st.st_mode)) {
            const int child = openat(dirFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (child < 0 || !EmptyFolder(child) || unlinkat(dirFd, name.c_str(), AT_REMOVEDIR) != 0) ok = false;
        } else if (unlinkat(dirFd, name.c_str(), 0) != 0) {
            ok = false;
        }
    }
    closedir(dir);
    return ok;
}

}  // namespace

bool RemoveTree(const std::string& path) {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) return errno == ENOENT;
    if (!S_ISDIR(st.st_mode)) return unlink(path.c_str()) == 0;
    const int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return false;
    EmptyFolder(fd);
    return rmdir(path.c_str()) == 0;
}
