// Recipes of the game's sounds: ambient sounds of a storybook landscape and
// the sounds of two characters of the scene. Soft and short; Finish levels
// each to the same loudness, caps its peak well below full scale and fades
// both ends.
#include "GameSounds.h"

#include <algorithm>
#include <cmath>

namespace {

// Level of every sound: RMS about -24 dBFS, peaks at most -7 dBFS.
constexpr double kRms = 0.063;
constexpr double kPeak = 0.45;

// A songbird: two short phrases of rising and falling chirps and a trill.
Signal Birdsong() {
    Signal s(1.3, 11);
    const std::vector<double> h{1.0, 0.12};
    struct Chirp {
        double at, len, f0, f1;
    } chirps[] = {
        {0.04, 0.09, 2300, 3000},   {0.16, 0.08, 3000, 2500},  {0.30, 0.035, 2700, 3100},
        {0.345, 0.035, 2700, 3100}, {0.39, 0.035, 2700, 3100}, {0.435, 0.035, 2700, 3100},
        {0.70, 0.12, 2200, 3200},   {0.85, 0.10, 3200, 2600},  {0.99, 0.06, 2800, 2900},
        {1.08, 0.12, 2900, 2300},
    };
    for (const Chirp& c : chirps)
        s.AddTone(c.at, c.len, c.f0, c.f1, 1.0, h, c.len * 0.3, c.len * 0.5, 0.02, 35);
    s.Finish(kRms * 0.75, kPeak, 0.01, 0.05); // high and clear: a little quieter
    return s;
}

// A wind chime: small tubes of a pentatonic scale struck one after another.
Signal Chime() {
    Signal s(1.5, 12);
    const std::vector<double> ratios{1.0, 2.76, 5.40};
    const std::vector<double> amps{1.0, 0.30, 0.05};
    const std::vector<double> decays{0.55, 0.25, 0.12};
    const double notes[] = {1046.5, 1318.5, 1174.7, 1568.0, 1760.0, 1318.5};
    const double times[] = {0.02, 0.17, 0.31, 0.50, 0.68, 0.90};
    const double level[] = {1.0, 0.8, 0.9, 0.7, 0.8, 0.6};
    for (int i = 0; i < 6; ++i)
        s.AddStrike(times[i], notes[i], level[i], ratios, amps, decays);
    s.Finish(kRms, kPeak, 0.005, 0.25);
    return s;
}

// An owl: a long hoo, then a softer hoo-hoo, with a little breath.
Signal Owl() {
    Signal s(1.3, 13);
    const std::vector<double> h{1.0, 0.18, 0.05};
    s.AddTone(0.04, 0.38, 430, 385, 1.0, h, 0.07, 0.15, 0.01, 6);
    s.AddTone(0.58, 0.20, 415, 395, 0.8, h, 0.05, 0.10, 0.01, 6);
    s.AddTone(0.86, 0.34, 420, 375, 0.85, h, 0.06, 0.16, 0.01, 6);
    for (double at : {0.04, 0.58, 0.86})
        s.AddNoise(at, 0.3, 420, 3.0, [](double t) { return 0.25 * std::exp(-t / 0.12); });
    s.Finish(kRms, kPeak, 0.01, 0.08);
    return s;
}

// A frog: two croaks, each a buzzy tone pulsed about thirty times a second.
Signal Frog() {
    Signal s(0.8, 14);
    std::vector<double> h;
    for (int n = 1; n <= 9; ++n) // strongest around 500 Hz, like a throat
        h.push_back(1.0 / (1.0 + std::pow((n * 170.0 - 520.0) / 300.0, 2)));
    struct Croak {
        double at, len, f, rate;
    } croaks[] = {{0.03, 0.16, 175, 32}, {0.30, 0.26, 160, 28}};
    for (const Croak& c : croaks) {
        Signal pulse(0.8, 0);
        pulse.AddTone(c.at, c.len, c.f, c.f * 0.95, 1.0, h, 0.02, 0.05);
        std::vector<double>& out = s.Samples();
        const std::vector<double>& in = pulse.Samples();
        for (std::size_t i = 0; i < in.size(); ++i) {
            const double t = static_cast<double>(i) / Signal::kRate - c.at;
            const double beat = t * c.rate - std::floor(t * c.rate);
            out[i] += in[i] * std::pow(std::sin(M_PI * beat), 2) * std::exp(-2.5 * beat);
        }
    }
    s.Finish(kRms, kPeak, 0.01, 0.06);
    return s;
}

// A small bell far away: hum, prime, tierce, quint and nominal, ringing out.
Signal Bell() {
    Signal s(1.5, 15);
    s.AddStrike(0.01, 523.25, 1.0, {0.5, 1.0, 1.2, 1.5, 2.0, 2.52},
                {0.35, 1.0, 0.45, 0.25, 0.35, 0.12}, {1.2, 0.9, 0.6, 0.45, 0.35, 0.2}, 0.004);
    s.Finish(kRms, kPeak, 0.005, 0.3);
    return s;
}

// Leaves rustling in a breeze: soft bands of noise with little crackles.
Signal Leaves() {
    Signal s(1.2, 16);
    const double length = s.Seconds();
    auto swell = [length](double t) { return 0.5 * std::pow(std::sin(M_PI * t / length), 2); };
    s.AddNoise(0.0, length, 2600, 0.8, swell);
    s.AddNoise(0.0, length, 900, 1.2, [&](double t) { return 0.6 * swell(t); });
    Signal grains(1.2, 61);
    for (int i = 0; i < 40; ++i) {
        const double at = 0.05 + (grains.Noise() * 0.5 + 0.5) * 1.05;
        const double amp = 0.4 + 0.25 * grains.Noise();
        const double centre = 2500 + 1500 * grains.Noise();
        s.AddNoise(at, 0.03, centre, 2.0, [amp](double t) { return amp * std::exp(-t / 0.006); });
    }
    s.Finish(kRms, kPeak, 0.04, 0.15);
    return s;
}

// Knock, knock: two soft raps of a knuckle on a wooden door.
Signal Knock() {
    Signal s(0.6, 17);
    for (double at : {0.03, 0.25}) {
        s.AddStrike(at, 190, 1.0, {1.0, 2.3, 4.6}, {1.0, 0.5, 0.15}, {0.05, 0.03, 0.012}, 0.002);
        s.AddNoise(at, 0.02, 700, 1.5,
                   [](double t) { return 0.3 * std::min(1.0, t / 0.001) * std::exp(-t / 0.004); });
    }
    s.Finish(kRms * 0.9, kPeak, 0.002, 0.1);
    return s;
}

// A cheerful whistled tune of three notes, gliding up.
Signal Whistle() {
    Signal s(1.0, 18);
    const std::vector<double> h{1.0, 0.04};
    s.AddTone(0.03, 0.17, 784, 790, 1.0, h, 0.03, 0.04, 0.008, 6);
    s.AddTone(0.21, 0.17, 960, 988, 1.0, h, 0.03, 0.04, 0.008, 6);
    s.AddTone(0.39, 0.52, 1150, 1175, 1.0, h, 0.04, 0.2, 0.015, 5.5);
    s.AddNoise(0.03, 0.9, 2000, 1.5, [](double) { return 0.03; });
    s.Finish(kRms, kPeak, 0.01, 0.08);
    return s;
}

// A spinning wheel: a treadle ticking faster and a soft whirr that rises.
Signal SpinningWheel() {
    Signal s(1.3, 19);
    const double length = s.Seconds();
    double at = 0.03;
    for (int i = 0; at < length - 0.1; ++i) {
        s.AddStrike(at, 700, 0.5, {1.0, 2.7}, {1.0, 0.4}, {0.012, 0.006}, 0.001);
        at += 0.16 - 0.008 * i;
    }
    s.AddNoise(0.0, length, 260, 2.0, [length](double t) {
        const double rot = 5 + 4 * t / length;
        return 0.9 * (0.6 + 0.4 * std::sin(2 * M_PI * rot * t)) * std::min(1.0, t / 0.2);
    });
    s.AddTone(0.0, length, 110, 150, 0.08, {1.0, 0.3}, 0.2, 0.3);
    s.Finish(kRms, kPeak, 0.03, 0.12);
    return s;
}

// A cuckoo from the woods: a falling major third, soft as a wooden flute.
Signal Cuckoo() {
    Signal s(0.9, 20);
    const std::vector<double> h{1.0, 0.22, 0.08};
    s.AddTone(0.04, 0.22, 790, 770, 1.0, h, 0.025, 0.06);
    s.AddTone(0.36, 0.42, 628, 600, 1.0, h, 0.03, 0.2);
    s.Finish(kRms, kPeak, 0.01, 0.06);
    return s;
}

// Magic: a rising arpeggio of glassy pings with a few sparkles around it.
Signal Twinkle() {
    Signal s(1.0, 21);
    const std::vector<double> ratios{1.0, 2.0, 3.01};
    const std::vector<double> amps{1.0, 0.15, 0.05};
    const std::vector<double> decays{0.35, 0.2, 0.1};
    const double notes[] = {1046.5, 1318.5, 1568.0, 2093.0, 2637.0, 3136.0};
    for (int i = 0; i < 6; ++i)
        s.AddStrike(0.02 + 0.07 * i, notes[i], 1.0 - 0.08 * i, ratios, amps, decays);
    Signal sparks(1.0, 77);
    for (int i = 0; i < 10; ++i) {
        const double when = 0.1 + (sparks.Noise() * 0.5 + 0.5) * 0.6;
        const double freq = 3500 + 1200 * sparks.Noise();
        s.AddStrike(when, freq, 0.25, {1.0}, {1.0}, {0.05});
    }
    s.Finish(kRms, kPeak, 0.005, 0.25);
    return s;
}

} // namespace

const std::vector<GameSound>& GameSounds() {
    static const std::vector<GameSound> sounds{
        {"birdsong", Birdsong},       // 0: ambient
        {"chime", Chime},             // 1: ambient
        {"owl", Owl},                 // 2: ambient
        {"frog", Frog},               // 3: ambient
        {"bell", Bell},               // 4: ambient
        {"leaves", Leaves},           // 5: ambient
        {"knock", Knock},             // 6: Red Riding Hood's corner
        {"whistle", Whistle},         // 7: Red Riding Hood's corner
        {"cuckoo", Cuckoo},           // 8: ambient
        {"spinwheel", SpinningWheel}, // 9: Rumpelstiltskin
        {"twinkle", Twinkle},         // 10: ambient, magic
    };
    return sounds;
}
