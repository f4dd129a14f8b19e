#include "install/MirrorCopy.h"

#include "platform/Fs.h"
#include "platform/Runtime.h"
#include "platform/Text.h"

#include <vector>

namespace {

// The separator is appended unless the path already ends in one; the test
// steps over double-byte characters, so a folder whose name ends in a 0x5C
// trail byte (淺 is 9C 5C) still gets its separator.
std::string WithSeparator(const std::string& path) { return text::WithTrailingChar(path, platform::kPathSeparator); }

// The backup preserves what is about to be lost: the existing target file.
void Backup(const std::string& targetDir, const std::string& name, const std::string& extension) {
    fs::CopyOneFile(targetDir + name, targetDir + NameBeforeFirstDot(name) + extension, false);
}

}  // namespace

std::string NameBeforeFirstDot(const std::string& name) {
    const std::size_t dot = name.find('.');  // "." is never a trail byte
    return dot == std::string::npos ? std::string() : name.substr(0, dot);
}

void MirrorCopyDirectory(std::intptr_t ownerWindow, const std::string& sourceDir, const std::string& targetDir,
                         const MirrorOptions& options) {
    fs::HandleQueuedMessages();
    fs::CreateFolderTree(targetDir, ownerWindow);  // in the form the caller passed it
    const bool overwrite = options.overwrite.value_or(true);
    const bool backup = options.backup.value_or(false);
    const std::string extension = options.backupExtension.value_or(".bak");
    const std::string source = WithSeparator(sourceDir);
    const std::string target = WithSeparator(targetDir);

    fs::DirectorySearch search;
    for (std::string name = search.Start(source, fs::DirectorySearch::Filter::FilesOnly); !name.empty();
         name = search.Next()) {
        const bool exists = fs::Exists(target + name);
        if (exists && overwrite && backup) Backup(target, name, extension);
        fs::CopyOneFile(source + name, target + name, exists && !overwrite);
    }
    for (std::string name = search.Start(source, fs::DirectorySearch::Filter::DirectoriesOnly); !name.empty();
         name = search.Next()) {
        if (name[0] == '.') continue;  // ".", "..", and every folder whose name begins with a dot
        fs::CreateFolderTree(target + name, ownerWindow);
        MirrorCopyDirectory(ownerWindow, source + name, target + name,
                            MirrorOptions{overwrite, backup, extension, std::nullopt, std::nullopt});
    }
    if (options.beepWhenDone.value_or(false)) fs::PlaySystemBeep(options.beepSound.value_or(0x40));
}

bool DeleteFolderTree(const std::string& given) {
    std::string path = given;
    path.erase(0, path.find_first_not_of(' '));
    if (path.empty() || path == "/") return false;
    if (path.size() >= 2 && path[1] == ':' && (path.size() == 2 || (path.size() == 3 && path[2] == '\\')))
        return false;  // a drive root
    if (fs::IsLink(path)) return fs::RemoveFolder(path) || fs::DeleteOneFile(path);
    const std::string folder = WithSeparator(path);
    // Everything is listed before anything is deleted.
    struct Entry {
        std::string name;
        bool isFolder;
    };
    std::vector<Entry> entries;
    fs::DirectorySearch search;
    for (auto filter : {fs::DirectorySearch::Filter::FilesOnly, fs::DirectorySearch::Filter::DirectoriesOnly})
        for (std::string name = search.Start(folder, filter); !name.empty(); name = search.Next())
            if (name[0] != '.') entries.push_back({name, filter == fs::DirectorySearch::Filter::DirectoriesOnly});
    for (const Entry& e : entries) {
        if (e.isFolder && !fs::IsLink(folder + e.name)) DeleteFolderTree(folder + e.name);
        else if (e.isFolder) fs::RemoveFolder(folder + e.name);
        else fs::DeleteOneFile(folder + e.name);
    }
    return fs::RemoveFolder(path);
}
