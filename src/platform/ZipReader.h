// A zip reader: finds an archive's entries through its central directory
// and gives any one whole, stored or deflated, its CRC checked. For the
// archives this program writes and their like: no ZIP64, no encryption, no
// other compression (such an entry fails to read, with the reason).
#pragma once
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "platform/Stream.h"

namespace plat {

class ZipReader {
public:
    virtual ~ZipReader() = default;
    // The entries' names in the directory's order.
    virtual const std::vector<std::string>& Names() const = 0;
    // Entry Name's bytes into Bytes. False, with the reason in Why, when there
    // is none, it would hold more than Limit bytes, or it cannot be read
    // whole and as written.
    virtual bool Read(const std::string& name, std::string& bytes, std::string& why,
                      std::size_t limit) = 0;
};

// The reader of the archive In (which must allow seeking, and outlive the
// reader); nullptr, with the reason in Why, when In is no zip archive, its
// directory is damaged, or the build reads none (it does when zlib was found).
std::unique_ptr<ZipReader> OpenZipReader(Stream& in, std::string& why);

} // namespace plat
