// File and folder queries. Names are looked up as the data files expect: when
// the exact name does not exist, the last path component is matched without
// regard to ASCII letter case among the entries of its folder.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace plat {

// The native path separator, which ends every folder string.
inline constexpr char kPathSeparator = '/';

// The existing path that Path names (exactly, or by a case-insensitive match
// of its last component); Path unchanged when none exists.
std::string ResolvePath(const std::string& path);

bool FileExists(const std::string& path);
// True when nothing is at Path (looked up as ResolvePath does). A file that
// exists but cannot be read (its permissions, a link loop) is not missing.
bool FileMissing(const std::string& path);
bool FolderExists(const std::string& path);
// Modification time in nanoseconds since the Unix epoch (1970, UTC); false
// when missing.
bool FileModTime(const std::string& path, int64_t& time);
bool SetFileModTime(const std::string& path, int64_t time);
// Whole contents; false when the file cannot be read.
bool ReadWholeFile(const std::string& path, std::string& data);
// Creates or replaces Path atomically (temporary file, then rename); never
// writes over Path in place. False when it could not, with what is at Path
// unchanged and Why (when given) saying what the system said.
bool WriteFileAtomic(const std::string& path, std::string_view data, std::string* why = nullptr);
// Creates Path with Data only when nothing is at Path: written whole beside
// it and given its name at once, so Path never holds part of Data and what
// is there is never replaced. Why as for WriteFileAtomic.
enum class NewFile { Written, Exists, Failed };
NewFile WriteNewFileAtomic(const std::string& path, std::string_view data,
                           std::string* why = nullptr);
// The system's message for an error number as the program's messages put it
// after a colon: "permission denied", "no space left on device".
std::string SystemErrorText(int error);
bool DeleteFile(const std::string& path);

// Full path of the running executable; empty when unknown.
std::string ExecutablePath();
// Folder part of Path with its trailing separator ("" when Path has none).
std::string ExtractFilePath(const std::string& path);
// Path with exactly one trailing separator.
std::string IncludeTrailingSeparator(const std::string& path);

} // namespace plat
