// The zip reader on zlib: the end record found in the archive's last
// 64 KB, the central directory read whole (each entry's name, method, sizes,
// CRC and where its local header stands), an entry's bytes inflated raw.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/ZipReader.h"

namespace plat {

class ZlibZipReader : public ZipReader {
public:
    // False, with the reason in Why, when In holds no directory it reads.
    bool Open(Stream& in, std::string& why);

    const std::vector<std::string>& Names() const override { return names_; }
    bool Read(const std::string& name, std::string& bytes, std::string& why,
              std::size_t limit) override;

private:
    struct Entry {
        uint16_t method = 0;
        uint32_t crc = 0;
        uint32_t packed = 0, size = 0;
        uint32_t header = 0; // where its local header starts
    };
    Stream* in_ = nullptr;
    std::vector<std::string> names_;
    std::vector<Entry> entries_; // as names_
};

} // namespace plat
