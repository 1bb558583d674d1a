// One sentence recorded, made ready, timed and kept.
#include "voice/SentenceRecorder.h"

#include <stdexcept>

#include "voice/StoryAligner.h"
#include "voice/TakeCleanup.h"

TSentenceRecorder::TSentenceRecorder(plat::AudioInput& microphone, plat::SpeechSynth& voice,
                                     plat::LoudnessMeter* meter, TVoiceStore& store)
    : microphone_(microphone), voice_(voice), meter_(meter), store_(store) {}

TSentenceRecorder::~TSentenceRecorder() {
    Cancel();
}

bool TSentenceRecorder::Record(std::string* why) {
    Cancel();
    take_.clear();
    ended_.clear();
    plat::AudioInput::Handlers handlers;
    handlers.Samples = [this](const int16_t* s, std::size_t n) {
        take_.insert(take_.end(), s, s + n);
    };
    handlers.Level = [this](float peak) { level_ = peak; };
    handlers.Ended = [this](const std::string& reason) {
        ended_ = reason;
        level_ = 0;
    };
    return microphone_.Start(std::move(handlers), why);
}

void TSentenceRecorder::Cancel() {
    microphone_.Stop();
    level_ = 0;
}

bool TSentenceRecorder::Stop(const std::string& sentence, std::string* why) {
    Cancel();
    std::vector<int16_t> take = std::move(take_);
    take_.clear();
    const auto fail = [&](const std::string& reason) {
        if (why)
            *why = reason;
        return false;
    };
    constexpr uint32_t kRate = plat::AudioInput::kSampleRate;
    if (!TTakeCleanup::Clean(take, kRate, meter_).Speech)
        return fail("nothing was heard");
    // The words: the sentence alone said by the game's voice, warped onto
    // the take; one span for each run of the sentence's text. A sentence the
    // voice cannot say keeps its take without them.
    std::vector<TVoiceAligner::Span> words;
    try {
        TStoryAligner aligner;
        aligner.Say(voice_, TVoiceStore::Key(sentence));
        aligner.AddRecording(take.data(), take.size(), kRate);
        for (const TStoryAligner::Word& w : aligner.Align())
            words.push_back({w.Start, w.Stop});
    } catch (const std::runtime_error&) {
        words.clear();
    }
    try {
        store_.Put(sentence, take.data(), take.size(), kRate, words);
    } catch (const std::runtime_error& e) {
        return fail(e.what());
    }
    kept_ = std::move(take);
    return true;
}
