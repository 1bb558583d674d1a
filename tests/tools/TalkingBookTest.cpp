// The talking book: epubcheck over a book of each tale at twist 0 and 100 in
// both letters (one Java start), the container and overlays of each, the
// sound where the overlay says it is (the real voice, decoded with mpg123),
// fbwtool book --epub, and the failures that make nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <regex>
#include <set>

#include "keepsake/TalkingBook.h"
#include "platform/Files.h"
#include "platform/Mp3Encoder.h"
#include "platform/SpeechSynth.h"
#include "platform/ZipPacker.h"
#include "shelf/StoryShelf.h"
#include "story/StoryText.h"
#include "support/NullSpeechSynth.h"
#include "support/TestSupport.h"
#include "support/XSession.h"

namespace fs = std::filesystem;
using fbwtest::ReadBytes;
using fbwtest::RunTool;
using fbwtest::ShellOutput;
using fbwtest::TempDir;

namespace {

constexpr const char* kEpubcheckJar = "/usr/share/java/epubcheck.jar";

bool HaveEpubcheck() {
    return fbwtest::OnPath("java") && fs::exists(kEpubcheckJar);
}

// The story of tale Tale told as fbwtool tell tells it.
std::string Told(int tale, int twist, const std::string& seed = "5") {
    const auto told =
        RunTool({"tell", "--seed", seed, "--twist", std::to_string(twist), std::to_string(tale)});
    EXPECT_EQ(told.status, 0) << told.err;
    return ReadSavedStoryText(told.out);
}

TTalkingBook::Input InputFor(const std::string& story, bool easy) {
    TTalkingBook::Input input;
    input.Story = story;
    TBookLetters letters;
    letters.face = easy ? TBookLetters::Face::EasyRead : TBookLetters::Face::Classic;
    input.Face = TTalkingBook::LettersFor(letters);
    if (!input.Face.FontPath.empty())
        input.FontBytes = ReadBytes(input.Face.FontPath);
    input.Identifier = TTalkingBook::NewIdentifier();
    input.Modified = 1796748300; // 2026-12-08 17:05 UTC
    return input;
}

struct Made {
    TSpokenStory spoken;
    std::vector<plat::ZipEntry> files;
    std::string zip;
};

// The book of Input as TTalkingBook::Make makes it, its pieces kept.
Made MakeBook(const TTalkingBook::Input& input, plat::SpeechSynth& voice, float stretch) {
    Made made;
    made.spoken.Speak(voice, input.Story, stretch);
    std::string mp3, why;
    const auto encoder = plat::CreateMp3Encoder();
    const auto packer = plat::CreateZipPacker();
    EXPECT_TRUE(encoder && encoder->Encode(made.spoken.Samples, made.spoken.SampleRate, mp3, why))
        << why;
    made.files = TTalkingBook::Files(input, made.spoken, mp3);
    EXPECT_TRUE(packer && packer->Pack(made.files, made.zip, why)) << why;
    return made;
}

const std::string& FileOf(const Made& made, const std::string& name) {
    static const std::string none;
    for (const plat::ZipEntry& e : made.files)
        if (e.Name == name)
            return e.Bytes;
    return none;
}

uint16_t Le16(const std::string& b, std::size_t at) {
    return static_cast<uint16_t>(static_cast<unsigned char>(b[at]) |
                                 static_cast<unsigned char>(b[at + 1]) << 8);
}

int64_t ClockMs(const std::string& clock) {
    int h = 0, m = 0, s = 0, ms = 0;
    EXPECT_EQ(std::sscanf(clock.c_str(), "%d:%d:%d.%d", &h, &m, &s, &ms), 4) << clock;
    return ((int64_t{h} * 60 + m) * 60 + s) * 1000 + ms;
}

// The container, every overlay's text pointing at an id of its document,
// the clips in order within the sound, and a par for nearly every word.
void CheckStructure(const Made& made) {
    // The mimetype first, stored, with no extra field.
    const std::string& z = made.zip;
    ASSERT_GT(z.size(), 38u + 20u);
    EXPECT_EQ(z.substr(0, 4), std::string("PK\3\4", 4));
    EXPECT_EQ(Le16(z, 8), 0) << "stored";
    EXPECT_EQ(Le16(z, 28), 0) << "no extra field";
    EXPECT_EQ(z.substr(30, Le16(z, 26)), "mimetype");
    EXPECT_EQ(z.substr(30 + Le16(z, 26), 20), "application/epub+zip");

    const std::regex idRe("id=\"([^\"]+)\"");
    const std::regex parRe("<text src=\"([^#\"]+)#([^\"]+)\"/><audio src=\"[^\"]+\" "
                           "clipBegin=\"([^\"]+)\" clipEnd=\"([^\"]+)\"/>");
    int64_t last = 0;
    int wordPars = 0, pars = 0;
    for (const char* doc : {"title", "story"}) {
        const std::string& smil = FileOf(made, std::string("OEBPS/") + doc + ".smil");
        if (smil.empty())
            continue;
        const std::string& xhtml = FileOf(made, std::string("OEBPS/") + doc + ".xhtml");
        std::set<std::string> ids;
        for (std::sregex_iterator i(xhtml.begin(), xhtml.end(), idRe), e; i != e; ++i)
            ids.insert((*i)[1]);
        for (std::sregex_iterator i(smil.begin(), smil.end(), parRe), e; i != e; ++i) {
            ++pars;
            EXPECT_EQ((*i)[1], std::string(doc) + ".xhtml");
            EXPECT_TRUE(ids.count((*i)[2])) << doc << ": no id " << (*i)[2];
            wordPars += (*i)[2].str().find('w') != std::string::npos;
            const int64_t begin = ClockMs((*i)[3]), end = ClockMs((*i)[4]);
            EXPECT_LE(last, begin) << "in order, no overlap";
            EXPECT_LE(begin, end);
            last = end;
        }
    }
    EXPECT_GT(pars, 0);
    EXPECT_LE(last, made.spoken.DurationMs()) << "within the sound";
    EXPECT_GE(wordPars * 100, made.spoken.TotalWords() * 95) << "a par for nearly every word";
}

// Signed 16-bit samples of the MP3 Mp3, decoded by mpg123.
std::vector<int16_t> Decode(const std::string& mp3) {
    TempDir dir;
    fbwtest::WriteBytes(dir / "voice.mp3", mp3);
    EXPECT_EQ(std::system(("mpg123 -q -s '" + dir / "voice.mp3" + "' > '" + dir / "voice.raw" +
                           "' 2>/dev/null")
                              .c_str()),
              0);
    const std::string raw = ReadBytes(dir / "voice.raw");
    std::vector<int16_t> samples(raw.size() / 2);
    std::memcpy(samples.data(), raw.data(), samples.size() * 2);
    return samples;
}

double Rms(const std::vector<int16_t>& s, uint32_t rate, int64_t fromMs, int64_t toMs) {
    const std::size_t from = std::min(s.size(), std::size_t(fromMs * rate / 1000));
    const std::size_t to = std::min(s.size(), std::size_t(toMs * rate / 1000));
    if (to <= from)
        return 0;
    double sum = 0;
    for (std::size_t i = from; i < to; ++i)
        sum += double(s[i]) * s[i];
    return std::sqrt(sum / double(to - from));
}

} // namespace

TEST(TalkingBook, EveryTalePassesEpubcheckAtBothTwistsInBothLetters) {
    if (!plat::CreateMp3Encoder() || !plat::CreateZipPacker())
        GTEST_SKIP() << "built without libmp3lame or libzip";
    TempDir dir;
    std::vector<std::string> books;
    for (int tale = 1; tale <= 10; ++tale)
        for (int twist : {0, 100})
            for (bool easy : {false, true}) {
                SCOPED_TRACE("tale " + std::to_string(tale) + " twist " + std::to_string(twist) +
                             (easy ? " easy" : " classic"));
                fbwtest::NullSpeechSynth voice;
                const Made made = MakeBook(InputFor(Told(tale, twist), easy), voice,
                                           plat::SpeechSynth::kNormalStretch);
                CheckStructure(made);
                books.push_back(dir / ("t" + std::to_string(tale) + "-" + std::to_string(twist) +
                                       (easy ? "-easy" : "-classic") + ".epub"));
                fbwtest::WriteBytes(books.back(), made.zip);
            }
    // And one as the data tool makes it, with the game's voice and picture.
    const auto tool =
        RunTool({"book", "--seed", "2", "--letters", "easy", "--epub", "3", dir / "tool.epub"});
    if (plat::CreateSystemSpeechSynth()) {
        ASSERT_EQ(tool.status, 0) << tool.err;
        books.push_back(dir / "tool.epub");
    }
    if (!HaveEpubcheck())
        GTEST_SKIP() << "epubcheck (and a Java runtime) is not installed";
    std::string command = "java -XX:TieredStopAtLevel=1 -XX:+UseSerialGC -cp " +
                          std::string(kEpubcheckJar) + " '" + fbwtest::SourceDir() +
                          "/tests/tools/CheckEpubs.java'";
    for (const std::string& b : books)
        command += " '" + b + "'";
    const std::string report = ShellOutput(command + " 2>&1");
    for (const std::string& b : books) {
        const std::string line = b + ": 0";
        const std::size_t at = report.find(line);
        EXPECT_TRUE(at != std::string::npos &&
                    (at + line.size() == report.size() || report[at + line.size()] == '\n'))
            << b << " has errors or warnings:\n"
            << report;
    }
}

TEST(TalkingBook, TheVoiceIsWhereTheOverlaySays) {
    const std::unique_ptr<plat::SpeechSynth> voice = plat::CreateSystemSpeechSynth();
    if (!voice || !plat::CreateMp3Encoder() || !plat::CreateZipPacker())
        GTEST_SKIP() << "built without flite, libmp3lame or libzip";
    if (!fbwtest::OnPath("mpg123"))
        GTEST_SKIP() << "mpg123 is not installed";
    const Made made =
        MakeBook(InputFor(Told(9, 50, "3"), false), *voice, plat::SpeechSynth::kNormalStretch);
    CheckStructure(made);
    const TSpokenStory& spoken = made.spoken;
    const std::vector<int16_t> sound = Decode(FileOf(made, "OEBPS/voice.mp3"));
    const uint32_t rate = spoken.SampleRate;
    // The length the voice made, within 2 %.
    const double ms = double(sound.size()) * 1000 / rate;
    EXPECT_NEAR(ms, double(spoken.DurationMs()), spoken.DurationMs() * 0.02);

    // Between the sentences, silence; each sentence's words well above it.
    double silence = 0;
    for (std::size_t i = 1; i < spoken.Sentences.size(); ++i)
        silence = std::max(silence, Rms(sound, rate, spoken.Sentences[i - 1].Sound.End + 60,
                                        spoken.Sentences[i].Sound.Begin - 60));
    EXPECT_LT(silence, 100.0);
    int sentences = 0;
    for (const TSpokenStory::Sentence& s : spoken.Sentences) {
        if (s.WordClips.empty())
            continue;
        ++sentences;
        const double said = Rms(sound, rate, s.WordClips.front().Begin, s.WordClips.back().End);
        EXPECT_GT(said, 10 * std::max(silence, 30.0)) << "sentence at " << s.Sound.Begin << " ms";
    }
    EXPECT_GT(sentences * 10, int(spoken.Sentences.size()) * 9) << "nearly every sentence by word";
}

TEST(TalkingBook, AUnmappedSentenceHasOneParAndTheFailuresMakeNothing) {
    if (!plat::CreateMp3Encoder() || !plat::CreateZipPacker())
        GTEST_SKIP() << "built without libmp3lame or libzip";
    // The voice says a word more than the page has: the sentence light.
    fbwtest::NullSpeechSynth extra;
    extra.ExtraWords = 1;
    const Made made = MakeBook(InputFor("A title\\n\\nOne two three. Four five.", false), extra,
                               plat::SpeechSynth::kNormalStretch);
    const std::string& smil = FileOf(made, "OEBPS/story.smil");
    EXPECT_NE(smil.find("story.xhtml#s2\""), std::string::npos) << smil;
    EXPECT_NE(smil.find("story.xhtml#s3\""), std::string::npos);
    EXPECT_EQ(smil.find("#s2w"), std::string::npos);
    // The paragraphs, the title's page and "The End".
    const std::string& story = FileOf(made, "OEBPS/story.xhtml");
    EXPECT_NE(story.find("<p><span id=\"s2\"><span id=\"s2w1\">One</span> "), std::string::npos)
        << story;
    EXPECT_NE(story.find("The End"), std::string::npos);
    EXPECT_NE(FileOf(made, "OEBPS/title.xhtml").find("<h1><span id=\"s1\">"), std::string::npos);

    // No voice: a clear message, not a silent book.
    const auto encoder = plat::CreateMp3Encoder();
    const auto packer = plat::CreateZipPacker();
    try {
        TTalkingBook::Make(InputFor("A title\\n\\nWords.", false), nullptr, 1.0f, encoder.get(),
                           packer.get());
        ADD_FAILURE() << "made without a voice";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(),
                     "Talking book: no voice engine is installed to read the story aloud");
    }
    fbwtest::NullSpeechSynth failing;
    failing.Fail = true;
    EXPECT_THROW(TTalkingBook::Make(InputFor("A title\\n\\nWords.", false), &failing, 1.0f,
                                    encoder.get(), packer.get()),
                 std::runtime_error);

    // The data tool: its usage, and a folder it cannot write.
    const auto help = RunTool({"book", "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--epub TALE OUT.epub"), std::string::npos) << help.out;
    TempDir dir;
    fbwtest::WriteBytes(dir / "file", "x");
    const auto refused = RunTool({"book", "--epub", "2", dir / "file/book.epub"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_FALSE(refused.err.empty());
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1)
        << "nothing half-written";
}

TEST(TalkingBook, AVoiceThatFailsPartWayMakesNoBookAndNamesTheSentence) {
    const auto encoder = plat::CreateMp3Encoder();
    const auto packer = plat::CreateZipPacker();
    if (!encoder || !packer)
        GTEST_SKIP() << "built without libmp3lame or libzip";
    // The title and two sentences are said; the third sentence fails.
    fbwtest::NullSpeechSynth tiring;
    tiring.FailAfter = 3;
    const std::string story = "A title\\n\\nOne two. Three four. Five  six seven. Eight.";
    try {
        TTalkingBook::Make(InputFor(story, false), &tiring, 1.0f, encoder.get(), packer.get());
        ADD_FAILURE() << "a book silent after its second sentence";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(),
                     "Talking book: the voice could not read the sentence \"Five six seven.\"");
    }
    // A sentence with nothing to say is no failure: the voice is not asked.
    fbwtest::NullSpeechSynth voice;
    voice.FailAfter = 3;
    TSpokenStory spoken;
    spoken.Speak(voice, "A title\\n\\nOne two. ... Three!", 1.0f);
    EXPECT_EQ(spoken.Sentences.size(), 3u);
}

TEST(TalkingBook, TheShelfShowsATalkingBookByItsTitle) {
    if (!plat::CreateMp3Encoder() || !plat::CreateZipPacker())
        GTEST_SKIP() << "built without libmp3lame or libzip";
    fbwtest::NullSpeechSynth voice;
    const Made made = MakeBook(InputFor("Bears & the caf\xE9 <3\\n\\nOne two.", false), voice,
                               plat::SpeechSynth::kNormalStretch);
    TempDir dir;
    const std::string folder = dir / "Stories/";
    fs::create_directory(folder);
    fbwtest::WriteBytes(folder + "Goldilox 2026-12-08 17.05.epub", made.zip);
    TStoryShelf shelf(folder);
    ASSERT_TRUE(shelf.Refresh());
    ASSERT_EQ(shelf.Items().size(), 1u);
    EXPECT_EQ(shelf.Items()[0].kind, TStoryShelf::Kind::TalkingBook);
    EXPECT_EQ(shelf.Items()[0].tale, 2);
    EXPECT_EQ(shelf.Items()[0].title, "Bears & the caf\xC3\xA9 <3"); // UTF-8
}
