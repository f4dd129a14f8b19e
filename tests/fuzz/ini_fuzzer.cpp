// Feeds any bytes to the INI reader: the first line names the section and key.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/ini/IniReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t end = input.find('\n');
    const std::string_view names = input.substr(0, end);
    const std::size_t bar = names.find('|');
    const std::string_view section = names.substr(0, bar);
    const std::string_view key = bar == std::string_view::npos ? std::string_view() : names.substr(bar + 1);
    const std::string_view file = end == std::string_view::npos ? std::string_view() : input.substr(end + 1);
    if (ini::ReadValue(file, section, key).size() >= ini::kValueBufferSize) __builtin_trap();
    return 0;
}
