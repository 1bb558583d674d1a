// The zip packer on libzip: the archive built in a memory source and read
// back whole.
#pragma once
#include "platform/ZipPacker.h"

namespace plat {

class LibZipPacker : public ZipPacker {
public:
    bool Pack(const std::vector<ZipEntry>& entries, std::string& zip, std::string& why) override;
};

} // namespace plat
