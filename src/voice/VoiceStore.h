// A story's recorded voice: an Ogg Opus file per sentence in the story's
// voice folder (TStoryVoice, "<story file name> voice") and an index naming
// each file by the text of its sentence, with where its words are in it.
// Because the index is keyed by the sentence's text (its words with single
// spaces between them), a story edited or told again keeps the recordings of
// the sentences that stayed as they were.
//
// The index ("voice.idx", Latin-1, a line each):
//   fablewhirl voice 1
//   <file> TAB <start>-<end> <start>-<end> ... TAB <sentence>
// with each word's milliseconds [start, end) from the clip's first sample
// (none when not known). Lines that cannot be read are passed over. Every
// file is written whole beside its place and then given its name (the index
// replaced, a clip always under a new name), so that a kill or a full disk
// leaves the voice as it was: a new clip is named in the index only once it
// is whole, and an old one removed only once the index no longer names it.
#pragma once
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/OpusCodec.h"
#include "voice/VoiceAligner.h"

class TVoiceStore {
public:
    struct Clip {
        std::string File; // in the voice folder
        // Seconds from the clip's first sample: one span for each run of the
        // sentence's key between spaces, or none when not known.
        std::vector<TVoiceAligner::Span> Words;
    };

    // The store of the story at StoryPath, its sounds read and written with
    // Codec (nullptr: the index can be read, no sound). Reads the index.
    TVoiceStore(std::string storyPath, plat::OpusCodec* codec);

    // The key of a sentence's text: its runs of non-spaces joined by single
    // spaces (a marker "\n" counts as a space).
    static std::string Key(const std::string& sentence);

    // Reads the index again (no index: an empty store).
    void Load();
    std::size_t Count() const { return clips_.size(); }
    // The keys of the sentences recorded, in no order.
    std::vector<std::string> Sentences() const;
    // The clip of Sentence; nullptr when it has none.
    const Clip* Find(const std::string& sentence) const;
    // Decodes the clip of Sentence into Samples (mono, OpusCodec::kSampleRate).
    // False, with the reason in Why, when it has none or it cannot be read.
    bool Read(const std::string& sentence, std::vector<int16_t>& samples, std::string& why) const;
    // The bytes of the Ogg Opus file of Sentence, to be decoded elsewhere.
    // False, with the reason in Why, when it has none or it cannot be read.
    bool ReadFile(const std::string& sentence, std::string& bytes, std::string& why) const;
    // Keeps Count samples (mono at SampleRate) as the recording of Sentence,
    // with the times of its words, in place of any it had. Raises
    // std::runtime_error ("Voice: ...", the system's reason) when it cannot;
    // the store is then as it was.
    void Put(const std::string& sentence, const int16_t* samples, std::size_t count,
             uint32_t sampleRate, const std::vector<TVoiceAligner::Span>& words);
    // Forgets the recording of Sentence; raises as Put does. The last one
    // gone, the folder goes too.
    void Remove(const std::string& sentence);

    const std::string& Folder() const { return folder_; }

private:
    // Writes the index of Clips; false with Why.
    bool WriteIndex(const std::unordered_map<std::string, Clip>& clips, std::string& why) const;

    std::string storyPath_;
    std::string folder_; // ends with a separator
    plat::OpusCodec* codec_;
    std::unordered_map<std::string, Clip> clips_; // by the sentence's key
    int next_ = 1;                                // the number of the next clip's file
};
