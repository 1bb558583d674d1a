// Library file building.
#include "image/RL8FileWriter.h"

#include "image/RL8Exception.h"
#include "platform/Files.h"
#include "platform/MemoryStream.h"

TRL8FileWriter::TRL8FileWriter(const std::vector<uint8_t>& palette) {
    bytes_ = std::string("RL\x08\x00\x02\x00", 6);
    std::string pal(reinterpret_cast<const char*>(palette.data()),
                    palette.size() < 1024 ? palette.size() : 1024);
    pal.resize(1024, '\0');
    bytes_ += pal;
}

void TRL8FileWriter::AddImage(TRL8Image& image) {
    plat::MemoryStream record;
    image.WriteRecord(record);
    bytes_ += record.Data();
}

bool TRL8FileWriter::Save(const std::string& path) const {
    return plat::WriteFileAtomic(path, bytes_);
}
