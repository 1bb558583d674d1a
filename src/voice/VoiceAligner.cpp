// Word times of a recording, carried over from the game's voice.
#include "voice/VoiceAligner.h"

#include <algorithm>
#include <cmath>

#include "voice/TimeWarp.h"

namespace {
// How far a boundary looks back or on for the edge of a pause, in frames.
constexpr int kSnapFrames = 12;
// Frames of a pause kept for the warp: readers pause where they like, so a
// longer pause is no clue to where the words are.
constexpr int kPauseKept = 0;
constexpr float kDeltaWeight = 1;

// The energy under which a frame of the recording counts as a pause: a
// quarter of the way from its quiet floor (5th percentile) to its speech
// (95th), in decibels.
float PauseLevel(std::vector<float> db) {
    if (db.empty())
        return 0;
    const auto at = [&](double q) {
        auto it = db.begin() + static_cast<std::ptrdiff_t>(q * static_cast<double>(db.size() - 1));
        std::nth_element(db.begin(), it, db.end());
        return *it;
    };
    const float floor = at(0.05), speech = at(0.95);
    return floor + 0.25f * (speech - floor);
}
// The frames kept for the warp (a pause cut to its first kPauseKept
// frames), and for each frame the index among them of the last one kept at
// or before it.
struct Kept {
    std::vector<int> frames;
    std::vector<int> index;
};
Kept KeepSpeech(const std::vector<float>& db, float pause) {
    Kept k;
    int run = 0;
    for (std::size_t f = 0; f < db.size(); ++f) {
        run = db[f] < pause ? run + 1 : 0;
        if (run <= kPauseKept)
            k.frames.push_back(static_cast<int>(f));
        k.index.push_back(static_cast<int>(k.frames.size()) - 1);
    }
    return k;
}

// The frames of Features named by Frames, in order.
std::vector<float> Pick(const std::vector<float>& features, const std::vector<int>& frames) {
    std::vector<float> out;
    out.reserve(frames.size() * TMfcc::kDims);
    for (int f : frames) {
        const auto* p = features.data() + static_cast<std::size_t>(f) * TMfcc::kDims;
        out.insert(out.end(), p, p + TMfcc::kDims);
    }
    return out;
}
// Each frame followed by how its features change (the slope over two
// frames each way), which tells a word's sounds apart better than the
// frames alone.
constexpr int kWarpDims = 2 * TMfcc::kDims;
std::vector<float> WithDeltas(const std::vector<float>& frames) {
    const int n = static_cast<int>(frames.size() / TMfcc::kDims);
    std::vector<float> out(static_cast<std::size_t>(n) * kWarpDims);
    const auto at = [&](int k, int d) {
        return frames[static_cast<std::size_t>(std::clamp(k, 0, n - 1)) * TMfcc::kDims + d];
    };
    for (int k = 0; k < n; ++k)
        for (int d = 0; d < TMfcc::kDims; ++d) {
            float* o = &out[static_cast<std::size_t>(k) * kWarpDims];
            o[d] = at(k, d);
            o[TMfcc::kDims + d] =
                kDeltaWeight * ((at(k + 1, d) - at(k - 1, d)) + 2 * (at(k + 2, d) - at(k - 2, d))) /
                10;
        }
    return out;
}
} // namespace

int TVoiceAligner::AddReference(const int16_t* samples, std::size_t count, uint32_t sampleRate,
                                const std::vector<Span>& words) {
    if (!ref_) {
        ref_ = std::make_unique<TMfcc>(sampleRate);
        refRate_ = sampleRate;
    }
    const double at = static_cast<double>(refSamples_) / refRate_;
    const int first = static_cast<int>(words_.size());
    for (const Span& w : words)
        words_.push_back({at + w.Start, at + w.End});
    ref_->Push(samples, count);
    refSamples_ += count;
    return first;
}

void TVoiceAligner::AddReferencePause(int ms) {
    if (!ref_)
        return; // the first sentence's own lead-in stands for it
    const std::vector<int16_t> silence(static_cast<std::size_t>(refRate_) * ms / 1000, 0);
    AddReference(silence.data(), silence.size(), refRate_, {});
}

void TVoiceAligner::AddRecording(const int16_t* samples, std::size_t count, uint32_t sampleRate) {
    if (!rec_)
        rec_ = std::make_unique<TMfcc>(sampleRate);
    rec_->Push(samples, count);
}

std::vector<TVoiceAligner::Span> TVoiceAligner::Align() {
    std::vector<Span> out(words_.size());
    if (!ref_ || !rec_)
        return out;
    ref_->Finish();
    rec_->Finish();
    const int n = ref_->FrameCount(), m = rec_->FrameCount();
    if (n == 0 || m == 0)
        return out;
    std::vector<std::pair<int, int>> path;
    const std::vector<float>& db = rec_->EnergyDb();
    const float pause = PauseLevel(db);
    const auto silent = [&](int j) { return db[static_cast<std::size_t>(j)] < pause; };
    const Kept refKept = KeepSpeech(ref_->EnergyDb(), PauseLevel(ref_->EnergyDb()));
    const Kept recKept = KeepSpeech(db, pause);
    ref_->Normalise();
    rec_->Normalise();
    {
        // Warped: the frames kept, each pause cut short.
        const std::vector<float> a = WithDeltas(Pick(ref_->Frames(), refKept.frames));
        const std::vector<float> b = WithDeltas(Pick(rec_->Frames(), recKept.frames));
        const int ka = static_cast<int>(refKept.frames.size());
        const int kb = static_cast<int>(recKept.frames.size());
        path = TTimeWarp::Warp({a.data(), ka, kWarpDims}, {b.data(), kb, kWarpDims});
    }
    // The first and last recording frame matched to each reference frame
    // kept.
    const int nk = static_cast<int>(refKept.frames.size());
    std::vector<int> firstJ(static_cast<std::size_t>(nk), m),
        lastJ(static_cast<std::size_t>(nk), -1);
    for (const auto& [i, j] : path) {
        const int f = recKept.frames[static_cast<std::size_t>(j)];
        firstJ[i] = std::min(firstJ[i], f);
        // Through the pause cut short: up to the frame before the next kept one.
        const int next = static_cast<std::size_t>(j) + 1 < recKept.frames.size()
                             ? recKept.frames[static_cast<std::size_t>(j) + 1]
                             : m;
        lastJ[i] = std::max(lastJ[i], next - 1);
    }
    const auto keptOf = [&](int frame) {
        return std::max(0, refKept.index[static_cast<std::size_t>(frame)]);
    };
    constexpr double kFrame = 1.0 / TMfcc::kFramesPerSecond;
    int floorJ = 0; // no word starts before the one before it ends
    for (std::size_t w = 0; w < words_.size(); ++w) {
        const int s = std::clamp(static_cast<int>(std::lround(words_[w].Start / kFrame)), 0, n - 1);
        const int e = std::clamp(static_cast<int>(std::lround(words_[w].End / kFrame)), s + 1, n);
        int start = std::max(firstJ[keptOf(s)], floorJ);
        int end = std::max(lastJ[keptOf(e - 1)] + 1, start + 1);
        end = std::min(end, m);
        start = std::min(start, end - 1);
        // A start in a pause moves on to the speech; a start just after a
        // pause moves back to the pause's edge. Ends likewise, mirrored.
        if (silent(start)) {
            int k = start;
            while (k + 1 < end && silent(k))
                ++k;
            if (!silent(k))
                start = k;
        } else {
            for (int k = start - 1; k >= std::max(floorJ, start - kSnapFrames); --k)
                if (silent(k)) {
                    start = k + 1;
                    break;
                }
        }
        if (silent(end - 1)) {
            int k = end - 1;
            while (k > start && silent(k))
                --k;
            if (!silent(k))
                end = k + 1;
        } else {
            for (int k = end; k < std::min(m, end + kSnapFrames); ++k)
                if (silent(k)) {
                    end = k;
                    break;
                }
        }
        out[w] = {start * kFrame, end * kFrame};
        floorJ = end;
    }
    return out;
}
