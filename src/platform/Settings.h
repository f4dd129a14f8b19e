#pragma once

#include <string>

// The value of `key` in section `section` of the INI file `file`, as the Windows
// private-profile reader gives it into a 10240-byte buffer. Empty when any
// argument is empty or nothing is found.
std::string ReadSetting(const std::string& file, const std::string& section, const std::string& key);
