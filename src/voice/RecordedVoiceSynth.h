// The voice a story is read aloud with when a grown-up has recorded some of
// its sentences: a recorded sentence plays from its recording, its words lit
// from the times found when it was recorded; every other sentence is said by
// the game's voice. The reader (TReadAloud) takes it as its synthesizer, so
// it reads the story mixed, sentence by sentence, without knowing which is
// which.
//
// A recording keeps its own pace: the stretch asked for does not reach it
// (Recorded tells the window, which fades the pace control while such a
// sentence is read). A sentence is found by its text (TVoiceStore::Key). The
// reader says a long first sentence in two parts (TReadAloud::SplitFirst): a
// part of a recorded sentence, its first words or its last, is cut from the
// recording halfway between two words.
//
// The words given to the reader are the sentence's runs between spaces that
// hold a letter or a digit (those the page lights), one token each.
#pragma once
#include <map>
#include <memory>
#include <string>

#include "platform/SpeechSynth.h"
#include "voice/VoiceStore.h"

class TRecordedVoiceSynth : public plat::SpeechSynth {
public:
    // Voice: the game's voice (nullptr: only recorded sentences are said).
    // Store: the story's recordings.
    TRecordedVoiceSynth(std::unique_ptr<plat::SpeechSynth> voice,
                        std::unique_ptr<TVoiceStore> store);
    // Voice over the recordings of the story at StoryPath, read with Codec
    // (a codec of its own, kept), for a thread that shares nothing with the
    // window (a talking book being made); the store is read now. Where
    // Codec is null (the build has none) or the story has no recording,
    // Voice alone.
    static std::unique_ptr<TRecordedVoiceSynth> Open(std::unique_ptr<plat::SpeechSynth> voice,
                                                     const std::string& storyPath,
                                                     std::unique_ptr<plat::OpusCodec> codec);
    // How many sentences have a recording.
    std::size_t Recordings() const { return store_ ? store_->Count() : 0; }

    using plat::SpeechSynth::Synthesize;
    bool Synthesize(const std::string& text, float stretch, plat::SpeechPcm& out) override;

    // Whether Sentence (or a part of one, as the reader says it) is read
    // from a recording.
    bool Recorded(const std::string& sentence) const;

private:
    // The clip Text is, or is the first or last words of: its key, and the
    // runs [First, First + Count) of the clip's sentence that Text holds.
    // Or the clip of the sentence Text is as it is said (a lone "&" given
    // as "and", TSpokenStory::SpeechOf): Said then. False when none.
    bool FindPart(const std::string& text, std::string& key, std::size_t& first, std::size_t& count,
                  bool* said = nullptr) const;

    std::unique_ptr<plat::SpeechSynth> voice_;
    std::unique_ptr<plat::OpusCodec> codec_; // the store's, when Open made it
    std::unique_ptr<TVoiceStore> store_;
    // The keys by the sentences as they are said, where the two differ;
    // made when first asked for, again when the store has grown.
    mutable std::map<std::string, std::string> saidKeys_;
    mutable std::size_t saidKeysOf_ = 0; // the store's count they were made from
};
