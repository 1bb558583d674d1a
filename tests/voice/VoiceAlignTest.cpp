// Word times found in recordings of other voices than the game's: each word
// said alone by espeak-ng (several speeds and accents), joined with pauses
// of known length, so that where each word starts is known; fbwtool voice
// align must find the starts: half of them within 40 ms, nine in ten within
// 100 ms. Joined with no pause but at commas and stops (a reader who runs
// the words together), nine in ten within 200 ms.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <sstream>

#include "support/TestSupport.h"
#include "voice/WaveFileReader.h"

namespace {

constexpr const char* kStory =
    "The Three Bears\n"
    "Once upon a time there were three bears who lived in a little house in the wood. One was "
    "a great big father bear, one was a middle sized mother bear, and one was a tiny baby bear.\n"
    "One morning they made porridge for breakfast, but it was too hot to eat. So they went for "
    "a walk while it cooled.";

bool HaveEspeak() {
    return std::system("command -v espeak-ng >/dev/null 2>&1") == 0;
}

std::string Le(uint32_t v, int bytes) {
    std::string s;
    for (int i = 0; i < bytes; ++i)
        s += static_cast<char>(v >> (8 * i) & 0xFF);
    return s;
}

std::string WaveBytes(const std::vector<int16_t>& samples, uint32_t rate) {
    const uint32_t n = static_cast<uint32_t>(samples.size() * 2);
    std::string out = "RIFF" + Le(36 + n, 4) + "WAVEfmt " + Le(16, 4) + Le(1, 2) + Le(1, 2) +
                      Le(rate, 4) + Le(rate * 2, 4) + Le(2, 2) + Le(16, 2) + "data" + Le(n, 4);
    out.append(reinterpret_cast<const char*>(samples.data()), n);
    return out;
}

struct Voice {
    const char* name;
    int wordsPerMinute;
};

// Each word of the story said alone by Voice, from its first loud sample to
// its last; Rate gets the voice's rate.
std::vector<std::vector<int16_t>> SayEachWord(const fbwtest::TempDir& dir, const Voice& voice,
                                              uint32_t& rate) {
    std::vector<std::vector<int16_t>> sounds;
    std::istringstream words(kStory);
    std::string token;
    while (words >> token) {
        std::string said;
        for (char c : token)
            if (std::isalpha(static_cast<unsigned char>(c)))
                said += c;
        const std::string wav = dir / "word.wav";
        const std::string command = "espeak-ng -w '" + wav + "' -v " + voice.name + " -s " +
                                    std::to_string(voice.wordsPerMinute) + " " + said;
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        TWaveFileReader reader;
        std::string why;
        EXPECT_TRUE(reader.Open(wav, why)) << why;
        rate = reader.SampleRate();
        std::vector<int16_t> sound, piece;
        while (reader.Read(piece))
            sound.insert(sound.end(), piece.begin(), piece.end());
        const auto loud = [](int16_t s) { return std::abs(s) > 500; };
        const auto first = std::find_if(sound.begin(), sound.end(), loud);
        const auto last = std::find_if(sound.rbegin(), sound.rend(), loud).base();
        sounds.emplace_back(first, std::max(first, last));
    }
    return sounds;
}

// The words joined into a reading, with a pause after each (none when
// Joined, but at commas and stops); Starts gets each word's start in seconds.
std::vector<int16_t> Join(const std::vector<std::vector<int16_t>>& sounds, uint32_t rate,
                          bool joined, std::vector<double>& starts) {
    std::mt19937 pauses(7);
    std::vector<int16_t> out;
    const auto pause = [&](int ms) { out.insert(out.end(), std::size_t{rate} * ms / 1000, 0); };
    pause(300);
    std::istringstream words(kStory);
    std::string token;
    for (const std::vector<int16_t>& sound : sounds) {
        words >> token;
        starts.push_back(static_cast<double>(out.size()) / rate);
        out.insert(out.end(), sound.begin(), sound.end());
        const bool stop = token.back() == '.' || token.back() == ',';
        pause((joined ? 0 : 60 + static_cast<int>(pauses() % 190)) + (stop ? 300 : 0));
    }
    return out;
}

TEST(VoiceAlignTest, FindsTheWordsOfOtherVoicesAtSeveralSpeeds) {
    if (!HaveEspeak())
        GTEST_SKIP() << "espeak-ng is not installed: no other voice to align";
    const fbwtest::TempDir dir;
    fbwtest::WriteBytes(dir / "story.txt", kStory);
    for (const Voice& voice :
         {Voice{"en-us", 120}, Voice{"en-us", 170}, Voice{"en-gb", 140}, Voice{"en-us+f3", 200}}) {
        uint32_t rate = 0;
        const std::vector<std::vector<int16_t>> sounds = SayEachWord(dir, voice, rate);
        for (const bool joined : {false, true}) {
            std::vector<double> truth;
            const std::vector<int16_t> read = Join(sounds, rate, joined, truth);
            fbwtest::WriteBytes(dir / "read.wav", WaveBytes(read, rate));
            const fbwtest::ToolResult r =
                fbwtest::RunTool({"voice", "align", dir / "story.txt", dir / "read.wav"});
            ASSERT_EQ(r.status, 0) << r.err;
            std::istringstream lines(r.out);
            std::vector<double> errors;
            double start = 0, end = 0, lastEnd = 0;
            std::string word;
            std::istringstream story(kStory);
            for (std::size_t i = 0; lines >> start >> end >> word; ++i) {
                std::string expected;
                story >> expected;
                ASSERT_EQ(word, expected);
                ASSERT_LT(i, truth.size());
                EXPECT_GE(start, lastEnd - 1e-9) << word;
                EXPECT_GE(end, start) << word;
                lastEnd = end;
                errors.push_back(std::abs(start - truth[i]));
            }
            ASSERT_EQ(errors.size(), truth.size());
            std::sort(errors.begin(), errors.end());
            const double median = errors[errors.size() / 2];
            const double p90 = errors[errors.size() * 9 / 10];
            std::printf("%s at %d words a minute, %s: start error median %.0f ms, 90th percentile "
                        "%.0f ms\n",
                        voice.name, voice.wordsPerMinute, joined ? "joined" : "paused",
                        median * 1000, p90 * 1000);
            EXPECT_LE(median, 0.040) << voice.name << " " << voice.wordsPerMinute;
            EXPECT_LE(p90, joined ? 0.200 : 0.100) << voice.name << " " << voice.wordsPerMinute;
        }
    }
}

} // namespace
