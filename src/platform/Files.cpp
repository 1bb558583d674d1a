// File and folder queries over std::filesystem.
#include "platform/Files.h"

#include <cstring>
#include <filesystem>
#include <system_error>

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

bool FileExists(const std::string& path) {
    std::error_code ec;
    return fs::is_regular_file(fs::path(ResolvePath(path)), ec);
}

bool FileMissing(const std::string& path) {
    std::error_code ec;
    return fs::status(fs::path(ResolvePath(path)), ec).type() == fs::file_type::not_found;
}

bool FolderExists(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::is_directory(fs::path(path), ec);
}

bool FileModTime(const std::string& path, int64_t& time) {
    std::error_code ec;
    auto t = fs::last_write_time(fs::path(ResolvePath(path)), ec);
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
    fs::last_write_time(fs::path(ResolvePath(path)), t, ec);
    return !ec;
}

bool ReadWholeFile(const std::string& path, std::string& data) {
    auto f = FileStream::Open(path);
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

bool WriteFileAtomic(const std::string& path, std::string_view data, std::string* why) {
    auto f = FileStream::CreateAtomic(path, why);
    if (!f)
        return false;
    if (f->WriteExact(data.data(), data.size()) && f->Commit())
        return true;
    if (why)
        *why = f->Failure();
    return false;
}

NewFile WriteNewFileAtomic(const std::string& path, std::string_view data, std::string* why) {
    if (!FileMissing(path))
        return NewFile::Exists;
    auto f = FileStream::CreateAtomic(path, why);
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

bool DeleteFile(const std::string& path) {
    std::error_code ec;
    return fs::remove(fs::path(ResolvePath(path)), ec);
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
