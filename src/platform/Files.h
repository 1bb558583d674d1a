// File and folder queries. A path is bytes in the system's own encoding,
// never text. Readers and replacing writers look a name up as the data files
// expect unless told to take it exactly (Lookup::Exact): when the exact name
// does not exist, the last path component is matched without regard to
// ASCII letter case among the entries of its folder. New names
// (WriteNewFileAtomic, LinkNewName), SetFileModTime and DeleteFile take the
// exact name, always: they never reach a file another name leads to.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace plat {

// The native path separator, which ends every folder string.
inline constexpr char kPathSeparator = '/';

// How a reader finds a name: as the data files expect, or exactly.
enum class Lookup { AnyCase, Exact };

// The existing path that Path names (exactly, or by a case-insensitive match
// of its last component); Path unchanged when none exists.
std::string ResolvePath(const std::string& path);

// A regular file (or a link to one) is at Path.
bool FileExists(const std::string& path, Lookup lookup = Lookup::AnyCase);
// True when nothing is at Path. A file that exists but cannot be read (its
// permissions, a link loop) is not missing; a link that leads nowhere is.
bool FileMissing(const std::string& path, Lookup lookup = Lookup::AnyCase);
bool FolderExists(const std::string& path);
// Modification time in nanoseconds since the Unix epoch (1970, UTC); false
// when missing.
bool FileModTime(const std::string& path, int64_t& time, Lookup lookup = Lookup::AnyCase);
bool SetFileModTime(const std::string& path, int64_t time);
// Whole contents of a regular file; false when it cannot be read or is no
// regular file (a FIFO or a device is never waited on: see FileStream::Open).
bool ReadWholeFile(const std::string& path, std::string& data, Lookup lookup = Lookup::AnyCase);
// Creates or replaces Path atomically (temporary file, then rename); never
// writes over Path in place. False when it could not, with what is at Path
// unchanged and Why (when given) saying what the system said.
bool WriteFileAtomic(const std::string& path, std::string_view data, std::string* why = nullptr,
                     Lookup lookup = Lookup::AnyCase);
// Creates Path with Data only when nothing is at Path: written whole beside
// it and given its name at once, so Path never holds part of Data and what
// is there is never replaced. Why as for WriteFileAtomic.
enum class NewFile { Written, Exists, Failed };
NewFile WriteNewFileAtomic(const std::string& path, std::string_view data,
                           std::string* why = nullptr);
// Gives the file at From (a link followed) the second name To, made only
// where nothing is at To; never copies. Exists when To is taken; Failed
// (with Why) where the file system takes no second name or refuses it.
NewFile LinkNewName(const std::string& from, const std::string& to, std::string* why = nullptr);
// Gives what is at From (a file or a folder, a link itself) the name To,
// only where nothing is at To: never replaces. Exists when To is taken;
// Failed (with Why) when the system refuses (another device, no right).
NewFile RenameNewName(const std::string& from, const std::string& to, std::string* why = nullptr);
// Makes the folder Path (its parent must exist); true when it is there now
// as a folder. Why as for WriteFileAtomic.
bool MakeFolder(const std::string& path, std::string* why = nullptr);
// Removes the folder at exactly Path and the regular files and links in it
// (never what a link leads to, nor a folder within, which makes it fail);
// false when the folder is still there.
bool RemoveFolder(const std::string& path);

// The system's message for an error number as the program's messages put it
// after a colon: "permission denied", "no space left on device".
std::string SystemErrorText(int error);
// Removes the file, or the link itself, at exactly Path (never another
// name); false when nothing was removed.
bool DeleteFile(const std::string& path);
// The same file (device and inode) is at both paths, links followed.
bool SameFile(const std::string& a, const std::string& b);

// What stands at a path, a link followed: nothing, a regular file, a folder,
// something else (a FIFO, a device, a socket), or a link that leads nowhere
// (to nothing, or round in a loop).
enum class EntryKind { Missing, File, Folder, Other, Dangling };
EntryKind KindAt(const std::string& path);
// One entry of a folder: its name, what it is (links followed), and its
// time (nanoseconds since the epoch) and size: the file's, or for a dangling
// link the link's own.
struct FolderEntry {
    std::string name;
    EntryKind kind = EntryKind::Missing;
    int64_t modTime = 0;
    int64_t size = 0;
};
// The entries of Folder in one pass (no "." or ".."), in the folder's own
// order; empty when it cannot be listed. Each costs one or two status calls,
// whatever the folder holds.
std::vector<FolderEntry> ListFolder(const std::string& folder);

// Full path of the running executable; empty when unknown.
std::string ExecutablePath();
// Folder part of Path with its trailing separator ("" when Path has none).
std::string ExtractFilePath(const std::string& path);
// Path with exactly one trailing separator.
std::string IncludeTrailingSeparator(const std::string& path);

} // namespace plat
