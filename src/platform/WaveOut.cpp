// The header bookkeeping that every wave-out device shares.
#include "platform/WaveOut.h"

namespace plat {

namespace {
uint64_t nextWaveOutId = 0; // the user-interface thread opens every device
}

WaveOut::WaveOut() : id_(++nextWaveOutId) {}

bool WaveOut::Prepare(WaveHeader& header) {
    if (header.flags & kWhdrInQueue)
        return false;
    header.flags |= kWhdrPrepared;
    return true;
}

bool WaveOut::Unprepare(WaveHeader& header) {
    if (header.flags & kWhdrInQueue)
        return false;
    header.flags &= ~kWhdrPrepared;
    return true;
}

uint32_t WaveOut::Passes(const WaveHeader& header) {
    const uint32_t loop = kWhdrBeginLoop | kWhdrEndLoop;
    return (header.flags & loop) == loop && header.loops > 1 ? header.loops : 1;
}

} // namespace plat
