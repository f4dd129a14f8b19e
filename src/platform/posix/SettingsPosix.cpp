#include <fstream>
#include <iterator>

#include "platform/Settings.h"
#include "platform/ini/IniReader.h"

std::string ReadSetting(const std::string& file, const std::string& section, const std::string& key) {
    if (file.empty() || section.empty() || key.empty()) return {};
    std::ifstream in(file, std::ios::binary);
    if (!in) return {};
    const std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return ini::ReadValue(data, section, key);
}
