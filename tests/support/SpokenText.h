// What the reader is saying, as a test hears it: with the null speech engine
// a sentence's samples carry its text, so the sentence at the head of the
// playing test device's queue can be read back.
#pragma once
#include <cstdint>
#include <string>

#include "support/NullSpeechSynth.h"
#include "support/TestWaveOutService.h"

namespace fbwtest {

// The text of the sentence Service's playing device plays; "" when none plays.
inline std::string SpokenText(TestWaveOutService& service) {
    TestWaveOutService::Device* d = service.Playing();
    if (!d || d->queue.empty())
        return "";
    const plat::WaveHeader* h = d->queue.front();
    return NullSpeechSynth::TextOf(reinterpret_cast<const int16_t*>(h->data),
                                         h->bufferLength / 2);
}

} // namespace fbwtest
