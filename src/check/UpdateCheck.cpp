#include "check/UpdateCheck.h"

#include "app/EndProgram.h"
#include "app/Texts.h"
#include "app/UpdateState.h"
#include "check/Version.h"
#include "download/UpdateWindow.h"
#include "platform/Http.h"
#include "platform/Runtime.h"
#include "platform/Settings.h"
#include "platform/Ui.h"

namespace {

using namespace texts;

void AskAndInstall(const std::string& notes) {
    std::string text = kNotesIntro;
    text += "\r\n\r\n";
    text += ConvertNoteMarkers(notes);
    if (ui::ShowMessageBox(text, kNotesTitle, ui::Buttons::OkCancel) != ui::Answer::Cancel)
        OpenUpdateWindow();  // a completed download ends the process in there
}

}  // namespace

void RunUpdateCheck() {
    const std::string settings = RunPath("update.ini");
    const std::string address = ReadSetting(settings, kSettingsSection, kAddressKey);
    const std::string installed = ReadSetting(settings, kSettingsSection, kVersionKey);

    XmlTree& manifest = *updateState.manifest;
    manifest.Load(HttpGetAll(address));
    updateState.downloadAddress = manifest.GetAttribute(kManifestPath, kDownloadAttribute);
    const std::string published = manifest.GetAttribute(kManifestPath, kVersionAttribute);
    if (!IsNewerVersion(published, installed)) EndProgram(0);

    AskAndInstall(manifest.GetAttribute(kManifestPath, kNotesAttribute));
    ui::ShowMessageBox(kDeclineText, kDeclineTitle, ui::Buttons::OkExclamation);
    platform::StartProgram(RunPath("Velmora.exe"));
    EndProgram(0);
}
