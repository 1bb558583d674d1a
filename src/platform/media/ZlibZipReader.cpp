// Reading a zip archive with zlib.
#include "platform/media/ZlibZipReader.h"

#include <zlib.h>

#include <algorithm>

namespace plat {

namespace {

constexpr uint32_t kEndSignature = 0x06054b50, kCentralSignature = 0x02014b50,
                   kLocalSignature = 0x04034b50;
constexpr std::size_t kEndSize = 22, kCentralSize = 46, kLocalSize = 30;

uint16_t U16(const unsigned char* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
uint32_t U32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

bool ReadAt(Stream& in, int64_t at, void* buffer, std::size_t count) {
    return at >= 0 && in.Seek(at) && in.ReadExact(buffer, count);
}

} // namespace

bool ZlibZipReader::Open(Stream& in, std::string& why) {
    in_ = &in;
    const int64_t size = in.Size();
    if (size < static_cast<int64_t>(kEndSize)) {
        why = "it is no zip archive";
        return false;
    }
    // The end record: the last signature in the tail (its comment after it).
    const int64_t tailAt = std::max<int64_t>(0, size - static_cast<int64_t>(kEndSize) - 65535);
    std::string tail(static_cast<std::size_t>(size - tailAt), '\0');
    if (!ReadAt(in, tailAt, tail.data(), tail.size())) {
        why = "it cannot be read";
        return false;
    }
    const auto* t = reinterpret_cast<const unsigned char*>(tail.data());
    std::size_t end = std::string::npos;
    for (std::size_t i = tail.size() - kEndSize + 1; i-- > 0;)
        if (U32(t + i) == kEndSignature) {
            end = i;
            break;
        }
    if (end == std::string::npos) {
        why = "it is no zip archive";
        return false;
    }
    const uint16_t count = U16(t + end + 10);
    const uint32_t dirSize = U32(t + end + 12), dirAt = U32(t + end + 16);
    if (static_cast<int64_t>(dirAt) + dirSize > tailAt + static_cast<int64_t>(end)) {
        why = "its directory is damaged";
        return false;
    }
    std::string dir(dirSize, '\0');
    if (!ReadAt(in, dirAt, dir.data(), dir.size())) {
        why = "its directory cannot be read";
        return false;
    }
    const auto* d = reinterpret_cast<const unsigned char*>(dir.data());
    std::size_t at = 0;
    for (uint16_t n = 0; n < count; ++n) {
        if (at + kCentralSize > dir.size() || U32(d + at) != kCentralSignature) {
            why = "its directory is damaged";
            return false;
        }
        Entry e;
        e.method = U16(d + at + 10);
        e.crc = U32(d + at + 16);
        e.packed = U32(d + at + 20);
        e.size = U32(d + at + 24);
        const std::size_t nameLength = U16(d + at + 28), extra = U16(d + at + 30),
                          comment = U16(d + at + 32);
        e.header = U32(d + at + 42);
        if (at + kCentralSize + nameLength + extra + comment > dir.size()) {
            why = "its directory is damaged";
            return false;
        }
        names_.emplace_back(dir, at + kCentralSize, nameLength);
        entries_.push_back(e);
        at += kCentralSize + nameLength + extra + comment;
    }
    return true;
}

bool ZlibZipReader::Read(const std::string& name, std::string& bytes, std::string& why,
                         std::size_t limit) {
    bytes.clear();
    const auto found = std::find(names_.begin(), names_.end(), name);
    if (found == names_.end()) {
        why = "it has no " + name;
        return false;
    }
    const Entry& e = entries_[static_cast<std::size_t>(found - names_.begin())];
    if (e.size > limit) {
        why = name + " is too large";
        return false;
    }
    if (e.method != 0 && e.method != 8) {
        why = name + " is packed in a way the game does not read";
        return false;
    }
    unsigned char local[kLocalSize];
    if (!ReadAt(*in_, e.header, local, kLocalSize) || U32(local) != kLocalSignature) {
        why = name + " is damaged";
        return false;
    }
    const int64_t data =
        static_cast<int64_t>(e.header) + kLocalSize + U16(local + 26) + U16(local + 28);
    std::string packed(e.packed, '\0');
    if (!ReadAt(*in_, data, packed.data(), packed.size())) {
        why = name + " is cut short";
        return false;
    }
    if (e.method == 0) {
        bytes = std::move(packed);
    } else {
        bytes.assign(e.size, '\0');
        z_stream z{};
        if (inflateInit2(&z, -MAX_WBITS) != Z_OK) {
            why = "the zip library cannot start";
            return false;
        }
        z.next_in = reinterpret_cast<Bytef*>(packed.data());
        z.avail_in = static_cast<uInt>(packed.size());
        z.next_out = reinterpret_cast<Bytef*>(bytes.data());
        z.avail_out = static_cast<uInt>(bytes.size());
        const int r = inflate(&z, Z_FINISH);
        const bool whole = r == Z_STREAM_END && z.total_out == e.size;
        inflateEnd(&z);
        if (!whole) {
            bytes.clear();
            why = name + " is damaged";
            return false;
        }
    }
    const uLong crc = crc32(crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef*>(bytes.data()),
                            static_cast<uInt>(bytes.size()));
    if (crc != e.crc) {
        bytes.clear();
        why = name + " is damaged";
        return false;
    }
    return true;
}

} // namespace plat
