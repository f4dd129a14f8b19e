#include "check/Version.h"

#include "platform/Text.h"

bool IsNewerVersion(std::string_view published, std::string_view installed) {
    return text::CompareTexts(published, installed) > 0;
}

std::string ConvertNoteMarkers(std::string_view notes) {
    static constexpr std::string_view kMarker = "\\r\\";
    std::string out;
    out.reserve(notes.size());
    for (std::size_t i = 0; i < notes.size();) {
        if (notes.substr(i, kMarker.size()) == kMarker) {
            out += "\r\n";
            i += kMarker.size();
            continue;
        }
        const std::size_t n = text::CharLength(notes, i);
        out.append(notes, i, n);
        i += n;
    }
    return out;
}
