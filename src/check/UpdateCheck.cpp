// This file holds program texts: it is compiled with -fexec-charset=GBK.
#include "check/UpdateCheck.h"

#include "app/EndProgram.h"
#include "app/UpdateState.h"
#include "check/Version.h"
#include "download/UpdateWindow.h"
#include "platform/Http.h"
#include "platform/Runtime.h"
#include "platform/Settings.h"
#include "platform/Ui.h"

namespace {

constexpr const char* kSection = "更新";
constexpr const char* kManifestPath = "最新版本/版本信息";

void AskAndInstall(const std::string& notes) {
    std::string text = "发现有新的版本可以更新，本次更新了如下内容：";
    text += "\r\n\r\n";
    text += ConvertNoteMarkers(notes);
    if (ui::ShowMessageBox(text, "更新信息:", ui::Buttons::OkCancel) != ui::Answer::Cancel)
        OpenUpdateWindow();  // a completed download ends the process in there
}

}  // namespace

void RunUpdateCheck() {
    const std::string settings = RunPath("update.ini");
    const std::string address = ReadSetting(settings, kSection, "地址");
    const std::string installed = ReadSetting(settings, kSection, "版本号");

    XmlTree& manifest = *updateState.manifest;
    manifest.Load(HttpGetAll(address));
    updateState.downloadAddress = manifest.GetAttribute(kManifestPath, "下载地址");
    const std::string published = manifest.GetAttribute(kManifestPath, "版本号");
    if (!IsNewerVersion(published, installed)) EndProgram(0);

    AskAndInstall(manifest.GetAttribute(kManifestPath, "升级说明"));
    ui::ShowMessageBox("你已选择不更新将继续使用旧版！", "更新提示:", ui::Buttons::OkExclamation);
    platform::StartProgram(RunPath("Velmora.exe"));
    EndProgram(0);
}
