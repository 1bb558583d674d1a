// Decoding the recording Listen plays before it is asked for.
#include "voice/ListenAhead.h"

#include "voice/VoiceStore.h"

TListenAhead::TListenAhead(std::unique_ptr<plat::OpusCodec> codec) : codec_(std::move(codec)) {}

TListenAhead::~TListenAhead() {
    Forget();
}

void TListenAhead::Forget() {
    if (running_.valid())
        running_.wait();
    running_ = {};
    sound_ = {};
    have_ = false;
    sentence_.clear();
}

void TListenAhead::Start(const TVoiceStore& store, const std::string& sentence) {
    Forget();
    std::string bytes, why;
    if (!codec_ || !store.ReadFile(sentence, bytes, why))
        return;
    sentence_ = sentence;
    running_ = std::async(std::launch::async, [codec = codec_.get(), bytes = std::move(bytes)] {
        Decoded d;
        d.ok = codec->Decode(bytes, d.samples, d.why);
        return d;
    });
}

void TListenAhead::Keep(const std::string& sentence, std::vector<int16_t> samples) {
    Forget();
    sentence_ = sentence;
    sound_.samples = std::move(samples);
    sound_.ok = true;
    have_ = true;
}

const std::vector<int16_t>* TListenAhead::Sound(const TVoiceStore& store,
                                                const std::string& sentence, std::string& why) {
    if (sentence != sentence_ || (!running_.valid() && !have_)) {
        Forget();
        sentence_ = sentence;
        std::string bytes;
        sound_.ok = codec_ ? store.ReadFile(sentence, bytes, sound_.why) &&
                                 codec_->Decode(bytes, sound_.samples, sound_.why)
                           : (sound_.why = "this build cannot play recorded voices", false);
        have_ = true;
    } else if (running_.valid()) {
        sound_ = running_.get();
        have_ = true;
    }
    if (!sound_.ok) {
        why = sound_.why;
        return nullptr;
    }
    return &sound_.samples;
}
