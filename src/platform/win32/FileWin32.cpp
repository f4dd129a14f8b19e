#include <windows.h>

#include <string>

#include "platform/File.h"

std::optional<std::int64_t> OpenableFileSize(const std::string& path) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return std::nullopt;
    LARGE_INTEGER size{};
    const bool ok = GetFileSizeEx(h, &size);
    CloseHandle(h);
    return ok ? std::optional<std::int64_t>(size.QuadPart) : std::nullopt;
}

bool OutputFile::Create(const std::string& path, std::int64_t size) {
    Close();
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER end;
    end.QuadPart = size;
    if (!SetFilePointerEx(h, end, nullptr, FILE_BEGIN) || !SetEndOfFile(h)) {
        CloseHandle(h);
        return false;
    }
    handle_ = reinterpret_cast<std::intptr_t>(h);
    return true;
}

bool OutputFile::WriteAt(std::int64_t offset, const char* data, std::size_t n) {
    while (n > 0) {
        // An offset in the OVERLAPPED record: each write names its own place,
        // so connections on several threads never share a file pointer.
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        DWORD written = 0;
        if (!WriteFile(reinterpret_cast<HANDLE>(handle_), data, static_cast<DWORD>(n), &written, &at) || written == 0)
            return false;
        data += written;
        n -= written;
        offset += written;
    }
    return true;
}

bool OutputFile::Close() {
    if (handle_ == kNone) return false;
    const bool ok = CloseHandle(reinterpret_cast<HANDLE>(handle_)) != 0;
    handle_ = kNone;
    return ok;
}

InputFile::~InputFile() {
    if (handle_ != -1) CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

bool InputFile::Open(const std::string& path) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    LARGE_INTEGER size{};
    if (h == INVALID_HANDLE_VALUE || !GetFileSizeEx(h, &size)) {
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
        return false;
    }
    handle_ = reinterpret_cast<std::intptr_t>(h);
    size_ = static_cast<std::uint64_t>(size.QuadPart);
    return true;
}

bool InputFile::ReadAt(std::uint64_t offset, void* out, std::size_t n) {
    auto* p = static_cast<char*>(out);
    while (n > 0) {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        DWORD got = 0;
        if (!ReadFile(reinterpret_cast<HANDLE>(handle_), p, static_cast<DWORD>(n), &got, &at) || got == 0) return false;
        p += got;
        n -= got;
        offset += got;
    }
    return true;
}

bool RemoveTree(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return GetLastError() == ERROR_FILE_NOT_FOUND ||
                                                      GetLastError() == ERROR_PATH_NOT_FOUND;
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return DeleteFileA(path.c_str()) != 0;
    // A junction or a symbolic link to a folder: remove the link, not what it points to.
    if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                const std::string name = found.cFileName;
                if (name != "." && name != "..") RemoveTree(path + "\\" + name);
            } while (FindNextFileA(search, &found));
            FindClose(search);
        }
    }
    return RemoveDirectoryA(path.c_str()) != 0;
}
