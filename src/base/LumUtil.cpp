// Shared text and settings-file functions.
#include "base/LumUtil.h"

#include "base/AbortException.h"
#include "platform/PrivateProfile.h"

namespace {
constexpr std::size_t kIniLimit = 255;

std::string Cut(const std::string& s) {
    return s.size() > kIniLimit ? s.substr(0, kIniLimit) : s;
}
} // namespace

bool ReadIniString(const std::string& section, const std::string& key,
                   const std::string& defaultValue, std::string& value,
                   const std::string& fileName) {
    // A longer file name is refused: cut, it would name another file.
    if (fileName.size() > kIniLimit) {
        value.clear();
        return false;
    }
    try {
        value =
            Cut(plat::GetProfileString(Cut(section), Cut(key), Cut(defaultValue), Cut(fileName)));
        return true;
    } catch (...) {
        value.clear();
        return false;
    }
}

bool WriteIniString(const std::string& section, const std::string& key, const std::string& value,
                    const std::string& fileName) {
    if (fileName.size() > kIniLimit)
        return false;
    try {
        return plat::WriteProfileString(Cut(section), Cut(key), Cut(value), Cut(fileName));
    } catch (...) {
        return false;
    }
}

std::string TrimLeadingSpaces(const std::string& s) {
    std::size_t i = s.find_first_not_of(' ');
    return i == std::string::npos ? std::string() : s.substr(i);
}

std::string TrimTrailingSpaces(const std::string& s) {
    std::size_t i = s.find_last_not_of(' ');
    return i == std::string::npos ? std::string() : s.substr(0, i + 1);
}

std::string TrimText(const std::string& s) {
    std::size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= 32)
        ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= 32)
        --e;
    return s.substr(b, e - b);
}

void ReadTextLine(plat::Stream& stream, std::string& line) {
    char buffer[256];
    std::size_t kept = 0;
    for (;;) {
        unsigned char c;
        if (stream.Read(&c, 1) != 1)
            throw EAbort();
        if (c == 10)
            break;
        if (c == 9)
            c = ' ';
        if ((c >= 32 && c <= 126) || c >= 160) {
            if (kept < 255)
                buffer[kept++] = static_cast<char>(c);
        }
    }
    line.assign(buffer, kept);
}

void SetStringFromBuffer(const void* data, std::size_t length, std::string& s) {
    s.assign(static_cast<const char*>(data), length);
}
