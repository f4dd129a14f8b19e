#include "platform/Text.h"
#include "platform/zip/Extract.h"

std::string EntryPath(const std::string& destination, const std::string& name, char separator, bool windows) {
    if (name.empty() || name[0] == '/' || name[0] == '\\') return {};
    if (name.size() >= 2 && name[1] == ':') return {};  // a drive prefix
    std::string path = text::WithTrailingChar(destination, separator);
    bool separated = true;  // kept, not read off the last byte: a GBK character can end in 0x5C
    std::string part;
    auto flush = [&]() {
        if (part == "..") return false;
        if (!part.empty() && part != ".") {
            if (!separated) path += separator;
            path += part;
            separated = false;
        }
        part.clear();
        return true;
    };
    for (std::size_t i = 0; i < name.size();) {
        const std::size_t n = text::CharLength(name, i);  // a GBK character can end in 0x5C
        if (n == 1 && (name[i] == '/' || name[i] == '\\')) {
            if (!flush()) return {};
        } else {
            if (n == 1 && windows && name[i] == ':') return {};  // drive-relative paths, alternate streams
            part.append(name, i, n);
        }
        i += n;
    }
    if (!flush()) return {};
    return path;
}
