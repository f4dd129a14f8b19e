#pragma once

#include <string>
#include <string_view>

// True when `published` is greater than `installed` in a plain byte-wise
// comparison: versions are texts, so "1.10" is older than "1.9".
bool IsNewerVersion(std::string_view published, std::string_view installed);

// The release notes with every marker "\r\" (backslash, r, backslash) turned
// into CR LF. A marker never starts on the trail byte of a GBK character.
std::string ConvertNoteMarkers(std::string_view notes);
