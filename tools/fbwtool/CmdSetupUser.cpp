// fbwtool setup-user: the per-user set-up an installer would do: the
// installation folder, the default words file in it, and the key store's
// "Directory" value that names it.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "Command.h"
#include "data/InitGame.h"
#include "platform/Files.h"
#include "platform/KeyStore.h"

namespace {

std::string DefaultFolder() {
    std::string base;
    if (const char* x = std::getenv("XDG_DATA_HOME"); x && *x)
        base = x;
    else if (const char* h = std::getenv("HOME"); h && *h)
        base = std::string(h) + "/.local/share";
    else
        return {};
    return plat::IncludeTrailingSeparator(base) + "Lumwright Software/Yarns";
}

int RunSetupUser(const Args& given) {
    Args args = given;
    std::string folder;
    if (!TakeOption(args, "--folder", folder))
        folder = DefaultFolder();
    if (!args.empty())
        return Fail("usage: fbwtool setup-user [--folder DIR]");
    if (folder.empty())
        return Fail("setup-user: neither XDG_DATA_HOME nor HOME is set; give --folder DIR");

    std::error_code ec;
    std::filesystem::path dir = std::filesystem::absolute(folder, ec).lexically_normal();
    if (ec)
        return Fail("setup-user: " + folder + ": " + ec.message());
    std::string dirText = dir.string();
    while (dirText.size() > 1 && dirText.back() == '/')
        dirText.pop_back();
    std::filesystem::create_directories(dir, ec);
    if (ec || !plat::FolderExists(dirText))
        return Fail("setup-user: cannot create the folder \"" + dirText + "\"");

    // The player's words are never overwritten.
    const std::string words = plat::IncludeTrailingSeparator(dirText) + "words.dat";
    if (!plat::FileExists(words)) {
        const std::string source = plat::ExtractFilePath(plat::ExecutablePath()) + "words.dat";
        std::string data;
        if (!plat::ReadWholeFile(source, data))
            return Fail("setup-user: cannot read the default words file \"" + source + "\"");
        std::string why;
        if (!plat::WriteFileAtomic(words, data, &why))
            return Fail("setup-user: cannot write \"" + words + "\": " + why);
        std::printf("copied the default words to %s\n", words.c_str());
    }

    // A "Directory" that names an existing folder is the player's choice.
    plat::KeyStore keys;
    std::string current;
    const bool has = keys.OpenKey(kRegYarnsKey, false) &&
                     keys.ReadString(kRegYarnsKey, "Directory", current) && !current.empty() &&
                     plat::FolderExists(current);
    if (!has) {
        std::string why;
        if (!keys.WriteString(kRegYarnsKey, "Directory", dirText, &why))
            return Fail("setup-user: " + why);
        std::printf("the game's folder is %s\n", dirText.c_str());
    } else {
        std::printf("the game's folder stays %s\n", current.c_str());
    }
    return 0;
}

RegisterCommand setupUserCmd(
    {"setup-user",
     "  fbwtool setup-user [--folder DIR]\n"
     "      make the player's game folder (default $XDG_DATA_HOME/Lumwright Software/Yarns),\n"
     "      copy the default words.dat into it when it has none, and name it in the key\n"
     "      store unless the store already names an existing folder",
     RunSetupUser});

} // namespace
