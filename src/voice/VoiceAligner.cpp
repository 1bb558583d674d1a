// Word times of a recording, carried over from the game's voice.
#include "voice/VoiceAligner.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "voice/TimeWarp.h"

namespace {
// How far a boundary looks back or on for the edge of a pause, in frames.
constexpr int kSnapFrames = 12;
// Frames of a pause kept for the warp: readers pause where they like, so a
// longer pause is no clue to where the words are.
constexpr int kPauseKept = 0;
// How much the slopes of the features count against the features.
constexpr float kDeltaWeight = 1;
// A reader's pause between words: at least 60 ms of silence. A word start
// moves to the end of such a pause within a second of it, where that costs
// less in all (in frames: the distance moved, less kPauseWorth for a pause
// taken, or kStartStays for a start left where the warp put it).
constexpr int kPauseFrames = 6;
constexpr int kPauseReach = 100;
constexpr float kPauseWorth = 30;
constexpr float kStartStays = 30;

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
// A pause of the recording: frames [Begin, End), all silent.
struct Pause {
    int Begin = 0, End = 0;
};

// The recording's pauses of at least kPauseFrames (the silence before the
// first word too, however short).
std::vector<Pause> PausesOf(const std::vector<float>& db, float level) {
    std::vector<Pause> pauses;
    const int n = static_cast<int>(db.size());
    for (int f = 0; f < n;) {
        if (db[static_cast<std::size_t>(f)] >= level) {
            ++f;
            continue;
        }
        int g = f;
        while (g < n && db[static_cast<std::size_t>(g)] < level)
            ++g;
        if (g < n && (f == 0 || g - f >= kPauseFrames))
            pauses.push_back({f, g});
        f = g;
    }
    return pauses;
}

// For each word start (frames, in order), the pause whose end it moves to,
// or -1: the assignment, in order and one pause to a start at most, that
// costs least, where a start moved to a pause's end costs the distance less
// kPauseWorth and a start left where it is costs kStartStays. Only pauses
// within kPauseReach of a start are looked at, so that the cost is linear.
std::vector<int> StartsAtPauses(const std::vector<int>& starts, const std::vector<Pause>& pauses) {
    const int k = static_cast<int>(starts.size());
    std::vector<int> out(static_cast<std::size_t>(k), -1);
    if (k == 0 || pauses.empty())
        return out;
    // Pauses [Lo, Hi) within reach of each start; both run forward.
    std::vector<int> lo(static_cast<std::size_t>(k)), hi(static_cast<std::size_t>(k));
    int a = 0, b = 0;
    const int count = static_cast<int>(pauses.size());
    for (int w = 0; w < k; ++w) {
        while (a < count && pauses[static_cast<std::size_t>(a)].End < starts[w] - kPauseReach)
            ++a;
        b = std::max(b, a);
        while (b < count && pauses[static_cast<std::size_t>(b)].End <= starts[w] + kPauseReach)
            ++b;
        lo[w] = a;
        hi[w] = b;
    }
    // Row W's states: 0 for "the last pause taken lies before Lo[W]", 1 + J
    // for "the last pause taken is Lo[W] + J".
    struct Cell {
        float cost = std::numeric_limits<float>::infinity();
        int from = 0;   // the state of the row before
        int taken = -1; // the pause this start took
    };
    std::vector<std::vector<Cell>> rows(static_cast<std::size_t>(k));
    for (int w = 0; w < k; ++w) {
        auto& row = rows[static_cast<std::size_t>(w)];
        row.assign(static_cast<std::size_t>(1 + hi[w] - lo[w]), Cell{});
        // The states before this start: those of the row before, the pauses
        // now out of reach behind folded into state 0.
        std::vector<std::pair<int, float>> before; // (last pause taken or -1, cost), with its state
        std::vector<int> beforeState;
        if (w == 0) {
            before.emplace_back(-1, 0.f);
            beforeState.push_back(0);
        } else {
            const auto& prev = rows[static_cast<std::size_t>(w) - 1];
            for (int s = 0; s < static_cast<int>(prev.size()); ++s) {
                const int last = s == 0 ? -1 : lo[w - 1] + s - 1;
                before.emplace_back(last, prev[static_cast<std::size_t>(s)].cost);
                beforeState.push_back(s);
            }
        }
        for (std::size_t i = 0; i < before.size(); ++i) {
            const auto [last, cost] = before[i];
            if (!(cost < std::numeric_limits<float>::infinity()))
                continue;
            const int stays = last < lo[w] ? 0 : 1 + last - lo[w];
            Cell& keep = row[static_cast<std::size_t>(stays)];
            if (cost + kStartStays < keep.cost)
                keep = {cost + kStartStays, beforeState[i], -1};
            for (int l = std::max(lo[w], last + 1); l < hi[w]; ++l) {
                const float d = static_cast<float>(
                    std::abs(pauses[static_cast<std::size_t>(l)].End - starts[w]));
                Cell& take = row[static_cast<std::size_t>(1 + l - lo[w])];
                if (cost + d - kPauseWorth < take.cost)
                    take = {cost + d - kPauseWorth, beforeState[i], l};
            }
        }
    }
    const auto& last = rows.back();
    int state = static_cast<int>(
        std::min_element(last.begin(), last.end(),
                         [](const Cell& x, const Cell& y) { return x.cost < y.cost; }) -
        last.begin());
    for (int w = k - 1; w >= 0; --w) {
        const Cell& c = rows[static_cast<std::size_t>(w)][static_cast<std::size_t>(state)];
        out[static_cast<std::size_t>(w)] = c.taken;
        state = c.from;
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
    // Where the reader paused near a word's start, the word starts as the
    // pause ends and the word before ends as it begins.
    if (!out.empty()) {
        std::vector<int> starts;
        for (const Span& w : out)
            starts.push_back(static_cast<int>(std::lround(w.Start / kFrame)));
        const std::vector<Pause> pauses = PausesOf(db, pause);
        const std::vector<int> taken = StartsAtPauses(starts, pauses);
        for (std::size_t w = 0; w < out.size(); ++w) {
            if (taken[w] < 0)
                continue;
            const Pause& p = pauses[static_cast<std::size_t>(taken[w])];
            out[w].Start = p.End * kFrame;
            if (w > 0 && p.Begin * kFrame > out[w - 1].Start)
                out[w - 1].End = p.Begin * kFrame;
        }
        // Each word within its own time: no earlier than the one before
        // ends, and ending no earlier than it starts.
        for (std::size_t w = 0; w < out.size(); ++w) {
            if (w > 0)
                out[w].Start = std::max(out[w].Start, out[w - 1].End);
            out[w].End = std::max(out[w].End, out[w].Start + kFrame);
            if (w + 1 < out.size() && taken[w + 1] >= 0)
                out[w].End = std::min(out[w].End, out[w + 1].Start);
        }
    }
    return out;
}
