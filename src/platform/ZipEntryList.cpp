// Entries kept in memory.
#include "platform/ZipEntryList.h"

#include <algorithm>

namespace plat {

bool ZipEntryList::Fail(const std::string& why) {
    if (failure_.empty())
        failure_ = why;
    return false;
}

bool ZipEntryList::Begin(const std::string& name, bool stored) {
    if (!failure_.empty() || finished_)
        return Fail("zip: the archive is finished");
    if (std::any_of(Entries.begin(), Entries.end(),
                    [&](const ZipEntry& e) { return e.Name == name; }))
        return Fail("zip: " + name + ": the name is already in the archive");
    Entries.push_back({name, {}, stored});
    return true;
}

bool ZipEntryList::Write(std::string_view bytes) {
    if (!failure_.empty() || finished_ || Entries.empty())
        return Fail("zip: no entry is begun");
    Entries.back().Bytes.append(bytes);
    return true;
}

bool ZipEntryList::Rewrite(std::size_t index, int64_t offset, std::string_view bytes) {
    if (!failure_.empty() || finished_ || index >= Entries.size() || !Entries[index].Stored ||
        offset < 0 || static_cast<uint64_t>(offset) + bytes.size() > Entries[index].Bytes.size())
        return Fail("zip: nothing there to rewrite");
    Entries[index].Bytes.replace(static_cast<std::size_t>(offset), bytes.size(), bytes);
    return true;
}

bool ZipEntryList::Finish() {
    if (!failure_.empty() || finished_)
        return Fail("zip: the archive is finished");
    finished_ = true;
    return true;
}

} // namespace plat
