#include <windows.h>

#include "platform/Settings.h"
#include "platform/ini/IniReader.h"

std::string ReadSetting(const std::string& file, const std::string& section, const std::string& key) {
    if (file.empty() || section.empty() || key.empty()) return {};
    std::string value(ini::kValueBufferSize, '\0');
    const DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), "", value.data(),
                                             static_cast<DWORD>(value.size()), file.c_str());
    value.resize(n);
    return value;
}
