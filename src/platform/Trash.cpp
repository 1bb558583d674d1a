// Taking a file back out of the desktop's trash.
#include "platform/Trash.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

#include "platform/Files.h"

namespace plat {

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Text with its %XX escapes turned back into bytes; a stray "%" stays.
std::string PercentDecoded(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            const int high = HexDigit(text[i + 1]), low = HexDigit(text[i + 2]);
            if (high >= 0 && low >= 0) {
                out += static_cast<char>(high * 16 + low);
                i += 2;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

// The last component of Path, trailing separators aside.
std::string NameOf(std::string path) {
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The folder that holds Path, with its separator ("" when none), trailing
// separators aside.
std::string Up(std::string path) {
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// Renames From to To only where nothing stands at To.
bool RenameNoReplace(const std::string& from, const std::string& to, int& error) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    error = errno;
    if (error != EINVAL && error != ENOSYS && error != ENOTSUP)
        return false;
    // A file system without the flag: a second name (never following a
    // link), then the first one goes.
    if (::linkat(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), 0) == 0) {
        ::unlink(from.c_str());
        return true;
    }
    error = errno;
    return false;
}

} // namespace

std::string TrashInfoPlace(std::string_view info, const std::string& top) {
    bool inGroup = false;
    while (!info.empty()) {
        const std::size_t end = info.find('\n');
        std::string_view line = info.substr(0, end);
        info = end == std::string_view::npos ? std::string_view() : info.substr(end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.starts_with('[')) {
            inGroup = line == "[Trash Info]";
            continue;
        }
        if (!inGroup || !line.starts_with("Path="))
            continue;
        std::string place = PercentDecoded(line.substr(5));
        if (place.empty())
            return {};
        return place.front() == '/' ? place : top + place;
    }
    return {};
}

TrashRestore RestoreFromTrash(const std::string& inTrash, std::string* original, std::string* why) {
    // <trash>/files/<name> and <trash>/info/<name>.trashinfo.
    const std::string name = NameOf(inTrash);
    const std::string files = Up(inTrash);
    if (name.empty() || NameOf(files) != "files") {
        if (why)
            *why = "it is not in a trash folder";
        return TrashRestore::Failed;
    }
    const std::string trash = Up(files);
    const std::string infoPath = trash + "info/" + name + ".trashinfo";
    // A trash at the top of a device names places under that top.
    std::string top = Up(trash);
    if (!NameOf(trash).starts_with(".Trash-") && NameOf(top) == ".Trash")
        top = Up(top);

    std::string info;
    if (!ReadWholeFile(infoPath, info, Lookup::Exact)) {
        if (why)
            *why = "its .trashinfo cannot be read";
        return KindAt(inTrash) == EntryKind::Missing ? TrashRestore::Gone : TrashRestore::Failed;
    }
    const std::string place = TrashInfoPlace(info, top);
    if (original)
        *original = place;
    if (place.empty()) {
        if (why)
            *why = "its .trashinfo names no place";
        return TrashRestore::Failed;
    }
    if (KindAt(inTrash) == EntryKind::Missing)
        return TrashRestore::Gone;
    if (KindAt(place) != EntryKind::Missing)
        return TrashRestore::Taken;
    int error = 0;
    if (!RenameNoReplace(inTrash, place, error)) {
        if (error == EEXIST)
            return TrashRestore::Taken;
        if (why)
            *why = SystemErrorText(error);
        return TrashRestore::Failed;
    }
    DeleteFile(infoPath);
    return TrashRestore::Restored;
}

} // namespace plat
