// File-system services of the installation. Where Windows and Linux differ,
// the comment says which behaviour the program gets.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// Names that <windows.h> does not turn into macros (CopyFile, DeleteFile).
namespace fs {

// Something (file or folder) is at `path`.
bool Exists(const std::string& path);

// One folder; its parent must exist. False when it exists already.
bool CreateFolder(const std::string& path);

// The folder and every missing parent; an existing folder is no failure.
// `owner` is a window the system may use for its messages (0: none).
bool CreateFolderTree(const std::string& path, std::intptr_t owner = 0);

// Copies a file. With `failIfExists` an existing `to` stays unchanged. On
// Linux the copy keeps the source's permission bits (an updated program still
// starts), and a running program's file (busy) is skipped, as Windows does.
bool CopyOneFile(const std::string& from, const std::string& to, bool failIfExists);

bool DeleteOneFile(const std::string& path);
bool RemoveFolder(const std::string& path);  // an empty folder, or a link to one

// Makes whatever file is at `path` replaceable (Windows: normal attributes;
// Linux: writable by its owner).
void SetNormalAttributes(const std::string& path);

// Permission bits of an extracted file (Linux only; Windows has none).
void SetMode(const std::string& path, std::uint32_t mode);

// Times in Unix seconds; a missing one is left as it is. Linux has no
// creation time.
void SetTimes(const std::string& path, std::optional<std::int64_t> created, std::optional<std::int64_t> accessed,
              std::optional<std::int64_t> modified);

// A UTF-8 name in the program's code page: Windows converts it when every
// character has a GBK form (false otherwise); Linux keeps the bytes.
bool NameFromUtf8(const std::string& utf8, std::string& out);

// Whether the entry at `path` is a symbolic link or junction (never followed).
bool IsLink(const std::string& path);

// Lists one folder: bare names in the order the file system gives them.
// FilesOnly: every entry without the directory attribute; DirectoriesOnly:
// every entry with it, "." and ".." included. Links to folders count as files
// on Linux, so no walk ever follows one.
class DirectorySearch {
public:
    enum class Filter { FilesOnly, DirectoriesOnly };
    DirectorySearch() = default;
    ~DirectorySearch() { Close(); }
    DirectorySearch(const DirectorySearch&) = delete;
    DirectorySearch& operator=(const DirectorySearch&) = delete;

    // Starts a search of `folder` (closing one still open); the first name, or empty.
    std::string Start(const std::string& folder, Filter filter);
    std::string Next();  // empty at the end, which also closes the search
    void Close();

private:
    std::string Advance(bool first);  // the next matching name, or empty (and closed)
    void* state_ = nullptr;           // the system's search, owned here
    std::string folder_;
    Filter filter_ = Filter::FilesOnly;
};

// The system sound of `type` (0x40: information). Linux rings the terminal bell.
bool PlaySystemBeep(std::uint32_t type);

// Handles the window messages already queued for the calling thread (Linux: nothing).
void HandleQueuedMessages();

}  // namespace fs
