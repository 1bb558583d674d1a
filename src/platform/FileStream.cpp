// File streams over stdio, with atomic replacement for writes.
#include "platform/FileStream.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/Files.h"

namespace fs = std::filesystem;

namespace plat {

namespace {
// The file that Path finally names when it is a symbolic link (or a chain of
// them); Path itself when it is none. Empty for a loop or an unreadable link.
std::string FollowLinks(const std::string& path) {
    fs::path p(path);
    for (int depth = 0; depth < 40; ++depth) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(p, ec)))
            return p.string();
        fs::path target = fs::read_symlink(p, ec);
        if (ec)
            return std::string();
        p = target.is_absolute() ? target : p.parent_path() / target;
    }
    return std::string();
}

} // namespace

std::unique_ptr<FileStream> FileStream::Open(const std::string& path, Lookup lookup) {
    const std::string real = lookup == Lookup::Exact ? path : ResolvePath(path);
    // Opened without waiting (a FIFO would block until a writer came), then
    // checked on the descriptor itself: no name can be swapped in between.
    const int fd = ::open(real.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return nullptr;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    std::FILE* f = ::fdopen(fd, "rb");
    if (!f) {
        ::close(fd);
        return nullptr;
    }
    std::unique_ptr<FileStream> s(new FileStream());
    s->file_ = f;
    s->path_ = real;
    return s;
}

namespace {
// Temporary files of atomic writes are named ".NAME.fbwtmp-XXXXXX" beside
// their target and hold an exclusive lock for as long as their writer lives,
// so a temporary whose lock is free was left by a writer that died.
constexpr const char* kTempMark = ".fbwtmp-";

std::string TempTemplate(const std::string& target) {
    std::string folder = ExtractFilePath(target);
    std::string name = target.substr(folder.size());
    if (name.size() > 200) // keep the temporary's name within the file system's limit
        name.resize(200);
    return folder + "." + name + kTempMark + "XXXXXX";
}

// A writer holds its temporary for moments, not days: one older than this is
// stale whatever holds its lock (a descriptor a stuck or forked process kept).
constexpr auto kStaleAge = std::chrono::hours(24);

// Removes the temporaries of dead writers in Folder ("" for the current one):
// those whose lock is free, and those not written for a day.
void RemoveStaleTemporaries(const std::string& folder) {
    std::error_code ec;
    std::filesystem::directory_iterator it(folder.empty() ? "." : folder, ec);
    if (ec)
        return;
    const auto now = std::chrono::system_clock::now();
    for (const auto& entry : it) {
        const std::string name = entry.path().filename().string();
        if (name.empty() || name[0] != '.' || name.find(kTempMark) == std::string::npos)
            continue;
        const std::string path = entry.path().string();
        int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0)
            continue;
        struct stat st;
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
            const auto written = std::chrono::system_clock::from_time_t(st.st_mtim.tv_sec);
            if (::flock(fd, LOCK_EX | LOCK_NB) == 0 || now - written > kStaleAge)
                ::unlink(path.c_str());
        }
        ::close(fd);
    }
}

// Makes the rename of a file in Folder survive a power cut.
void SyncFolder(const std::string& folder) {
    int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}
} // namespace

std::unique_ptr<FileStream> FileStream::CreateAtomic(const std::string& path, std::string* why,
                                                     Lookup lookup) {
    // A link is kept: the file it points at is the one replaced.
    const std::string target = FollowLinks(lookup == Lookup::Exact ? path : ResolvePath(path));
    if (target.empty()) {
        if (why)
            *why = SystemErrorText(ELOOP);
        return nullptr;
    }
    int error = EAGAIN;
    for (int attempt = 0; attempt < 8; ++attempt) {
        std::string tmpl = TempTemplate(target);
        int fd = ::mkostemp(tmpl.data(), O_CLOEXEC);
        if (fd < 0) {
            // A folder that takes no new file (EACCES, EPERM) is never worked
            // around by writing over the target: the write fails here.
            error = errno;
            break;
        }
        // Another writer's clean-up may take the file between its creation
        // and the lock; then it is gone and a new one is made.
        struct stat st;
        if (::flock(fd, LOCK_EX) != 0 || ::fstat(fd, &st) != 0 || st.st_nlink == 0) {
            error = errno;
            ::close(fd);
            continue;
        }
        std::FILE* f = ::fdopen(fd, "w+b");
        if (!f) {
            error = errno;
            ::close(fd);
            ::unlink(tmpl.c_str());
            break;
        }
        std::unique_ptr<FileStream> s(new FileStream());
        s->file_ = f;
        s->path_ = target;
        s->tmpPath_ = tmpl;
        return s;
    }
    if (why)
        *why = SystemErrorText(error);
    return nullptr;
}

FileStream::~FileStream() {
    if (file_)
        std::fclose(file_);
    if (!tmpPath_.empty())
        ::unlink(tmpPath_.c_str());
}

std::size_t FileStream::Read(void* buffer, std::size_t count) {
    return file_ ? std::fread(buffer, 1, count, file_) : 0;
}

void FileStream::Fail(int error) {
    if (failure_.empty())
        failure_ = SystemErrorText(error);
    failed_ = true;
}

std::size_t FileStream::Write(const void* buffer, std::size_t count) {
    errno = 0;
    std::size_t n = file_ ? std::fwrite(buffer, 1, count, file_) : 0;
    if (n != count)
        Fail(errno ? errno : EIO);
    return n;
}

bool FileStream::Seek(int64_t position) {
    return file_ && position >= 0 && ::fseeko(file_, position, SEEK_SET) == 0;
}

int64_t FileStream::Position() const {
    return file_ ? ::ftello(file_) : -1;
}

int64_t FileStream::Size() const {
    if (!file_)
        return -1;
    off_t here = ::ftello(file_);
    ::fseeko(file_, 0, SEEK_END);
    off_t size = ::ftello(file_);
    ::fseeko(file_, here, SEEK_SET);
    return size;
}

bool FileStream::Flush() {
    if (tmpPath_.empty() || !file_) {
        Fail(EBADF);
        return false;
    }
    if (!failed_ && (std::fflush(file_) != 0 || ::fsync(::fileno(file_)) != 0))
        Fail(errno);
    return !failed_;
}

void FileStream::Retarget(const std::string& path) {
    path_ = path;
    existed_ = false;
}

bool FileStream::Commit(bool replace) {
    if (tmpPath_.empty() || !file_) {
        Fail(EBADF);
        return false;
    }
    const int fd = ::fileno(file_);
    bool ok = !failed_;
    if (ok && (std::fflush(file_) != 0 || ::fsync(fd) != 0)) {
        Fail(errno);
        ok = false;
    }
    // Keep the replaced file's permissions where it existed; new files get 0644.
    struct stat st;
    ::fchmod(fd, ::stat(path_.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0644);
    // The temporary stays open, and so locked, until it has its final name.
    if (ok && replace) {
        ok = std::rename(tmpPath_.c_str(), path_.c_str()) == 0;
        if (!ok)
            Fail(errno);
    } else if (ok) {
        // A second name for the temporary, made only where there is none.
        ok = ::link(tmpPath_.c_str(), path_.c_str()) == 0;
        existed_ = !ok && errno == EEXIST;
        if (existed_)
            return false; // kept for another name
        if (!ok)
            Fail(errno);
    }
    if (!ok || !replace)
        ::unlink(tmpPath_.c_str());
    std::fclose(file_); // after fsync nothing is left to fail
    file_ = nullptr;
    tmpPath_.clear();
    const std::string folder = ExtractFilePath(path_);
    if (ok)
        SyncFolder(folder);
    // The folder took a file: the temporaries killed writers left there go,
    // which may also be the room a full disk lacked.
    RemoveStaleTemporaries(folder);
    return ok;
}

} // namespace plat
