// The folders a window benchmark runs the game in: a temporary installation
// folder with the build's default words, named by a key store of its own, and
// the game's folders located from it (FBW_YARNS_DIR: the build's program
// folder). Removed with the object.
#pragma once
#include <QTemporaryDir>
#include <string>

#include "data/InitGame.h"
#include "platform/Files.h"
#include "platform/KeyStore.h"

class TBenchFolders {
public:
    TBenchFolders() {
        std::string words;
        plat::ReadWholeFile(std::string(FBW_YARNS_DIR) + "/words.dat", words);
        plat::WriteFileAtomic(Install() + "words.dat", words);
        plat::KeyStore keys(Install() + "registry.ini");
        keys.OpenKey(kRegYarnsKey, true);
        keys.WriteString(kRegYarnsKey, "Directory", Install());
        LocateFolders(std::string(FBW_YARNS_DIR) + "/fablewhirl", keys);
    }
    // The installation folder, ending with the separator.
    std::string Install() const { return dir_.path().toStdString() + "/"; }

private:
    QTemporaryDir dir_;
};
