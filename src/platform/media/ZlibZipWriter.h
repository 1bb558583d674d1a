// The zip writer on zlib: each entry's local header written first with its
// sizes and CRC left open and filled in when the entry ends (the stream is
// seekable), so that no data descriptor follows any entry; raw deflate at
// zlib's default level. No ZIP64: an archive that would pass 4 GB or 65,535
// entries fails.
#pragma once
#include <memory>
#include <vector>

#include "platform/ZipWriter.h"

namespace plat {

class ZlibZipWriter : public ZipWriter {
public:
    ZlibZipWriter(Stream& out, std::time_t modified);
    ~ZlibZipWriter() override;

    bool Begin(const std::string& name, bool stored) override;
    bool Write(std::string_view bytes) override;
    bool Rewrite(std::size_t index, int64_t offset, std::string_view bytes) override;
    bool Finish() override;
    const std::string& Failure() const override { return failure_; }

private:
    struct Entry {
        std::string name;
        bool stored = false;
        uint64_t header = 0; // where its local header starts
        uint64_t data = 0;   // where its bytes start
        uint64_t size = 0;   // bytes given
        uint64_t packed = 0; // bytes in the archive
        uint32_t crc = 0;
        bool crcStale = false; // rewritten: the CRC is read back at the end
    };
    struct Deflater;

    bool Fail(const std::string& why);
    bool Put(const void* bytes, std::size_t count);
    bool EndEntry();
    // False when the archive failed or is finished; else ends the entry
    // being written, if any.
    bool ReadyForMore();
    // The CRC of entry E's bytes read back from the stream.
    bool ReadBackCrc(Entry& e);
    // Writes E's CRC and sizes into its local header.
    bool PatchHeader(const Entry& e);

    Stream& out_;
    uint16_t dosTime_ = 0, dosDate_ = 0;
    std::vector<Entry> entries_;
    std::unique_ptr<Deflater> deflater_; // for the open entry, when deflated
    bool open_ = false;                  // an entry is begun and not ended
    bool finished_ = false;
    std::string failure_;
};

} // namespace plat
