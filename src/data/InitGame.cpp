// Folder lookup, the needed-file check and the plain/scrambled pairing rule.
#include "data/InitGame.h"

#include <cstdio>
#include <vector>

#include "base/LumException.h"
#include "base/Random.h"
#include "platform/Files.h"
#include "platform/KeyStore.h"
#include "platform/MessageBox.h"

std::string ProgramFolder;
std::string InstallFolder;
std::string DataFolder;
std::string WaveFolder;
std::string SettingsFileName;
bool StartupFailed = false;

const char* const kRegCompanyKey = "Software\\Lumwright Software";
const char* const kRegYarnsKey = "Software\\Lumwright Software\\Yarns";

namespace {
const char* const kDevHomeValue = "DevHome";
const char* const kDirectoryValue = "Directory";

std::string Format(const char* fmt, const std::string& a, const std::string& b = {}) {
    int n = std::snprintf(nullptr, 0, fmt, a.c_str(), b.c_str());
    std::string s(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
    std::snprintf(s.data(), s.size() + 1, fmt, a.c_str(), b.c_str());
    return s;
}

void DoLocate(const std::string& programPath, plat::KeyStore& keys) {
    ProgramFolder = plat::ExtractFilePath(programPath);
    InstallFolder.clear();
    std::string devRoot;

    if (keys.OpenKey(kRegCompanyKey, false) &&
        !keys.ReadString(kRegCompanyKey, kDevHomeValue, devRoot))
        devRoot.clear();
    if (keys.OpenKey(kRegYarnsKey, true) &&
        !keys.ReadString(kRegYarnsKey, kDirectoryValue, InstallFolder))
        InstallFolder.clear();

    if ((InstallFolder.empty() || !plat::FolderExists(InstallFolder)) && !devRoot.empty()) {
        InstallFolder = plat::IncludeTrailingSeparator(devRoot) + "Yarns";
        ProgramFolder = InstallFolder;
    }
    if (InstallFolder.empty())
        throw LumException(
            std::string("Unable to locate name of installation folder: no value \"") +
            kDirectoryValue + "\" under \"" + kRegYarnsKey + "\" in \"" + keys.Path() +
            "\". Please re-install and try again.");
    if (!plat::FolderExists(InstallFolder))
        throw LumException(Format("Unable to locate installation folder \"%s\". Please "
                                  "re-install and try again.",
                                  InstallFolder));
    InstallFolder = plat::IncludeTrailingSeparator(InstallFolder);
    ProgramFolder = plat::IncludeTrailingSeparator(ProgramFolder);
    DataFolder = ProgramFolder + "dat" + plat::kPathSeparator;
    WaveFolder = ProgramFolder + "wav" + plat::kPathSeparator;
    SettingsFileName = InstallFolder + "yarns.ini";
}
} // namespace

void LocateFolders(const std::string& programPath, plat::KeyStore& keys) {
    Randomize();
    try {
        DoLocate(programPath, keys);
        // The settings calls refuse longer names rather than cut them.
        if (SettingsFileName.size() > 255)
            plat::ShowMessage(plat::MsgKind::Warning,
                              Format("The settings file name \"%s\" is longer than 255 "
                                     "characters: settings will not be kept.",
                                     SettingsFileName));
    } catch (const LumException& e) {
        plat::ShowMessage(plat::MsgKind::Error, e.Message());
        StartupFailed = true;
    }
}

void LocateFolders() {
    plat::KeyStore keys;
    LocateFolders(plat::ExecutablePath(), keys);
}

bool CheckNeededFiles() {
    struct Row {
        std::string file, alternative;
    };
    std::vector<Row> rows = {
        {ProgramFolder + "yarns.rl8", ""},
        {ProgramFolder + "fbwstart.rl8", ""},
        {InstallFolder + "words.dat", ""},
        {DataFolder + "sounds.dat", DataFolder + "sounds.txt"},
    };
    for (int n = 1; n <= 10; ++n)
        rows.push_back({DataFolder + "sb" + std::to_string(n) + ".dat",
                        DataFolder + "ml" + std::to_string(n) + ".dat"});
    for (const Row& row : rows) {
        if (plat::FileExists(row.file))
            continue;
        if (!row.alternative.empty() && plat::FileExists(row.alternative))
            continue;
        plat::ShowMessage(plat::MsgKind::Error,
                          Format("Sorry! We cannot find the needed file \"%s\".", row.file));
        return false;
    }
    return true;
}

void RefreshScrambledFile(const std::string& plainPath, const std::string& scrambledPath,
                          const TLineFilter& filter) {
    int64_t plainTime = 0, scrambledTime = 0;
    if (!plat::FileModTime(plainPath, plainTime))
        return;
    if (plat::FileModTime(scrambledPath, scrambledTime) && scrambledTime >= plainTime)
        return;
    TObfText::BuildScrambledFile(plainPath, scrambledPath, filter);
}
