// plat::Settings: one section of the game's settings file, handed to each
// feature that keeps a choice there, so that none reaches for the file's path
// itself. A settings object without a file keeps nothing: every read gives
// its default and writes are dropped (the tests' and the tools' choice).
#pragma once
#include <string>
#include <utility>

namespace plat {

class Settings {
public:
    Settings() = default;
    // Section of the private profile File (a path in the system's encoding).
    Settings(std::string file, std::string section)
        : file_(std::move(file)), section_(std::move(section)) {}

    // The value of Key, or Fallback when it, its section or the file is missing.
    std::string Get(const std::string& key, const std::string& fallback) const;
    // Keeps Value under Key (the file replaced whole); nothing without a file.
    void Set(const std::string& key, const std::string& value) const;
    // Whether the object keeps anything.
    bool Keeps() const { return !file_.empty(); }

private:
    std::string file_;
    std::string section_;
};

} // namespace plat
