// Files for the download: the package written at offsets, and the removal of
// what an earlier run left behind.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// The size of the file at `path` when it can be opened for reading; nullopt
// when nothing that can be opened is there.
std::optional<std::int64_t> OpenableFileSize(const std::string& path);

// A file created new at its full size, written at offsets from any thread
// (each write names its own offset), closed once. Both systems give the same
// behaviour: an existing file is replaced; a failed write or close is reported.
class OutputFile {
public:
    OutputFile() = default;
    ~OutputFile() { Close(); }
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    bool Create(const std::string& path, std::int64_t size);
    bool WriteAt(std::int64_t offset, const char* data, std::size_t n);
    bool Close();  // true when the file was open and closed cleanly
    bool IsOpen() const { return handle_ != kNone; }

private:
    static constexpr std::intptr_t kNone = -1;
    std::intptr_t handle_ = kNone;
};

// A file read at offsets.
class InputFile {
public:
    InputFile() = default;
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    bool Open(const std::string& path);
    std::uint64_t Size() const { return size_; }
    bool ReadAt(std::uint64_t offset, void* out, std::size_t n);

private:
    std::intptr_t handle_ = -1;
    std::uint64_t size_ = 0;
};

// Removes a file, or a folder with everything in it: read-only entries and
// entries whose names begin with a dot too. A symbolic link or junction is
// removed itself, never followed. True when nothing is left at `path`.
bool RemoveTree(const std::string& path);
