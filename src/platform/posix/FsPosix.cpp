#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "platform/Fs.h"
#include "platform/posix/Terminal.h"

namespace fs {

bool Exists(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0;
}

bool CreateFolder(const std::string& path) { return mkdir(path.c_str(), 0755) == 0; }

bool CreateFolderTree(const std::string& path, std::intptr_t) {
    if (path.empty()) return false;
    struct stat existing {};
    if (stat(path.c_str(), &existing) == 0) return S_ISDIR(existing.st_mode);  // the usual case in a copy
    // Each prefix that ends at a separator, then the whole path.
    for (std::size_t at = path.find('/', 1); at != std::string::npos; at = path.find('/', at + 1))
        mkdir(path.substr(0, at).c_str(), 0755);
    mkdir(path.c_str(), 0755);
    return stat(path.c_str(), &existing) == 0 && S_ISDIR(existing.st_mode);
}

bool CopyOneFile(const std::string& from, const std::string& to, bool failIfExists) {
    const int in = open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return false;
    struct stat st {};
    if (fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(in);
        return false;
    }
    // A busy program file (ETXTBSY) or a read-only one fails here and is skipped.
    const int out = open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | (failIfExists ? O_EXCL : 0),
                         st.st_mode & 0777);
    if (out < 0) {
        close(in);
        return false;
    }
    // In the kernel where it can (no round trip through this process), by
    // reading and writing where it cannot (another file system, an old kernel).
    bool ok = true;
    off_t left = st.st_size;
    while (left > 0) {
        const ssize_t n = copy_file_range(in, nullptr, out, nullptr, static_cast<std::size_t>(left), 0);
        if (n <= 0) break;
        left -= n;
    }
    std::vector<char> buffer(256 * 1024);
    while (left > 0) {
        const ssize_t n = read(in, buffer.data(), buffer.size());
        if (n == 0) break;
        if (n < 0 || write(out, buffer.data(), static_cast<std::size_t>(n)) != n) {
            ok = false;
            break;
        }
        left -= n;
    }
    // The source's permission bits, set only where they differ: a change of
    // mode is an inode update that a plain overwrite does not need.
    struct stat written {};
    if (fstat(out, &written) != 0 || (written.st_mode & 0777) != (st.st_mode & 0777)) fchmod(out, st.st_mode & 0777);
    ok = close(out) == 0 && ok;
    close(in);
    return ok;
}

bool DeleteOneFile(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode) && unlink(path.c_str()) == 0;
}

bool RemoveFolder(const std::string& path) {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) return false;
    return S_ISLNK(st.st_mode) ? unlink(path.c_str()) == 0 : rmdir(path.c_str()) == 0;
}

void SetNormalAttributes(const std::string& path) {
    struct stat st {};
    if (lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && !(st.st_mode & 0200))
        chmod(path.c_str(), (st.st_mode & 0777) | 0200);
}

void SetMode(const std::string& path, std::uint32_t mode) { chmod(path.c_str(), mode & 0777); }

void SetTimes(const std::string& path, std::optional<std::int64_t>, std::optional<std::int64_t> accessed,
              std::optional<std::int64_t> modified) {
    timespec times[2];
    times[0] = accessed ? timespec{static_cast<time_t>(*accessed), 0} : timespec{0, UTIME_OMIT};
    times[1] = modified ? timespec{static_cast<time_t>(*modified), 0} : timespec{0, UTIME_OMIT};
    utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW);
}

bool NameFromUtf8(const std::string& utf8, std::string& out) {
    out = utf8;  // Linux names are bytes
    return true;
}

bool IsLink(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

std::string DirectorySearch::Start(const std::string& folder, Filter filter) {
    Close();
    folder_ = folder;
    filter_ = filter;
    state_ = opendir(folder.c_str());
    return Advance(true);
}

std::string DirectorySearch::Next() { return Advance(false); }

std::string DirectorySearch::Advance(bool) {
    DIR* dir = static_cast<DIR*>(state_);
    while (dir) {
        const dirent* e = readdir(dir);
        if (!e) break;
        struct stat st {};
        const std::string name = e->d_name;
        // A link is listed as what it is, never as the folder it points to.
        // The entry's type comes with it on most file systems; others are asked.
        const bool isFolder = e->d_type != DT_UNKNOWN
                                  ? e->d_type == DT_DIR
                                  : fstatat(dirfd(dir), e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode);
        if (isFolder == (filter_ == Filter::DirectoriesOnly)) return name;
    }
    Close();
    return {};
}

void DirectorySearch::Close() {
    if (state_) closedir(static_cast<DIR*>(state_));
    state_ = nullptr;
}

bool PlaySystemBeep(std::uint32_t) {
    if (!terminal::Open()) return false;
    terminal::Write("\a");
    return true;
}

void HandleQueuedMessages() {}

}  // namespace fs
