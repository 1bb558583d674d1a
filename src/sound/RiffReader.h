// The RIFF chunk reader: finds chunks in a stream by descending into them and
// ascending out again. A chunk whose size runs past the end of its parent (or
// of the stream) is never found, so that sizes taken from a file can be
// trusted for allocation once Descend has accepted them.
#pragma once
#include <cstddef>

#include "platform/Stream.h"
#include "sound/RiffChunk.h"

class TRiffReader {
public:
    // Reads Source, which must outlive the reader; starts at its position.
    explicit TRiffReader(plat::Stream& source) : source_(source) {}

    enum class Find {
        Riff,  // a "RIFF" chunk whose form type is Chunk.formType
        Chunk, // a chunk whose id is Chunk.id
    };
    // Searches from the current position to the end of Parent (of the stream
    // when Parent is nullptr), skipping other chunks. On success fills Chunk and
    // leaves the position at its data (past the form type of a RIFF chunk).
    // The position is unspecified after a failure.
    bool Descend(TRiffChunk& chunk, const TRiffChunk* parent, Find how);
    // Moves past the end of Chunk and its pad byte (to the end of the stream
    // when the pad byte is missing).
    bool Ascend(const TRiffChunk& chunk);
    // Reads up to Count bytes at the current position; returns how many were read.
    std::size_t Read(void* buffer, std::size_t count) { return source_.Read(buffer, count); }

private:
    plat::Stream& source_;
};
