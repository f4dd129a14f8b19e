#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The options of a mirror copy. A left-out option (nullopt) takes its
// default; a false, zero or empty value that the caller gave is used.
struct MirrorOptions {
    std::optional<bool> overwrite;                // default true
    std::optional<bool> backup;                   // default false
    std::optional<std::string> backupExtension;  // default ".bak"
    std::optional<bool> beepWhenDone;             // left out counts as false
    std::optional<std::uint32_t> beepSound;       // default 0x40, the information sound
};

// Lays the tree `sourceDir` over `targetDir`, depth first: every file of a
// folder, then each subfolder whose name does not begin with a dot.
void MirrorCopyDirectory(std::intptr_t ownerWindow, const std::string& sourceDir, const std::string& targetDir,
                         const MirrorOptions& options = {});

// The part of a file name before its first dot (empty when there is none or
// the name begins with one); the dot is never taken inside a GBK character.
std::string NameBeforeFirstDot(const std::string& name);

// Deletes the folder and everything in it but what begins with a dot; no
// attribute is cleared. An empty path or a drive root (and "/" on Linux) is
// refused. Links are removed, never entered. True when the folder went.
bool DeleteFolderTree(const std::string& path);
