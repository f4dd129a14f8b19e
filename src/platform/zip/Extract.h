#pragma once

#include <string>

// Extracts every entry of the ZIP archive into `destination`: 1 when all are
// done, 0 at the first entry that fails (entries before it stay), -1 when a
// path is empty or no file is at `archive`. Entry names that would land
// outside the destination, damaged or encrypted entries, and entries that
// inflate beyond their declared size all stop the extraction with 0.
int ExtractArchive(const std::string& archive, const std::string& destination);

// The entry's path under `destination` (which may end in the separator), or
// empty when the name is absolute, has a drive or root prefix, a ".."
// component (with either separator) or, on Windows, a ":" at all.
std::string EntryPath(const std::string& destination, const std::string& name, char separator, bool windows);
