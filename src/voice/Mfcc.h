// Speech features for matching two voices saying the same words: one vector
// of mel-frequency cepstral coefficients every 10 ms (a 25 ms Hamming window
// from each frame's start), computed as the sound comes in, so that a long
// recording is never held whole. The mel bands cover 100 Hz .. 7.6 kHz, so
// that voices recorded at 16 kHz and above give comparable figures (below
// 16 kHz the bands stop short of the rate's half).
//
// Each frame holds kCepstra coefficients (c1 .. c4: the broad shape of the
// spectrum, which two voices saying the same sound share more than its
// detail; the loudness c0 left out) followed by its log energy; Normalise
// makes every dimension of the frames zero-mean and unit-variance over the
// utterance, which takes away most of what a microphone and a voice add.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

class TMfcc {
public:
    static constexpr int kCepstra = 4;
    static constexpr int kDims = kCepstra + 1;
    static constexpr int kFramesPerSecond = 100;

    // SampleRate: frames per second of the sound to come (8000 and up).
    explicit TMfcc(uint32_t sampleRate);

    // Adds Count samples after those given so far; frames whose window is
    // whole are computed.
    void Push(const int16_t* samples, std::size_t count);
    // Silence given for Ms milliseconds (a pause between sentences).
    void PushSilence(int ms);
    // Computes the frames left, their window padded with silence; no more
    // sound may follow.
    void Finish();

    // Frames computed: Frames()[k * kDims + d] is dimension D of frame K,
    // which starts at K / kFramesPerSecond seconds.
    const std::vector<float>& Frames() const { return frames_; }
    int FrameCount() const { return static_cast<int>(frames_.size() / kDims); }
    // Each frame's energy in decibels (before Normalise), for telling speech
    // from silence.
    const std::vector<float>& EnergyDb() const { return energyDb_; }

    // Every dimension zero-mean, unit-variance over the frames.
    void Normalise();

private:
    void Feed(const int16_t* samples, std::size_t count);
    void Frame(const float* window);

    uint32_t rate_;
    int window_;  // samples in a frame's window
    int fftSize_; // power of two >= window_
    std::vector<float> hamming_;
    std::vector<std::vector<float>> bands_; // weights of each mel band over the FFT bins
    std::vector<int> bandFirst_;            // first bin of each band
    std::vector<float> dct_;                // kCepstra x bands
    std::vector<float> pending_;            // samples from the next frame's start on
    uint64_t samplesIn_ = 0;                // sound given
    uint64_t fed_ = 0;                      // sound given and silence padded
    uint64_t nextStart_ = 0;                // sample at which the next frame starts
    uint64_t pendingFirst_ = 0;             // sample index of pending_[0]
    std::vector<float> frames_;
    std::vector<float> energyDb_;
    std::vector<float> re_, im_; // FFT work
};
