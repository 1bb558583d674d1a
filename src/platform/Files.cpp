// File and folder queries over std::filesystem.
#include "platform/Files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

#include "platform/FileStream.h"

namespace fs = std::filesystem;

namespace plat {

namespace {
bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z')
            x = static_cast<unsigned char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<unsigned char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}
} // namespace

std::string ResolvePath(const std::string& path) {
    std::error_code ec;
    if (path.empty() || fs::exists(fs::path(path), ec))
        return path;
    fs::path p(path);
    fs::path parent = p.parent_path();
    std::string name = p.filename().string();
    if (name.empty())
        return path;
    fs::directory_iterator it(parent.empty() ? fs::path(".") : parent, ec);
    if (ec)
        return path;
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec)
            return path;
        std::string candidate = it->path().filename().string();
        if (EqualNoCase(candidate, name))
            return (parent.empty() ? fs::path(candidate) : parent / candidate).string();
    }
    return path;
}

namespace {
std::string Find(const std::string& path, Lookup lookup) {
    return lookup == Lookup::Exact ? path : ResolvePath(path);
}
} // namespace

bool FileExists(const std::string& path, Lookup lookup) {
    std::error_code ec;
    return fs::is_regular_file(fs::path(Find(path, lookup)), ec);
}

bool FileMissing(const std::string& path, Lookup lookup) {
    std::error_code ec;
    return fs::status(fs::path(Find(path, lookup)), ec).type() == fs::file_type::not_found;
}

bool FolderExists(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::is_directory(fs::path(path), ec);
}

bool FileModTime(const std::string& path, int64_t& time, Lookup lookup) {
    std::error_code ec;
    auto t = fs::last_write_time(fs::path(Find(path, lookup)), ec);
    if (ec)
        return false;
    // The file clock's epoch is its own: the time is told from the Unix epoch.
    time = std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::file_clock::to_sys(t).time_since_epoch())
               .count();
    return true;
}

bool SetFileModTime(const std::string& path, int64_t time) {
    std::error_code ec;
    const std::chrono::sys_time<std::chrono::nanoseconds> sys{std::chrono::nanoseconds(time)};
    const fs::file_time_type t = std::chrono::file_clock::from_sys(sys);
    fs::last_write_time(fs::path(path), t, ec);
    return !ec;
}

bool ReadWholeFile(const std::string& path, std::string& data, Lookup lookup) {
    auto f = FileStream::Open(path, lookup);
    if (!f)
        return false;
    int64_t size = f->Size();
    if (size < 0)
        return false;
    data.resize(static_cast<std::size_t>(size));
    if (!f->ReadExact(data.data(), data.size()))
        return false;
    return true;
}

bool WriteFileAtomic(const std::string& path, std::string_view data, std::string* why,
                     Lookup lookup) {
    auto f = FileStream::CreateAtomic(path, why, lookup);
    if (!f)
        return false;
    if (f->WriteExact(data.data(), data.size()) && f->Commit())
        return true;
    if (why)
        *why = f->Failure();
    return false;
}

NewFile WriteNewFileAtomic(const std::string& path, std::string_view data, std::string* why) {
    if (!FileMissing(path, Lookup::Exact))
        return NewFile::Exists;
    auto f = FileStream::CreateAtomic(path, why, Lookup::Exact);
    if (!f)
        return NewFile::Failed;
    if (f->WriteExact(data.data(), data.size()) && f->Commit(false))
        return NewFile::Written;
    if (f->Existed())
        return NewFile::Exists;
    if (why)
        *why = f->Failure();
    return NewFile::Failed;
}

std::string SystemErrorText(int error) {
    std::string text = std::strerror(error);
    // Only the first letter is lowered: "I/O error" stays as the system says it.
    if (text.size() >= 2 && text[0] >= 'A' && text[0] <= 'Z' && !(text[1] >= 'A' && text[1] <= 'Z'))
        text[0] = static_cast<char>(text[0] - 'A' + 'a');
    return text;
}

NewFile LinkNewName(const std::string& from, const std::string& to, std::string* why) {
    if (::linkat(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), AT_SYMLINK_FOLLOW) == 0)
        return NewFile::Written;
    if (errno == EEXIST)
        return NewFile::Exists;
    if (why)
        *why = SystemErrorText(errno);
    return NewFile::Failed;
}

NewFile RenameNewName(const std::string& from, const std::string& to, std::string* why) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return NewFile::Written;
    if (errno == EEXIST)
        return NewFile::Exists;
    if (errno == EINVAL || errno == ENOSYS) {
        // A file system without the exchange-free rename: looked at first,
        // then renamed (a race with another writer is the only risk left).
        struct stat st;
        if (::lstat(to.c_str(), &st) == 0)
            return NewFile::Exists;
        if (::rename(from.c_str(), to.c_str()) == 0)
            return NewFile::Written;
    }
    if (why)
        *why = SystemErrorText(errno);
    return NewFile::Failed;
}

bool MakeFolder(const std::string& path, std::string* why) {
    if (::mkdir(path.c_str(), 0777) == 0)
        return true;
    const int error = errno;
    if (error == EEXIST && KindAt(path) == EntryKind::Folder)
        return true;
    if (why)
        *why = SystemErrorText(error);
    return false;
}

bool RemoveFolder(const std::string& path) {
    std::string folder = path;
    while (folder.size() > 1 && folder.back() == kPathSeparator)
        folder.pop_back();
    for (const FolderEntry& e : ListFolder(IncludeTrailingSeparator(folder))) {
        const std::string at = IncludeTrailingSeparator(folder) + e.name;
        struct stat st;
        if (::lstat(at.c_str(), &st) == 0 && !S_ISDIR(st.st_mode))
            ::unlink(at.c_str());
    }
    return ::rmdir(folder.c_str()) == 0 || KindAt(folder) == EntryKind::Missing;
}

bool DeleteFile(const std::string& path) {
    return ::unlink(path.c_str()) == 0;
}

bool SameFile(const std::string& a, const std::string& b) {
    struct stat x, y;
    return ::stat(a.c_str(), &x) == 0 && ::stat(b.c_str(), &y) == 0 && x.st_dev == y.st_dev &&
           x.st_ino == y.st_ino;
}

namespace {
int64_t Nanoseconds(const struct timespec& t) {
    return static_cast<int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec;
}

// What Dir's entry Name is, links followed; Entry gets its time and size.
EntryKind KindIn(int dir, const char* name, FolderEntry& entry) {
    struct stat st;
    if (::fstatat(dir, name, &st, 0) != 0) {
        const int error = errno;
        // A link to nothing or a loop: the link's own time and size.
        if ((error == ENOENT || error == ELOOP) &&
            ::fstatat(dir, name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode)) {
            entry.modTime = Nanoseconds(st.st_mtim);
            entry.size = static_cast<int64_t>(st.st_size);
            return EntryKind::Dangling;
        }
        return error == ENOENT ? EntryKind::Missing : EntryKind::Other;
    }
    entry.modTime = Nanoseconds(st.st_mtim);
    entry.size = static_cast<int64_t>(st.st_size);
    if (S_ISREG(st.st_mode))
        return EntryKind::File;
    return S_ISDIR(st.st_mode) ? EntryKind::Folder : EntryKind::Other;
}
} // namespace

EntryKind KindAt(const std::string& path) {
    FolderEntry entry;
    return KindIn(AT_FDCWD, path.c_str(), entry);
}

std::vector<FolderEntry> ListFolder(const std::string& folder) {
    std::vector<FolderEntry> entries;
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir)
        return entries;
    const int fd = ::dirfd(dir);
    while (const struct dirent* d = ::readdir(dir)) {
        const std::string_view name = d->d_name;
        if (name == "." || name == "..")
            continue;
        FolderEntry entry;
        entry.name = std::string(name);
        entry.kind = KindIn(fd, d->d_name, entry);
        if (entry.kind != EntryKind::Missing) // gone since it was listed
            entries.push_back(std::move(entry));
    }
    ::closedir(dir);
    return entries;
}

std::string ExecutablePath() {
    std::error_code ec;
    fs::path p = fs::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : p.string();
}

std::string ExtractFilePath(const std::string& path) {
    auto pos = path.find_last_of(kPathSeparator);
    return pos == std::string::npos ? std::string() : path.substr(0, pos + 1);
}

std::string IncludeTrailingSeparator(const std::string& path) {
    if (!path.empty() && path.back() == kPathSeparator)
        return path;
    return path + kPathSeparator;
}

} // namespace plat
