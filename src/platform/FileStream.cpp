// File streams over stdio, with atomic replacement for writes.
#include "platform/FileStream.h"

#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/Files.h"

namespace plat {

std::unique_ptr<FileStream> FileStream::Open(const std::string& path) {
    std::string real = ResolvePath(path);
    if (!std::filesystem::is_regular_file(std::filesystem::path(real)))
        return nullptr;
    std::FILE* f = std::fopen(real.c_str(), "rb");
    if (!f)
        return nullptr;
    std::unique_ptr<FileStream> s(new FileStream());
    s->file_ = f;
    s->path_ = real;
    return s;
}

std::unique_ptr<FileStream> FileStream::CreateAtomic(const std::string& path) {
    std::string target = ResolvePath(path);
    std::string tmpl = ExtractFilePath(target) + ".fbwtmp-XXXXXX";
    int fd = ::mkstemp(tmpl.data());
    if (fd < 0)
        return nullptr;
    std::FILE* f = ::fdopen(fd, "w+b");
    if (!f) {
        ::close(fd);
        ::unlink(tmpl.c_str());
        return nullptr;
    }
    std::unique_ptr<FileStream> s(new FileStream());
    s->file_ = f;
    s->path_ = target;
    s->tmpPath_ = tmpl;
    return s;
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

std::size_t FileStream::Write(const void* buffer, std::size_t count) {
    std::size_t n = file_ ? std::fwrite(buffer, 1, count, file_) : 0;
    if (n != count)
        failed_ = true;
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

bool FileStream::Commit() {
    if (tmpPath_.empty() || !file_)
        return false;
    bool ok = !failed_ && std::fflush(file_) == 0 && ::fsync(::fileno(file_)) == 0;
    ok = (std::fclose(file_) == 0) && ok;
    file_ = nullptr;
    // Keep the replaced file's permissions where it existed; new files get 0644.
    struct stat st;
    ::chmod(tmpPath_.c_str(), ::stat(path_.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0644);
    if (ok)
        ok = std::rename(tmpPath_.c_str(), path_.c_str()) == 0;
    if (!ok)
        ::unlink(tmpPath_.c_str());
    tmpPath_.clear();
    return ok;
}

} // namespace plat
