// plat::Settings: a section of a private profile file.
#include "platform/Settings.h"

#include "platform/PrivateProfile.h"

namespace plat {

std::string Settings::Get(const std::string& key, const std::string& fallback) const {
    return file_.empty() ? fallback : GetProfileString(section_, key, fallback, file_);
}

void Settings::Set(const std::string& key, const std::string& value) const {
    if (!file_.empty())
        WriteProfileString(section_, key, value, file_);
}

} // namespace plat
