// The program's four folders, found once at start-up, the needed-file check,
// and the rule that picks (and rebuilds) the scrambled form of a data file.
// Every folder string ends with the native path separator.
#pragma once
#include <string>

#include "data/ObfText.h"

namespace plat {
class KeyStore;
}

extern std::string ProgramFolder;    // the running program's folder (or the development folder)
extern std::string InstallFolder;    // named by the key store: words.dat, yarns.ini
extern std::string DataFolder;       // ProgramFolder + "dat/": templates, sound catalogue
extern std::string WaveFolder;       // ProgramFolder + "wav/": wave files
extern std::string SettingsFileName; // InstallFolder + "yarns.ini"
extern bool StartupFailed;           // set when the lookup fails; the program then ends

extern const char* const kRegCompanyKey; // "Software\Lumwright Software"
extern const char* const kRegYarnsKey;   // "Software\Lumwright Software\Yarns"

// Fills the four folders from the running program's path and the user's key
// store, or shows the error and sets StartupFailed. Seeds the random generator.
void LocateFolders();
// The same with the program path and key store given (tests, tools).
void LocateFolders(const std::string& programPath, plat::KeyStore& keys);

// True when every needed file (or its accepted alternative) exists; otherwise
// shows one error naming the first missing file and returns false.
bool CheckNeededFiles();

// The scrambled file of a plain/scrambled pair, rebuilt from the plain file
// first when that exists and the scrambled file is missing or strictly
// older. Rebuild failures raise LumException.
void RefreshScrambledFile(const std::string& plainPath, const std::string& scrambledPath,
                          const TLineFilter& filter);
