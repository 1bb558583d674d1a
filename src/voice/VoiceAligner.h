// Where the words of a recording lie, found by the game's voice saying the
// same words: the game's voice (the reference) and the recording become
// speech features (TMfcc), their pauses are left out (readers pause where
// they like), the speech of the two is warped onto each other (TTimeWarp),
// and each word the reference says is carried through the warp onto the
// recording. Then the reader's own pauses have their say: a word start near
// the end of a pause (within a second) moves there, each pause taken by one
// start at most, in order, chosen together so that the starts move least
// (a pause left untaken or a start left where the warp put it costs as much
// as 0.3 s of moving). A boundary in a pause moves to the speech beside it.
//
// The reference is given as the voice makes it, sentence after sentence with
// pauses between; the recording as it is read. Only features are kept, about
// 2 kB a second of each, so that a long story costs little memory.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "voice/Mfcc.h"

class TVoiceAligner {
public:
    // Seconds [Start, End) from the first sample of a sound.
    struct Span {
        double Start = 0;
        double End = 0;
    };

    // Appends to the reference Count samples at SampleRate (the rate of
    // every part of the reference) and the spans of the words said in them
    // (seconds from their first sample). Returns the words' first index.
    int AddReference(const int16_t* samples, std::size_t count, uint32_t sampleRate,
                     const std::vector<Span>& words);
    // Appends Ms milliseconds of silence to the reference.
    void AddReferencePause(int ms);
    // Appends Count samples at SampleRate (the rate of the whole recording)
    // to the recording.
    void AddRecording(const int16_t* samples, std::size_t count, uint32_t sampleRate);

    // The reference's words, in order, as they lie in the recording (seconds
    // from its first sample): each starts no earlier than the one before
    // ends. All zero when either sound is empty. Ends the input.
    std::vector<Span> Align();

    // Reference and recording frames, for the cost's accounting.
    int ReferenceFrames() const { return ref_ ? ref_->FrameCount() : 0; }
    int RecordingFrames() const { return rec_ ? rec_->FrameCount() : 0; }

private:
    std::unique_ptr<TMfcc> ref_, rec_;
    uint64_t refSamples_ = 0; // in the reference so far
    uint32_t refRate_ = 0;
    std::vector<Span> words_; // in the reference
};
