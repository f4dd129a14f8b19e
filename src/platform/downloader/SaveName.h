#pragma once

#include <functional>
#include <optional>
#include <string>

// The name to save under when something is already at `path`: "(1)" goes
// before the first "." of the file name ("temp(1).zip"); a name that already
// carries "(n)" there gets n + 1; repeated while `exists` says the name is
// taken, up to 99 tries. nullopt when every try is taken.
std::optional<std::string> DerivedSavePath(const std::string& path, char separator,
                                           const std::function<bool(const std::string&)>& exists);
