#include "platform/ini/IniReader.h"

#include "platform/Text.h"

namespace ini {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

char FoldAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Case-insensitive for ASCII letters only; the two bytes of a double-byte
// character must match exactly (a trail byte may look like a letter).
bool NamesEqual(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size();) {
        const std::size_t n = text::CharLength(a, i);
        if (n == 2) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
        } else if (FoldAscii(a[i]) != FoldAscii(b[i])) {
            return false;
        }
        i += n;
    }
    return true;
}

// Splits `data` into lines at CR, LF or CR LF.
class LineReader {
public:
    explicit LineReader(std::string_view data) : rest_(data) {}
    bool Next(std::string_view& line) {
        if (done_) return false;
        const std::size_t end = rest_.find_first_of("\r\n");
        if (end == std::string_view::npos) {
            line = rest_;
            done_ = true;
            return true;
        }
        line = rest_.substr(0, end);
        const std::size_t skip = rest_[end] == '\r' && end + 1 < rest_.size() && rest_[end + 1] == '\n' ? 2 : 1;
        rest_.remove_prefix(end + skip);
        return true;
    }

private:
    std::string_view rest_;
    bool done_ = false;
};

// A section header is "[" up to the last "]" of the line, taken as a character.
std::optional<std::string_view> SectionName(std::string_view line) {
    if (line.empty() || line.front() != '[') return std::nullopt;
    const std::size_t close = text::FindLastChar(line, ']');
    if (close == std::string_view::npos) return std::nullopt;
    return line.substr(1, close - 1);
}

}  // namespace

std::optional<std::string> FindValue(std::string_view data, std::string_view section,
                                     std::string_view key) {
    LineReader lines(data);
    std::string_view line;
    bool inSection = section.empty();  // keys before any header form a nameless section
    bool sectionSeen = inSection;
    while (lines.Next(line)) {
        line = Trim(line);
        if (line.empty()) continue;
        if (const auto name = SectionName(line)) {
            if (inSection) return std::nullopt;  // the first section of that name ended
            if (!sectionSeen && NamesEqual(*name, section)) inSection = sectionSeen = true;
            continue;
        }
        if (!inSection) continue;
        const std::size_t eq = line.find('=');
        const std::string_view name = eq == std::string_view::npos ? line : Trim(line.substr(0, eq));
        if (!NamesEqual(name, key)) continue;
        return std::string(eq == std::string_view::npos ? std::string_view() : Trim(line.substr(eq + 1)));
    }
    return std::nullopt;
}

std::string ReadValue(std::string_view data, std::string_view section, std::string_view key) {
    const auto found = FindValue(data, section, key);
    if (!found) return {};
    std::string_view value = *found;
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return std::string(value.substr(0, kValueBufferSize - 1));
}

}  // namespace ini
