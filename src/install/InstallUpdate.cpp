#include "install/InstallUpdate.h"

#include "app/EndProgram.h"
#include "app/UpdateState.h"
#include "download/DownloadFlow.h"
#include "download/UpdateWindow.h"
#include "install/MirrorCopy.h"
#include "platform/Fs.h"
#include "platform/Runtime.h"
#include "platform/zip/Extract.h"

void InstallUpdate(bool packageComplete) {
    const PackageInfo& package = Package();
    // The file the download task wrote, which is "temp.zip" unless that could not be removed.
    const std::string archive = package.path.empty() ? RunPath("temp.zip") : package.path;
    const std::string folder = RunPath("temp");
    fs::CreateFolder(folder);
    const int extracted = ExtractArchive(archive, folder);
    const std::intptr_t owner = ui::NativeHandle(OpenUpdateWindowHandle());
    // The program directory is laid over only with a whole package, wholly
    // extracted into a folder that held nothing of an earlier run; otherwise
    // the old version stays intact and the next start offers the update again.
    if (packageComplete && extracted == 1 && !package.leftoversRemain)
        MirrorCopyDirectory(owner, folder, platform::RunDirectory() + platform::kPathSeparator);
    DeleteFolderTree(folder);
    fs::DeleteOneFile(archive);
    platform::StartProgram(RunPath("Velmora.exe"));
    EndProgram(0);
}
