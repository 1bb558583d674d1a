// A zip writer: writes a zip archive entry by entry, in the order begun,
// each entry's bytes as they come, stored as they are or deflated, so that
// an archive much larger than memory can be made. A stored entry's bytes may
// be replaced in place until the archive is finished (a header known only
// at the end). After any failure every call fails and the archive is not to
// be used.
#pragma once
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include <string_view>

#include "platform/Stream.h"

namespace plat {

// An archive's entry whole.
struct ZipEntry {
    std::string Name;    // the path inside the archive, "/" between folders
    std::string Bytes;   // the entry's content
    bool Stored = false; // kept uncompressed (else deflated)
};

class ZipWriter {
public:
    virtual ~ZipWriter() = default;
    // Ends the entry before (if any) and begins the next, Name ("/" between
    // folders); entries are numbered from 0 in the order begun. False on a
    // failure (a repeated name among them).
    virtual bool Begin(const std::string& name, bool stored) = 0;
    // Appends Bytes to the entry begun last.
    virtual bool Write(std::string_view bytes) = 0;
    // Replaces Bytes.size() bytes at Offset of stored entry Index, all of
    // them among those written to it so far.
    virtual bool Rewrite(std::size_t index, int64_t offset, std::string_view bytes) = 0;
    // Ends the last entry and writes the archive's directory: the archive
    // is then whole. Nothing can be added after it.
    virtual bool Finish() = 0;
    // Why the first call that failed failed; empty while none has.
    virtual const std::string& Failure() const = 0;

    // Entry as a whole: Begin and Write.
    bool Add(const ZipEntry& entry) {
        return Begin(entry.Name, entry.Stored) && Write(entry.Bytes);
    }
};

// The writer of this build into Out from its position on (which must allow
// reading back and seeking), its entries dated Modified (local time); nullptr
// when the build has none (it has one when zlib was found).
std::unique_ptr<ZipWriter> CreateZipWriter(Stream& out, std::time_t modified = 0);

} // namespace plat
