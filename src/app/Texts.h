// The program's own texts, in GBK. They live in one file compiled with
// -fexec-charset=GBK, which includes nothing else (some standard headers hold
// characters that GBK cannot encode).
#pragma once

namespace texts {

extern const char kSettingsSection[];  // the section of update.ini
extern const char kAddressKey[];
extern const char kVersionKey[];
extern const char kManifestPath[];
extern const char kVersionAttribute[];
extern const char kDownloadAttribute[];
extern const char kNotesAttribute[];

extern const char kNotesIntro[];
extern const char kNotesTitle[];
extern const char kDeclineText[];
extern const char kDeclineTitle[];

extern const char kUpdateWindowCaption[];
extern const char kProgressBarName[];
extern const char kSpeedBefore[];
extern const char kSpeedAfter[];

extern const char kFatalTitle[];
extern const char kFatalText[];

}  // namespace texts
