// A zip packer: makes the bytes of a zip archive in memory from named
// entries, in the order given, each stored as it is or deflated.
#pragma once
#include <memory>
#include <string>
#include <vector>

namespace plat {

struct ZipEntry {
    std::string Name;    // the path inside the archive, "/" between folders
    std::string Bytes;   // the entry's content
    bool Stored = false; // kept uncompressed (else deflated)
};

class ZipPacker {
public:
    virtual ~ZipPacker() = default;
    // The archive of Entries into Zip, replacing what it held. False, with
    // the reason in Why, on any failure (a repeated name among them).
    virtual bool Pack(const std::vector<ZipEntry>& entries, std::string& zip, std::string& why) = 0;
};

// The packer of this build (libzip when the build found it); nullptr when
// the build has none.
std::unique_ptr<ZipPacker> CreateZipPacker();

} // namespace plat
