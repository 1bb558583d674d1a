// Per-user key store in an INI file.
#include "platform/KeyStore.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "platform/Files.h"
#include "platform/IniDocument.h"

namespace plat {

std::string KeyStore::DefaultPath() {
    std::string base;
    if (const char* x = std::getenv("XDG_CONFIG_HOME"); x && *x)
        base = x;
    else if (const char* h = std::getenv("HOME"); h && *h)
        base = std::string(h) + "/.config";
    else
        base = ".config";
    return IncludeTrailingSeparator(base) + "Lumwright Software/registry.ini";
}

KeyStore::KeyStore(std::string path) : path_(path.empty() ? DefaultPath() : std::move(path)) {}

bool KeyStore::OpenKey(const std::string& keyPath, bool create) {
    std::string text;
    bool exists = FileExists(path_);
    if (exists && !ReadWholeFile(path_, text))
        return false;
    IniDocument doc(std::move(text));
    if (doc.HasSection(keyPath))
        return true;
    if (!create)
        return false;
    doc.AddSection(keyPath);
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path_).parent_path(), ec);
    return WriteFileAtomic(path_, doc.Text());
}

bool KeyStore::ReadString(const std::string& keyPath, const std::string& name, std::string& value) {
    std::string text;
    if (!ReadWholeFile(path_, text))
        return false;
    if (!IniDocument(std::move(text)).Get(keyPath, name, value))
        return false;
    // A stored string ends at its first zero byte, as the game's strings do:
    // a value with a zero inside would name one folder to a check and
    // another to the file calls.
    if (const auto zero = value.find('\0'); zero != std::string::npos)
        value.erase(zero);
    return true;
}

bool KeyStore::WriteString(const std::string& keyPath, const std::string& name,
                           const std::string& value, std::string* why) {
    const auto failed = [&](const std::string& what, const std::string& reason) {
        if (why)
            *why = what + " " + path_ + (reason.empty() ? "" : ": " + reason);
        return false;
    };
    std::string text;
    if (FileExists(path_)) {
        errno = 0;
        if (!ReadWholeFile(path_, text))
            return failed("cannot read", errno ? SystemErrorText(errno) : std::string());
    }
    IniDocument doc(std::move(text));
    doc.Set(keyPath, name, value);
    const std::filesystem::path folder = std::filesystem::path(path_).parent_path();
    std::error_code ec;
    if (!folder.empty() && !std::filesystem::create_directories(folder, ec) && ec)
        return failed("cannot write", SystemErrorText(ec.value()));
    std::string reason;
    if (!WriteFileAtomic(path_, doc.Text(), &reason))
        return failed("cannot write", reason);
    return true;
}

} // namespace plat
