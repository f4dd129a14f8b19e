#include <windows.h>

#include <memory>
#include <vector>

#include "platform/Fs.h"
#include "platform/win32/NamedFunctions.h"

namespace fs {
namespace {

FILETIME FromUnix(std::int64_t seconds) {
    const std::uint64_t ticks = static_cast<std::uint64_t>(seconds + 11644473600LL) * 10000000ULL;
    return FILETIME{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

struct Search {
    HANDLE handle = INVALID_HANDLE_VALUE;
    WIN32_FIND_DATAA found{};
    bool pending = false;  // `found` holds an entry not yet looked at
};

}  // namespace

bool Exists(const std::string& path) { return win32::GetFileAttributesA_(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool CreateFolder(const std::string& path) { return CreateDirectoryA(path.c_str(), nullptr) != 0; }

bool CreateFolderTree(const std::string& path, std::intptr_t owner) {
    const int r = win32::SHCreateDirectoryExA_(reinterpret_cast<HWND>(owner), path.c_str(), nullptr);
    return r == ERROR_SUCCESS || r == ERROR_ALREADY_EXISTS || r == ERROR_FILE_EXISTS;
}

bool CopyOneFile(const std::string& from, const std::string& to, bool failIfExists) {
    return win32::CopyFileA_(from.c_str(), to.c_str(), failIfExists) != 0;
}

bool DeleteOneFile(const std::string& path) { return DeleteFileA(path.c_str()) != 0; }

bool RemoveFolder(const std::string& path) { return RemoveDirectoryA(path.c_str()) != 0; }

void SetNormalAttributes(const std::string& path) { SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL); }

void SetMode(const std::string&, std::uint32_t) {}

void SetTimes(const std::string& path, std::optional<std::int64_t> created, std::optional<std::int64_t> accessed,
              std::optional<std::int64_t> modified) {
    HANDLE h = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return;
    FILETIME c = created ? FromUnix(*created) : FILETIME{}, a = accessed ? FromUnix(*accessed) : FILETIME{},
             m = modified ? FromUnix(*modified) : FILETIME{};
    SetFileTime(h, created ? &c : nullptr, accessed ? &a : nullptr, modified ? &m : nullptr);
    CloseHandle(h);
}

bool NameFromUtf8(const std::string& utf8, std::string& out) {
    const int wide = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    if (wide <= 0) return utf8.empty() ? (out.clear(), true) : false;
    std::vector<wchar_t> w(static_cast<std::size_t>(wide));
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), w.data(), wide);
    BOOL lossy = FALSE;
    const int bytes = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, w.data(), wide, nullptr, 0, nullptr, &lossy);
    if (bytes <= 0 || lossy) return false;  // a character without a form in the code page
    out.assign(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, w.data(), wide, out.data(), bytes, nullptr, &lossy);
    return !lossy;
}

bool IsLink(const std::string& path) {
    const DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_REPARSE_POINT);
}

std::string DirectorySearch::Start(const std::string& folder, Filter filter) {
    Close();
    folder_ = folder;
    filter_ = filter;
    auto search = std::make_unique<Search>();
    search->handle = FindFirstFileA((folder + "*.*").c_str(), &search->found);
    if (search->handle == INVALID_HANDLE_VALUE) return {};
    search->pending = true;
    state_ = search.release();
    return Advance(true);
}

std::string DirectorySearch::Next() { return Advance(false); }

std::string DirectorySearch::Advance(bool) {
    auto* search = static_cast<Search*>(state_);
    while (search) {
        if (!search->pending && !FindNextFileA(search->handle, &search->found)) break;
        search->pending = false;
        const bool isFolder = search->found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
        if (isFolder == (filter_ == Filter::DirectoriesOnly)) return search->found.cFileName;
    }
    Close();
    return {};
}

void DirectorySearch::Close() {
    if (auto* search = static_cast<Search*>(state_)) {
        FindClose(search->handle);
        delete search;
    }
    state_ = nullptr;
}

bool PlaySystemBeep(std::uint32_t type) { return win32::MessageBeep_(type) != 0; }

void HandleQueuedMessages() {
    MSG msg;
    // One by one, until the queue is empty or the next one is the quit message,
    // which stays queued.
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE) && msg.message != WM_QUIT) {
        PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

}  // namespace fs
