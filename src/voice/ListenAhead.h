// The recording of the sentence record mode is on, decoded ahead on a
// thread of its own, so that Listen plays it at once: decoding a long
// sentence's Opus file takes about as long as a tenth of a second, which a
// press would otherwise wait for. Start it as the sentence is reached (a take
// just kept is given by Keep); Sound then waits for the decoding when it is still running
// (or decodes at once when nothing was started for that sentence) and keeps
// the sound for the next Listen.
//
// Used from one thread; the decoding thread shares nothing with it but the
// file's bytes, read before it starts.
#pragma once
#include <cstdint>
#include <future>
#include <memory>
#include <string>
#include <vector>

#include "platform/OpusCodec.h"

class TVoiceStore;

class TListenAhead {
public:
    // Codec: the one it decodes with, kept (null: nothing is decoded).
    explicit TListenAhead(std::unique_ptr<plat::OpusCodec> codec);
    // Waits for a decoding still running.
    ~TListenAhead();
    TListenAhead(const TListenAhead&) = delete;
    TListenAhead& operator=(const TListenAhead&) = delete;

    // Starts decoding the recording of Sentence in Store, forgetting the one
    // before; nothing when it has none.
    void Start(const TVoiceStore& store, const std::string& sentence);
    // The sound of Sentence's recording in Store (mono, OpusCodec's rate):
    // what Start decoded, else decoded now. Nullptr, with the reason in Why,
    // when it has none or it cannot be read; valid until the next call.
    const std::vector<int16_t>* Sound(const TVoiceStore& store, const std::string& sentence,
                                      std::string& why);
    // Samples (mono, OpusCodec's rate), a take just kept, as the sound of
    // Sentence: no decoding needed.
    void Keep(const std::string& sentence, std::vector<int16_t> samples);
    // Forgets the sound (waiting for a decoding still running).
    void Forget();

private:
    struct Decoded {
        std::vector<int16_t> samples;
        std::string why; // when it failed
        bool ok = false;
    };

    std::unique_ptr<plat::OpusCodec> codec_;
    std::string sentence_; // what Running or Sound is for
    std::future<Decoded> running_;
    Decoded sound_;
    bool have_ = false;
};
