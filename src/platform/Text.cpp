#include "platform/Text.h"

namespace text {

std::size_t FindLastChar(std::string_view s, char c) {
    std::size_t found = std::string_view::npos;
    for (std::size_t i = 0; i < s.size(); i += CharLength(s, i))
        if (s[i] == c) found = i;
    return found;
}

std::string WithTrailingChar(std::string s, char c) {
    if (s.empty() || FindLastChar(s, c) != s.size() - 1) s += c;
    return s;
}

int CompareTexts(std::string_view a, std::string_view b) {
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        const auto x = static_cast<unsigned char>(a[i]);
        const auto y = static_cast<unsigned char>(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

}  // namespace text
