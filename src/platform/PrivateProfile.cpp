// Private profile strings over IniDocument.
#include "platform/PrivateProfile.h"

#include "platform/Files.h"
#include "platform/IniDocument.h"

namespace plat {

namespace {
bool HasLineBreak(const std::string& s) {
    return s.find_first_of("\r\n") != std::string::npos;
}
} // namespace

std::string GetProfileString(const std::string& section, const std::string& key,
                             const std::string& defaultValue, const std::string& fileName) {
    std::string text;
    if (!ReadWholeFile(fileName, text))
        return TrimBlanks(defaultValue);
    IniDocument doc(std::move(text));
    std::string value;
    if (!doc.Get(section, key, value))
        return TrimBlanks(defaultValue);
    return value;
}

bool WriteProfileString(const std::string& section, const std::string& key,
                        const std::string& value, const std::string& fileName) {
    if (section.empty() || key.empty() || fileName.empty() || HasLineBreak(section) ||
        HasLineBreak(key))
        return false;
    std::string text;
    if (FileExists(fileName) && !ReadWholeFile(fileName, text))
        return false;
    IniDocument doc(std::move(text));
    doc.Set(section, key, value);
    return WriteFileAtomic(fileName, doc.Text());
}

} // namespace plat
