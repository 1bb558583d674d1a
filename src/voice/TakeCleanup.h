// A recorded take made ready to keep: the silence before the first word and
// after the last cut away (a little kept, so that soft sounds like "h" and
// "f" stay whole), the two ends faded in and out over a few milliseconds so
// that they do not click, and the loudness brought to one level for every
// sentence, so that a story read over several evenings sounds even.
//
// The level is -20 LUFS integrated (EBU R128, K-weighted and gated): the
// loudness of speech on a small speaker, a little above broadcast's -23
// LUFS since a recorded sentence has no music or effects to leave room for.
// The gain is held so that no sample passes -1 dBFS; a take measured too
// quiet to tell (no block passes the gate) or measured by no meter keeps its
// level.
#pragma once
#include <cstdint>
#include <vector>

#include "platform/LoudnessMeter.h"

class TTakeCleanup {
public:
    static constexpr double kTargetLufs = -20;
    static constexpr double kPeakDbfs = -1;
    static constexpr int kFadeMs = 8;
    // Sound kept before the first and after the last frame of speech.
    static constexpr int kLeadMs = 120;
    static constexpr int kTailMs = 200;

    struct Result {
        bool Speech = false; // the take has speech; false: it was left as it was
        uint64_t Begin = 0;  // samples [Begin, End) of the take that were kept
        uint64_t End = 0;
        double GainDb = 0; // the gain applied
    };

    // Cleans the take Samples (signed 16-bit mono at SampleRate) in place,
    // measured by Meter (nullptr: no change of level). A take without
    // speech (silence or hum alone) is left untouched.
    static Result Clean(std::vector<int16_t>& samples, uint32_t sampleRate,
                        plat::LoudnessMeter* meter);
};
