// The per-user key store standing in for the registry: one INI file per user
// in which each key is a section named by its full key path (backslashes
// kept) and each string value a Name=value line. Key paths and value names
// compare without regard to case.
#pragma once
#include <string>

namespace plat {

class KeyStore {
public:
    // The store at Path; an empty path means the user's default store,
    // $XDG_CONFIG_HOME/Lumwright Software/registry.ini (~/.config when unset).
    explicit KeyStore(std::string path = {});

    static std::string DefaultPath();
    const std::string& Path() const { return path_; }

    // True when the key exists; with Create a missing key is written as an
    // empty section (and the store's folder made) first.
    bool OpenKey(const std::string& keyPath, bool create);
    // False when the key or value is missing.
    bool ReadString(const std::string& keyPath, const std::string& name, std::string& value);
    // Sets the value (making the key, the store and its folder as needed).
    // False when the store could not be read or written, with Why (when
    // given) saying which and the system's reason: "cannot write PATH:
    // permission denied".
    bool WriteString(const std::string& keyPath, const std::string& name, const std::string& value,
                     std::string* why = nullptr);

private:
    std::string path_;
};

} // namespace plat
