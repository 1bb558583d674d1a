// Writing a zip archive entry by entry with zlib.
#include "platform/media/ZlibZipWriter.h"

#include <zlib.h>

#include <algorithm>
#include <limits>

namespace plat {

namespace {

constexpr uint32_t kLocalSig = 0x04034b50;
constexpr uint32_t kCentralSig = 0x02014b50;
constexpr uint32_t kEndSig = 0x06054b50;
constexpr uint16_t kVersion = 20; // 2.0: deflate, folders
constexpr uint16_t kMadeByUnix = 3 << 8 | kVersion;
constexpr uint16_t kUtf8Names = 1 << 11;       // general purpose flag 11
constexpr uint32_t kFileMode = 0100644u << 16; // a regular file, rw-r--r--
constexpr uint64_t kMax32 = std::numeric_limits<uint32_t>::max();
constexpr std::size_t kBuffer = 1 << 16;

void Le16(std::string& out, uint32_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>(v >> 8 & 0xFF);
}
void Le32(std::string& out, uint32_t v) {
    Le16(out, v & 0xFFFF);
    Le16(out, v >> 16);
}

bool HasHighBytes(const std::string& s) {
    return std::any_of(s.begin(), s.end(), [](char c) { return c & 0x80; });
}

} // namespace

struct ZlibZipWriter::Deflater {
    z_stream z{};
    bool ready = false;
    std::string buffer = std::string(kBuffer, '\0');
    ~Deflater() {
        if (ready)
            deflateEnd(&z);
    }
};

ZlibZipWriter::ZlibZipWriter(Stream& out, std::time_t modified) : out_(out) {
    std::tm local{};
    if (modified > 0 && localtime_r(&modified, &local) && local.tm_year >= 80) {
        dosTime_ =
            static_cast<uint16_t>(local.tm_hour << 11 | local.tm_min << 5 | local.tm_sec / 2);
        dosDate_ = static_cast<uint16_t>((local.tm_year - 80) << 9 | (local.tm_mon + 1) << 5 |
                                         local.tm_mday);
    } else {
        dosDate_ = 1 << 5 | 1; // 1980-01-01
    }
}

ZlibZipWriter::~ZlibZipWriter() = default;

bool ZlibZipWriter::Fail(const std::string& why) {
    if (failure_.empty())
        failure_ = "zip: " + why;
    return false;
}

bool ZlibZipWriter::Put(const void* bytes, std::size_t count) {
    if (count && !out_.WriteExact(bytes, count))
        return Fail("the archive could not be written");
    return true;
}

bool ZlibZipWriter::ReadyForMore() {
    if (!failure_.empty())
        return false;
    if (finished_)
        return Fail("the archive is finished");
    if (open_ && !EndEntry())
        return false;
    return true;
}

bool ZlibZipWriter::Begin(const std::string& name, bool stored) {
    if (!ReadyForMore())
        return false;
    if (name.empty() || name.size() > 0xFFFF)
        return Fail("an entry has no name or too long a one");
    if (entries_.size() >= 0xFFFF)
        return Fail("too many entries");
    if (std::any_of(entries_.begin(), entries_.end(),
                    [&](const Entry& e) { return e.name == name; }))
        return Fail(name + ": the name is already in the archive");
    Entry e;
    e.name = name;
    e.stored = stored;
    const int64_t at = out_.Position();
    if (at < 0 || static_cast<uint64_t>(at) > kMax32)
        return Fail("the archive would pass 4 GB");
    e.header = static_cast<uint64_t>(at);
    std::string header;
    Le32(header, kLocalSig);
    Le16(header, kVersion);
    Le16(header, HasHighBytes(name) ? kUtf8Names : 0);
    Le16(header, stored ? 0 : Z_DEFLATED);
    Le16(header, dosTime_);
    Le16(header, dosDate_);
    Le32(header, 0); // the CRC and the sizes, filled in when the entry ends
    Le32(header, 0);
    Le32(header, 0);
    Le16(header, static_cast<uint32_t>(name.size()));
    Le16(header, 0); // no extra field
    header += name;
    if (!Put(header.data(), header.size()))
        return false;
    e.data = e.header + header.size();
    e.crc = static_cast<uint32_t>(crc32(0, nullptr, 0));
    if (!stored) {
        deflater_ = std::make_unique<Deflater>();
        if (deflateInit2(&deflater_->z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8,
                         Z_DEFAULT_STRATEGY) != Z_OK) {
            deflater_.reset();
            return Fail("zlib could not start");
        }
        deflater_->ready = true;
    }
    entries_.push_back(std::move(e));
    open_ = true;
    return true;
}

bool ZlibZipWriter::Write(std::string_view bytes) {
    if (!failure_.empty())
        return false;
    if (!open_)
        return Fail("no entry is begun");
    Entry& e = entries_.back();
    for (std::size_t at = 0; at < bytes.size();) {
        // zlib counts in 32 bits.
        const auto n = static_cast<uInt>(std::min<std::size_t>(bytes.size() - at, 1u << 30));
        const auto* p = reinterpret_cast<const Bytef*>(bytes.data() + at);
        e.crc = static_cast<uint32_t>(crc32(e.crc, p, n));
        if (e.stored) {
            if (!Put(p, n))
                return false;
            e.packed += n;
        } else {
            z_stream& z = deflater_->z;
            z.next_in = const_cast<Bytef*>(p);
            z.avail_in = n;
            while (z.avail_in > 0) {
                z.next_out = reinterpret_cast<Bytef*>(deflater_->buffer.data());
                z.avail_out = static_cast<uInt>(deflater_->buffer.size());
                if (deflate(&z, Z_NO_FLUSH) == Z_STREAM_ERROR)
                    return Fail(e.name + ": zlib failed");
                const std::size_t made = deflater_->buffer.size() - z.avail_out;
                if (!Put(deflater_->buffer.data(), made))
                    return false;
                e.packed += made;
            }
        }
        e.size += n;
        at += n;
    }
    if (e.data + e.packed > kMax32 || e.size > kMax32)
        return Fail("the archive would pass 4 GB");
    return true;
}

bool ZlibZipWriter::EndEntry() {
    open_ = false;
    Entry& e = entries_.back();
    if (!e.stored) {
        z_stream& z = deflater_->z;
        z.next_in = nullptr;
        z.avail_in = 0;
        for (int status = Z_OK; status != Z_STREAM_END;) {
            z.next_out = reinterpret_cast<Bytef*>(deflater_->buffer.data());
            z.avail_out = static_cast<uInt>(deflater_->buffer.size());
            status = deflate(&z, Z_FINISH);
            if (status == Z_STREAM_ERROR)
                return Fail(e.name + ": zlib failed");
            const std::size_t made = deflater_->buffer.size() - z.avail_out;
            if (!Put(deflater_->buffer.data(), made))
                return false;
            e.packed += made;
        }
        deflater_.reset();
    }
    if (e.data + e.packed > kMax32)
        return Fail("the archive would pass 4 GB");
    if (e.crcStale && !ReadBackCrc(e))
        return false;
    return PatchHeader(e);
}

bool ZlibZipWriter::ReadBackCrc(Entry& e) {
    std::string buffer(kBuffer, '\0');
    uLong crc = crc32(0, nullptr, 0);
    if (!out_.Seek(static_cast<int64_t>(e.data)))
        return Fail(e.name + ": the archive could not be read back");
    for (uint64_t left = e.packed; left > 0;) {
        const auto n = static_cast<std::size_t>(std::min<uint64_t>(left, buffer.size()));
        if (!out_.ReadExact(buffer.data(), n))
            return Fail(e.name + ": the archive could not be read back");
        crc = crc32(crc, reinterpret_cast<const Bytef*>(buffer.data()), static_cast<uInt>(n));
        left -= n;
    }
    e.crc = static_cast<uint32_t>(crc);
    e.crcStale = false;
    return true;
}

bool ZlibZipWriter::PatchHeader(const Entry& e) {
    const int64_t end = out_.Position();
    std::string fields;
    Le32(fields, e.crc);
    Le32(fields, static_cast<uint32_t>(e.packed));
    Le32(fields, static_cast<uint32_t>(e.size));
    if (!out_.Seek(static_cast<int64_t>(e.header + 14)) || !Put(fields.data(), fields.size()) ||
        !out_.Seek(end))
        return Fail(e.name + ": the archive could not be written");
    return true;
}

bool ZlibZipWriter::Rewrite(std::size_t index, int64_t offset, std::string_view bytes) {
    if (!failure_.empty())
        return false;
    if (finished_ || index >= entries_.size() || !entries_[index].stored || offset < 0 ||
        static_cast<uint64_t>(offset) + bytes.size() > entries_[index].size)
        return Fail("nothing there to rewrite");
    Entry& e = entries_[index];
    const int64_t end = out_.Position();
    if (!out_.Seek(static_cast<int64_t>(e.data) + offset) || !Put(bytes.data(), bytes.size()) ||
        !out_.Seek(end))
        return Fail(e.name + ": the archive could not be written");
    e.crcStale = true;
    // An entry already ended gets its header now; the open one when it ends.
    if (!(open_ && index + 1 == entries_.size()))
        return ReadBackCrc(e) && out_.Seek(end) && PatchHeader(e);
    return true;
}

bool ZlibZipWriter::Finish() {
    if (!ReadyForMore())
        return false;
    const int64_t start = out_.Position();
    std::string directory;
    for (const Entry& e : entries_) {
        Le32(directory, kCentralSig);
        Le16(directory, kMadeByUnix);
        Le16(directory, kVersion);
        Le16(directory, HasHighBytes(e.name) ? kUtf8Names : 0);
        Le16(directory, e.stored ? 0 : Z_DEFLATED);
        Le16(directory, dosTime_);
        Le16(directory, dosDate_);
        Le32(directory, e.crc);
        Le32(directory, static_cast<uint32_t>(e.packed));
        Le32(directory, static_cast<uint32_t>(e.size));
        Le16(directory, static_cast<uint32_t>(e.name.size()));
        Le16(directory, 0); // extra field
        Le16(directory, 0); // comment
        Le16(directory, 0); // disk
        Le16(directory, 0); // internal attributes
        Le32(directory, kFileMode);
        Le32(directory, static_cast<uint32_t>(e.header));
        directory += e.name;
    }
    if (start < 0 || static_cast<uint64_t>(start) + directory.size() > kMax32)
        return Fail("the archive would pass 4 GB");
    const auto size = static_cast<uint32_t>(directory.size());
    Le32(directory, kEndSig);
    Le16(directory, 0); // this disk
    Le16(directory, 0); // the directory's disk
    Le16(directory, static_cast<uint32_t>(entries_.size()));
    Le16(directory, static_cast<uint32_t>(entries_.size()));
    Le32(directory, size);
    Le32(directory, static_cast<uint32_t>(start));
    Le16(directory, 0); // no comment
    if (!Put(directory.data(), directory.size()))
        return false;
    finished_ = true;
    return true;
}

} // namespace plat
