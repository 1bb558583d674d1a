// Word times found in recordings of other voices than the game's: each word
// said alone by espeak-ng (several speeds and accents), joined with pauses
// of known length, so that where each word starts is known; and the story
// said as connected speech by espeak-ng's library, which tells where each
// word starts. fbwtool voice align must find the starts: half of them within
// 40 ms, nine in ten within 100 ms. The words said alone and joined with no
// pause but at commas and stops (each in its form said alone, "a" as "ay"),
// nine in ten within 200 ms.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <sstream>

#include "support/TestSupport.h"
#include "voice/WaveFileReader.h"

#ifdef FBW_TEST_ESPEAK_LIBRARY
#include <espeak-ng/speak_lib.h>
#endif

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

// Scores fbwtool voice align on Read (at Rate, a reading of kStory by
// Voice): the start of each word against Truth (seconds; below zero where it
// is not known): half within 40 ms, nine in ten within P90.
void Score(const fbwtest::TempDir& dir, const std::vector<int16_t>& read, uint32_t rate,
           const std::vector<double>& truth, const Voice& voice, const char* how, double p90) {
    fbwtest::WriteBytes(dir / "read.wav", WaveBytes(read, rate));
    const fbwtest::ToolResult r =
        fbwtest::RunTool({"voice", "align", dir / "story.txt", dir / "read.wav"});
    ASSERT_EQ(r.status, 0) << r.err;
    std::istringstream lines(r.out);
    std::vector<double> errors;
    double start = 0, end = 0, lastEnd = 0;
    std::string word;
    std::istringstream story(kStory);
    std::size_t i = 0;
    for (; lines >> start >> end >> word; ++i) {
        std::string expected;
        story >> expected;
        ASSERT_EQ(word, expected);
        ASSERT_LT(i, truth.size());
        EXPECT_GE(start, lastEnd - 1e-9) << word;
        EXPECT_GE(end, start) << word;
        lastEnd = end;
        if (truth[i] >= 0)
            errors.push_back(std::abs(start - truth[i]));
    }
    ASSERT_EQ(i, truth.size());
    ASSERT_GT(errors.size(), truth.size() * 9 / 10);
    std::sort(errors.begin(), errors.end());
    const double median = errors[errors.size() / 2];
    const double worst90 = errors[errors.size() * 9 / 10];
    std::printf(
        "%s at %d words a minute, %s: start error median %.0f ms, 90th percentile %.0f ms\n",
        voice.name, voice.wordsPerMinute, how, median * 1000, worst90 * 1000);
    EXPECT_LE(median, 0.040) << voice.name << " " << voice.wordsPerMinute << " " << how;
    EXPECT_LE(worst90, p90) << voice.name << " " << voice.wordsPerMinute << " " << how;
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
            Score(dir, read, rate, truth, voice, joined ? "joined" : "paused",
                  joined ? 0.200 : 0.100);
        }
    }
}

#ifdef FBW_TEST_ESPEAK_LIBRARY
// What espeak-ng said: its sound and, for each word, the character where it
// begins (from 1) and its start (milliseconds into the sound).
struct Spoken {
    std::vector<int16_t> sound;
    std::vector<std::pair<int, int>> words;
};
Spoken* spoken = nullptr; // while Say runs

int Collect(short* sound, int count, espeak_EVENT* events) {
    if (sound && count > 0)
        spoken->sound.insert(spoken->sound.end(), sound, sound + count);
    for (; events && events->type != espeakEVENT_LIST_TERMINATED; ++events)
        if (events->type == espeakEVENT_WORD)
            spoken->words.emplace_back(events->text_position, events->audio_position);
    return 0;
}
#endif

TEST(VoiceAlignTest, FindsTheWordsOfConnectedSpeechAtSeveralSpeeds) {
#ifndef FBW_TEST_ESPEAK_LIBRARY
    GTEST_SKIP() << "built without espeak-ng's library: no connected speech whose words are known";
#else
    const int rate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, 0);
    if (rate <= 0)
        GTEST_SKIP() << "espeak-ng's library cannot start";
    espeak_SetSynthCallback(Collect);
    const fbwtest::TempDir dir;
    fbwtest::WriteBytes(dir / "story.txt", kStory);
    // Each word of the story: its characters [first, end).
    std::vector<std::pair<int, int>> runs;
    const std::string story = kStory;
    for (std::size_t k = 0; k < story.size();) {
        const std::size_t first = story.find_first_not_of(" \n", k);
        if (first == std::string::npos)
            break;
        k = std::min(story.find_first_of(" \n", first), story.size());
        runs.emplace_back(static_cast<int>(first), static_cast<int>(k));
    }
    for (const Voice& voice :
         {Voice{"en-us", 120}, Voice{"en-us", 170}, Voice{"en", 140}, Voice{"en-us+f3", 200}}) {
        // (The library names British English "en".)
        Spoken said;
        spoken = &said;
        ASSERT_EQ(espeak_SetVoiceByName(voice.name), EE_OK) << voice.name;
        espeak_SetParameter(espeakRATE, voice.wordsPerMinute, 0);
        ASSERT_EQ(espeak_Synth(kStory, story.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8,
                               nullptr, nullptr),
                  EE_OK);
        espeak_Synchronize();
        spoken = nullptr;
        // A third of a second of silence before the reading, as a microphone
        // catches it.
        const std::size_t lead = static_cast<std::size_t>(rate) * 3 / 10;
        std::vector<int16_t> read(lead, 0);
        read.insert(read.end(), said.sound.begin(), said.sound.end());
        std::vector<double> truth(runs.size(), -1);
        for (const auto& [at, ms] : said.words)
            for (std::size_t w = 0; w < runs.size(); ++w)
                if (at - 1 >= runs[w].first && at - 1 < runs[w].second && truth[w] < 0)
                    truth[w] = ms / 1000.0 + static_cast<double>(lead) / rate;
        Score(dir, read, static_cast<uint32_t>(rate), truth, voice, "connected", 0.100);
    }
    espeak_Terminate();
#endif
}

} // namespace
