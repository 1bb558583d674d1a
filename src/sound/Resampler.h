// Sound at one sample rate made into the same sound at another, so that
// pieces said at different rates (a recorded voice and the game's) can share
// one track. Band-limited interpolation (a windowed sinc, 16 zero crossings
// each side), its band ending a little below half the lower rate, so that
// going down does not fold high sounds back into those heard.
//
// A piece is converted whole: what lies before its first sample and after
// its last counts as silence.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

class TResampler {
public:
    // Count signed 16-bit mono samples at From frames per second, as
    // Count * To / From samples (rounded to the nearest) at To. The samples
    // as they are when the rates are equal; none when either rate is 0.
    static std::vector<int16_t> Convert(const int16_t* samples, std::size_t count, uint32_t from,
                                        uint32_t to);
};
