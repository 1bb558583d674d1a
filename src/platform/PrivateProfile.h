// Private profile (.ini) strings with the semantics of the platform's profile
// calls: sections and keys compare without regard to case, values come back
// trimmed, and a missing file, section or key gives the default. Writing
// creates what is missing, keeps the rest of the file byte for byte and
// replaces the file atomically. A line break in a value is written as a
// space; a section or key with one is refused.
#pragma once
#include <string>

namespace plat {

std::string GetProfileString(const std::string& section, const std::string& key,
                             const std::string& defaultValue, const std::string& fileName);
bool WriteProfileString(const std::string& section, const std::string& key,
                        const std::string& value, const std::string& fileName);

} // namespace plat
