#include "platform/downloader/SaveName.h"

#include "platform/Text.h"

namespace {

constexpr int kMaxNumber = 99;

// The number n of a stem that ends in "(n)", 1 <= n <= 99; 0 otherwise.
int BracketedNumber(const std::string& stem, std::size_t& open) {
    if (stem.size() < 3 || stem.back() != ')') return 0;
    open = stem.rfind('(');
    if (open == std::string::npos || open + 2 > stem.size() - 1) return 0;
    int n = 0;
    for (std::size_t i = open + 1; i + 1 < stem.size(); ++i) {
        if (stem[i] < '0' || stem[i] > '9' || n > kMaxNumber) return 0;
        n = n * 10 + (stem[i] - '0');
    }
    return n <= kMaxNumber ? n : 0;
}

}  // namespace

std::optional<std::string> DerivedSavePath(const std::string& path, char separator,
                                           const std::function<bool(const std::string&)>& exists) {
    const std::size_t cut = text::FindLastChar(path, separator);
    const std::size_t nameStart = cut == std::string::npos ? 0 : cut + 1;
    const std::size_t dot = path.find('.', nameStart);  // "." is never a trail byte
    std::string stem = path.substr(0, dot);
    const std::string extension = dot == std::string::npos ? std::string() : path.substr(dot);
    std::size_t open = 0;
    int number = 1;
    if (const int n = BracketedNumber(stem.substr(nameStart), open)) {
        stem.resize(nameStart + open);
        number = n + 1;
    }
    for (int tries = 0; tries < kMaxNumber && number <= kMaxNumber; ++tries, ++number) {
        std::string candidate = stem + "(" + std::to_string(number) + ")" + extension;
        if (!exists(candidate)) return candidate;
    }
    return std::nullopt;
}
