// The RIFF chunk reader.
#include "sound/RiffReader.h"

#include <cstring>

namespace {

uint32_t Le32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

} // namespace

bool TRiffReader::Descend(TRiffChunk& chunk, const TRiffChunk* parent, Find how) {
    const int64_t limit = parent ? parent->End() : source_.Size();
    if (limit > source_.Size())
        return false;
    int64_t pos = source_.Position();
    if (parent && pos < parent->dataOffset)
        return false;
    while (pos + 8 <= limit) {
        unsigned char head[8];
        if (!source_.Seek(pos) || !source_.ReadExact(head, sizeof head))
            return false;
        const uint32_t id = Le32(head);
        const uint32_t size = Le32(head + 4);
        const int64_t data = pos + 8;
        if (data + static_cast<int64_t>(size) > limit)
            return false; // runs past its container: the file is cut short or damaged
        uint32_t formType = 0;
        const bool hasForm = id == FourCC("RIFF") || id == FourCC("LIST");
        if (hasForm && size >= 4) {
            unsigned char form[4];
            if (!source_.ReadExact(form, sizeof form))
                return false;
            formType = Le32(form);
        }
        const bool match = how == Find::Riff
                               ? id == FourCC("RIFF") && size >= 4 && formType == chunk.formType
                               : id == chunk.id;
        if (match) {
            chunk.id = id;
            chunk.size = size;
            chunk.formType = formType;
            chunk.dataOffset = data;
            return source_.Seek(hasForm && size >= 4 ? data + 4 : data);
        }
        pos = data + size + (size & 1);
    }
    return false;
}

bool TRiffReader::Ascend(const TRiffChunk& chunk) {
    int64_t end = chunk.End() + (chunk.size & 1);
    if (end > source_.Size())
        end = source_.Size();
    return source_.Seek(end);
}
