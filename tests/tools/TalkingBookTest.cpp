// The talking book: epubcheck over a book of each tale at twist 0 and 100 in
// both letters (one Java start), the container and overlays of each, their
// clips tiling the track, a player going clip to clip over the real voice
// (decoded with mpg123), Ace by DAISY and Readium's parser over the data
// tool's book, what readers find in it (its parts, pages, picture and
// makers), the signs said as words, the lit word's contrast, a book made on
// a worker thread and cancelled there, a megabyte story in bounded memory,
// fbwtool book --epub, and the failures that make nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <thread>

#include "keepsake/TalkingBook.h"
#include "keepsake/TalkingBookReader.h"
#include "platform/FileStream.h"
#include "platform/Files.h"
#include "platform/MemoryStream.h"
#include "platform/Mp3Decoder.h"
#include "platform/Mp3Encoder.h"
#include "platform/SpeechSynth.h"
#include "platform/ZipEntryList.h"
#include "platform/ZipReader.h"
#include "platform/ZipWriter.h"
#include "reading/BookVoice.h"
#include "reading/StorySentences.h"
#include "reading/WordTimes.h"
#include "shelf/StoryShelf.h"
#include "story/StoryText.h"
#include "story/TalePictures.h"
#include "support/NullMp3Encoder.h"
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
constexpr const char* kChromium = "/usr/bin/chromium";

// Where scripts/setup puts the npm checkers (FBW_NODE_TOOLS, else its
// default), ending with the separator.
std::string NodeTools() {
    const char* dir = std::getenv("FBW_NODE_TOOLS");
    return std::string(dir && *dir ? dir : "/usr/local/lib/fablewhirl-node") + "/";
}

bool HaveEpubcheck() {
    return fbwtest::OnPath("java") && fs::exists(kEpubcheckJar);
}

bool HaveMedia() {
    plat::MemoryStream probe;
    return plat::CreateMp3Encoder() && plat::CreateZipWriter(probe);
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
    input.Modified = 1796748300; // 2026-12-08 17:05 UTC
    return input;
}

// A zip writer that hands everything to two others.
class Tee : public plat::ZipWriter {
public:
    Tee(plat::ZipWriter& a, plat::ZipWriter& b) : a_(a), b_(b) {}
    bool Begin(const std::string& name, bool stored) override {
        return a_.Begin(name, stored) && b_.Begin(name, stored);
    }
    bool Write(std::string_view bytes) override { return a_.Write(bytes) && b_.Write(bytes); }
    bool Rewrite(std::size_t index, int64_t offset, std::string_view bytes) override {
        return a_.Rewrite(index, offset, bytes) && b_.Rewrite(index, offset, bytes);
    }
    bool Finish() override { return a_.Finish() && b_.Finish(); }
    const std::string& Failure() const override {
        return a_.Failure().empty() ? b_.Failure() : a_.Failure();
    }

private:
    plat::ZipWriter &a_, &b_;
};

struct Made {
    TSpokenStory spoken;
    std::vector<plat::ZipEntry> files;
    std::string zip; // as the program's zip writer wrote it
};

// The book of Input as TTalkingBook::MakeInto makes it, its pieces kept.
Made MakeBook(const TTalkingBook::Input& input, plat::SpeechSynth& voice, float stretch) {
    Made made;
    const auto encoder = plat::CreateMp3Encoder();
    plat::ZipEntryList entries;
    plat::MemoryStream stream;
    const auto writer = plat::CreateZipWriter(stream);
    EXPECT_TRUE(encoder && writer);
    if (!encoder || !writer)
        return made;
    Tee both(entries, *writer);
    TTalkingBook::MakeInto(input, &voice, stretch, encoder.get(), both, {}, &made.spoken);
    made.files = std::move(entries.Entries);
    made.zip = stream.Data();
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

// The whole book's media:duration in milliseconds.
int64_t BookDurationMs(const Made& made) {
    std::smatch m;
    const std::string& opf = FileOf(made, "OEBPS/content.opf");
    EXPECT_TRUE(std::regex_search(opf, m, std::regex("<meta property=\"media:duration\">([^<]+)<")))
        << opf;
    return m.empty() ? -1 : ClockMs(m[1]);
}

// The clips as a player meets them: the title's overlay, then the story's.
struct Par {
    std::string doc, id;
    int64_t begin, end;
};
std::vector<Par> Pars(const Made& made) {
    const std::regex parRe("<text src=\"([^#\"]+)#([^\"]+)\"/><audio src=\"[^\"]+\" "
                           "clipBegin=\"([^\"]+)\" clipEnd=\"([^\"]+)\"/>");
    std::vector<Par> pars;
    for (const char* doc : {"title", "story"}) {
        const std::string& smil = FileOf(made, std::string("OEBPS/") + doc + ".smil");
        for (std::sregex_iterator i(smil.begin(), smil.end(), parRe), e; i != e; ++i)
            pars.push_back({(*i)[1], (*i)[2], ClockMs((*i)[3]), ClockMs((*i)[4])});
    }
    return pars;
}

// The container, every overlay's text pointing at an id of its document,
// the clips tiling the whole track in order, the book's length the track's,
// and (ByWord) a par for nearly every word.
void CheckStructure(const Made& made, bool byWord = true) {
    // The mimetype first, stored, with no extra field.
    const std::string& z = made.zip;
    ASSERT_GT(z.size(), 38u + 20u);
    EXPECT_EQ(z.substr(0, 4), std::string("PK\3\4", 4));
    EXPECT_EQ(Le16(z, 8), 0) << "stored";
    EXPECT_EQ(Le16(z, 28), 0) << "no extra field";
    EXPECT_EQ(z.substr(30, Le16(z, 26)), "mimetype");
    EXPECT_EQ(z.substr(30 + Le16(z, 26), 20), "application/epub+zip");

    const std::regex idRe("id=\"([^\"]+)\"");
    std::map<std::string, std::set<std::string>> ids;
    for (const char* doc : {"title.xhtml", "story.xhtml"}) {
        const std::string& xhtml = FileOf(made, std::string("OEBPS/") + doc);
        for (std::sregex_iterator i(xhtml.begin(), xhtml.end(), idRe), e; i != e; ++i)
            ids[doc].insert((*i)[1]);
    }
    int64_t last = 0;
    int wordPars = 0;
    const std::vector<Par> pars = Pars(made);
    for (const Par& p : pars) {
        EXPECT_TRUE(ids[p.doc].count(p.id)) << p.doc << ": no id " << p.id;
        wordPars += p.id.find('w') != std::string::npos;
        EXPECT_EQ(p.begin, last) << "clip " << p.id << " of " << p.doc << " follows the last";
        EXPECT_LE(p.begin, p.end);
        last = p.end;
    }
    EXPECT_FALSE(pars.empty());
    EXPECT_EQ(last, made.spoken.DurationMs()) << "the clips hold the whole track";
    EXPECT_EQ(BookDurationMs(made), made.spoken.DurationMs());
    if (byWord) {
        EXPECT_GE(wordPars * 100, made.spoken.TotalWords() * 95) << "a par for nearly every word";
    }
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

// WCAG 2 contrast of two "#rrggbb" colours.
double Contrast(const std::string& a, const std::string& b) {
    auto luminance = [](const std::string& hex) {
        double l = 0;
        const double weight[3] = {0.2126, 0.7152, 0.0722};
        for (int i = 0; i < 3; ++i) {
            const double c = std::stoi(hex.substr(1 + 2 * i, 2), nullptr, 16) / 255.0;
            l += weight[i] * (c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4));
        }
        return l;
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The memory this process holds (kB) and has held at most since the peak
// was last reset (ResetPeak).
long StatusKb(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0)
            return std::atol(line.c_str() + std::strlen(field));
    return -1;
}
bool ResetPeak() {
    std::ofstream refs("/proc/self/clear_refs");
    refs << "5";
    return static_cast<bool>(refs.flush());
}

} // namespace

TEST(TalkingBook, EveryTalePassesEpubcheckAtBothTwistsInBothLetters) {
    if (!HaveMedia())
        GTEST_SKIP() << "built without libmp3lame or zlib";
    TempDir dir;
    std::vector<std::string> books;
    for (int tale = 1; tale <= 10; ++tale)
        for (int twist : {0, 100})
            for (bool easy : {false, true}) {
                SCOPED_TRACE("tale " + std::to_string(tale) + " twist " + std::to_string(twist) +
                             (easy ? " easy" : " classic"));
                fbwtest::NullSpeechSynth voice;
                TTalkingBook::Input input = InputFor(Told(tale, twist), easy);
                input.PageStarts = {0, 400, 1100, 1800};
                const Made made = MakeBook(input, voice, plat::SpeechSynth::kNormalStretch);
                CheckStructure(made);
                books.push_back(dir / ("t" + std::to_string(tale) + "-" + std::to_string(twist) +
                                       (easy ? "-easy" : "-classic") + ".epub"));
                fbwtest::WriteBytes(books.back(), made.zip);
            }
    // And one as the data tool makes it, with the game's voice and picture,
    // the hero's name and the storybook's pages.
    const auto tool = RunTool({"book", "--seed", "2", "--letters", "easy", "--hero", "Anna",
                               "--twist", "100", "--epub", "5", dir / "tool.epub"});
    if (plat::CreateSystemSpeechSynth()) {
        ASSERT_EQ(tool.status, 0) << tool.err;
        books.push_back(dir / "tool.epub");
        const std::string head = ReadBytes(dir / "tool.epub").substr(0, 16384);
        EXPECT_NE(head.find("<dc:creator id=\"creator1\">Anna</dc:creator>"), std::string::npos)
            << "the package, stored, in the file's head";
        if (fbwtest::OnPath("unzip")) {
            const std::string nav = ShellOutput("unzip -p '" + dir / "tool.epub" +
                                                "' OEBPS/nav.xhtml OEBPS/title.xhtml");
            EXPECT_NE(nav.find("page-list"), std::string::npos);
            EXPECT_NE(nav.find("alt=\"" + TTalkingBook::Xml(TTalePictures::Text(5, 2)) + "\""),
                      std::string::npos)
                << nav;
        }
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

TEST(TalkingBook, AceFindsNoViolationAndReadiumResolvesEveryOverlayReference) {
    const std::string ace = NodeTools() + "node_modules/.bin/ace-cli";
    const std::string readium = NodeTools() + "node_modules/r2-shared-js";
    if (!fbwtest::OnPath("node") || !fs::exists(ace) || !fs::exists(readium))
        GTEST_SKIP() << "Ace by DAISY or Readium's parser is not installed (scripts/setup puts "
                        "them in "
                     << NodeTools() << ")";
    if (!fs::exists(kChromium))
        GTEST_SKIP() << "Chromium, which Ace runs its checks in, is not installed";
    if (!plat::CreateSystemSpeechSynth() || !HaveMedia())
        GTEST_SKIP() << "built without flite, libmp3lame or zlib: the data tool makes no book";
    TempDir dir;
    const std::string book = dir / "tool.epub";
    const auto tool = RunTool({"book", "--seed", "4", "--letters", "easy", "--hero", "Anna",
                               "--twist", "100", "--epub", "7", book});
    ASSERT_EQ(tool.status, 0) << tool.err;

    // Ace: every document and the package pass, no violation of any impact.
    const std::string aceLog =
        ShellOutput("PUPPETEER_EXECUTABLE_PATH=" + std::string(kChromium) + " '" + ace +
                    "' --silent --force -o '" + dir / "ace" + "' '" + book + "' 2>&1");
    const std::string report = ReadBytes(dir / "ace/report.json");
    ASSERT_FALSE(report.empty()) << aceLog;
    EXPECT_TRUE(std::regex_search(
        report, std::regex("\"earl:result\":\\s*\\{\\s*\"earl:outcome\":\\s*\"pass\"")));
    EXPECT_FALSE(std::regex_search(report, std::regex("\"earl:outcome\":\\s*\"fail\"")))
        << "Ace's report: " << dir / "ace/report.html";
    EXPECT_EQ(report.find("\"earl:impact\""), std::string::npos);

    // Readium's parser: every overlay reference names an id of its document.
    const std::string parsed =
        ShellOutput("NODE_PATH='" + NodeTools() + "node_modules' node '" + fbwtest::SourceDir() +
                    "/tests/tools/ReadiumCheck.js' '" + book + "' 2>&1; echo \"exit $?\"");
    EXPECT_TRUE(std::regex_search(parsed, std::regex(" [1-9][0-9]* references, 0 unresolved")))
        << parsed;
    EXPECT_NE(parsed.find("exit 0"), std::string::npos) << parsed;
}

TEST(TalkingBook, APlayerGoingClipToClipHearsTheWholeVoiceWithItsPauses) {
    const std::unique_ptr<plat::SpeechSynth> voice = plat::CreateSystemSpeechSynth();
    if (!voice || !HaveMedia())
        GTEST_SKIP() << "built without flite, libmp3lame or zlib";
    if (!fbwtest::OnPath("mpg123"))
        GTEST_SKIP() << "mpg123 is not installed";
    const std::string signs = "Tom & Jerry ate 3 cakes at 50% off, 1,000 times.";
    const Made made = MakeBook(InputFor(Told(9, 50, "3") + "\\n\\n" + signs, false), *voice,
                               plat::SpeechSynth::kNormalStretch);
    CheckStructure(made);
    const TSpokenStory& spoken = made.spoken;
    const uint32_t rate = spoken.SampleRate;
    const std::vector<int16_t> sound = Decode(FileOf(made, "OEBPS/voice.mp3"));
    const double decodedMs = double(sound.size()) * 1000 / rate;
    EXPECT_NEAR(double(BookDurationMs(made)), decodedMs, 1.0) << "media:duration is the track's";

    // A player going from clip to clip: what it skips and what it plays.
    int64_t gap = 0, held = 0, last = 0;
    for (const Par& p : Pars(made)) {
        gap = std::max(gap, p.begin - last);
        held += p.end - p.begin;
        last = p.end;
    }
    EXPECT_LE(gap, 20);
    EXPECT_GE(double(held), 0.99 * decodedMs);
    std::printf("[ figures ] decoded %.0f ms, largest gap %lld ms, clips hold %.2f %%\n", decodedMs,
                static_cast<long long>(gap), 100.0 * double(held) / decodedMs);

    // Between the sentences' sounds, silence; each sentence's words well
    // above it.
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
        const double said = Rms(sound, rate, s.Sound.Begin, s.Sound.End);
        EXPECT_GT(said, 10 * std::max(silence, 30.0)) << "sentence at " << s.Sound.Begin << " ms";
    }
    EXPECT_GT(sentences * 10, int(spoken.Sentences.size()) * 9) << "nearly every sentence by word";
    // The signs the voice reads as words, each word with its clip; "The End"
    // said last.
    const TSpokenStory::Sentence& withSigns = spoken.Sentences[spoken.Sentences.size() - 2];
    EXPECT_EQ(withSigns.WordClips.size(), withSigns.Words.size());
    EXPECT_EQ(withSigns.Words.size(), 11u);
    EXPECT_EQ(spoken.Sentences.back().WordClips.size(), 2u) << "The End";
}

TEST(TalkingBook, SignsSaidAsWordsAndTheEndAreLitWordByWord) {
    if (!HaveMedia())
        GTEST_SKIP() << "built without libmp3lame or zlib";
    fbwtest::NullSpeechSynth voice;
    const Made made =
        MakeBook(InputFor("Tom & Jerry\\n\\nThey ate 50% of 1,000 cakes + 3 pies = lunch!", false),
                 voice, plat::SpeechSynth::kNormalStretch);
    const std::vector<std::string> said = voice.Texts();
    ASSERT_EQ(said.size(), 3u);
    EXPECT_EQ(said[0], "Tom and Jerry");
    EXPECT_EQ(said[1], "They ate 50% of 1,000 cakes plus 3 pies equals lunch!");
    EXPECT_EQ(said[2], "The End");
    EXPECT_EQ(made.spoken.ClippedWords(), made.spoken.TotalWords());
    // The page keeps the sign, in a word of its own.
    EXPECT_NE(FileOf(made, "OEBPS/title.xhtml").find("<span id=\"s1w2\">&amp;</span>"),
              std::string::npos);
    const std::string& story = FileOf(made, "OEBPS/story.xhtml");
    EXPECT_NE(story.find("<span id=\"s2w7\">+</span>"), std::string::npos) << story;
    EXPECT_NE(story.find("<p class=\"the-end\"><span id=\"s3\"><span id=\"s3w1\">The</span> "
                         "<span id=\"s3w2\">End</span></span></p>"),
              std::string::npos)
        << story;
    const std::string& smil = FileOf(made, "OEBPS/story.smil");
    for (const char* id : {"#s2w7\"", "#s2w10\"", "#s3w1\"", "#s3w2\""})
        EXPECT_NE(smil.find(id), std::string::npos) << id;
}

TEST(TalkingBook, ReadersFindItsPartsItsPagesWhatItsPictureShowsAndWhoMadeIt) {
    if (!HaveMedia())
        GTEST_SKIP() << "built without libmp3lame or zlib";
    fbwtest::NullSpeechSynth voice;
    const std::string story = Told(5, 100);
    TTalkingBook::Input input = InputFor(story, false);
    input.CoverPng = "\x89PNG";
    input.CoverAlt = TTalePictures::Text(5, 2);
    input.Hero = "Anna";
    // Page 1 where the title is, page 2 on a space (it shows from the next
    // word), page 3 past the story (nothing shows there).
    const std::size_t space = story.find(' ', 300);
    input.PageStarts = {0, static_cast<int32_t>(space), static_cast<int32_t>(story.size())};
    const Made made = MakeBook(input, voice, plat::SpeechSynth::kNormalStretch);
    const std::string& nav = FileOf(made, "OEBPS/nav.xhtml");
    const std::string& title = FileOf(made, "OEBPS/title.xhtml");
    const std::string& body = FileOf(made, "OEBPS/story.xhtml");
    const std::string& opf = FileOf(made, "OEBPS/content.opf");

    EXPECT_NE(nav.find("<nav epub:type=\"toc\" role=\"doc-toc\""), std::string::npos);
    EXPECT_NE(nav.find("<nav epub:type=\"landmarks\""), std::string::npos);
    EXPECT_NE(nav.find("href=\"story.xhtml#story\""), std::string::npos) << "the story's start";
    EXPECT_NE(body.find("<section id=\"story\" epub:type=\"bodymatter chapter\" "
                        "role=\"doc-chapter\""),
              std::string::npos);
    EXPECT_NE(body.find(">" + TTalkingBook::Xml(StoryTitle(story)) + "</h1>"), std::string::npos)
        << "the story's page has its title as a heading";
    // The page list: pages 1 and 2, each mark before the first word shown.
    const std::regex listed("<a href=\"(\\w+\\.xhtml)#(page\\d)\">");
    std::vector<std::string> pages;
    for (std::sregex_iterator i(nav.begin(), nav.end(), listed), e; i != e; ++i) {
        pages.push_back((*i)[2]);
        const std::string& doc = (*i)[1] == "title.xhtml" ? title : body;
        const std::size_t mark =
            doc.find("epub:type=\"pagebreak\" role=\"doc-pagebreak\" id=\"" + (*i)[2].str() + "\"");
        EXPECT_NE(mark, std::string::npos) << (*i)[2];
        EXPECT_EQ(doc.find("<span id=\"s", mark), doc.find('>', mark) + 8) << "a word follows";
    }
    EXPECT_EQ(pages, (std::vector<std::string>{"page1", "page2"}));
    EXPECT_NE(title.find("alt=\"" + TTalkingBook::Xml(input.CoverAlt) + "\""), std::string::npos);

    // The package says what the book offers, who made it and what it is.
    auto values = [&](const std::string& property) {
        std::vector<std::string> found;
        const std::regex re("<meta property=\"" + property + "\">([^<]*)</meta>");
        for (std::sregex_iterator i(opf.begin(), opf.end(), re), e; i != e; ++i)
            found.push_back((*i)[1]);
        return found;
    };
    EXPECT_EQ(values("schema:accessModeSufficient"),
              (std::vector<std::string>{"textual", "auditory", "textual,visual"}));
    const std::vector<std::string> features = values("schema:accessibilityFeature");
    for (const char* f : {"synchronizedAudioText", "tableOfContents", "readingOrder",
                          "alternativeText", "displayTransformability", "pageNavigation"})
        EXPECT_EQ(std::count(features.begin(), features.end(), f), 1) << f;
    EXPECT_EQ(values("dcterms:conformsTo"),
              std::vector<std::string>{"EPUB Accessibility 1.1 - WCAG 2.1 Level AA"});
    EXPECT_NE(opf.find("property=\"source-of\">pagination</meta>"), std::string::npos)
        << "the page breaks' source";
    EXPECT_NE(opf.find("<dc:creator id=\"creator1\">Anna</dc:creator>"), std::string::npos);
    const std::string id = TTalkingBook::StoryIdentifier(story);
    EXPECT_TRUE(std::regex_match(
        id,
        std::regex("urn:uuid:[0-9a-f]{8}-[0-9a-f]{4}-5[0-9a-f]{3}-[89ab][0-9a-f]{3}-[0-9a-f]{12}")))
        << id;
    EXPECT_NE(opf.find("<dc:identifier id=\"uid\">" + id + "</dc:identifier>"), std::string::npos);
    EXPECT_NE(id, TTalkingBook::StoryIdentifier(story + " "));

    // Made again without names or pages: the same identifier, the game as
    // its maker, no page list.
    const Made again = MakeBook(InputFor(story, true), voice, plat::SpeechSynth::kNormalStretch);
    const std::string& opf2 = FileOf(again, "OEBPS/content.opf");
    EXPECT_NE(opf2.find(id), std::string::npos);
    EXPECT_NE(opf2.find("<dc:creator id=\"creator1\">Fablewhirl</dc:creator>"), std::string::npos);
    EXPECT_EQ(opf2.find("pageNavigation"), std::string::npos);
    EXPECT_EQ(FileOf(again, "OEBPS/nav.xhtml").find("page-list"), std::string::npos);
}

TEST(TalkingBook, TheLitWordStandsOutOnThePaperInBothLettersWithNoFakedFace) {
    if (!HaveMedia())
        GTEST_SKIP() << "built without libmp3lame or zlib";
    for (bool easy : {false, true}) {
        fbwtest::NullSpeechSynth voice;
        const Made made = MakeBook(InputFor("A title\\n\\nOne two.", easy), voice,
                                   plat::SpeechSynth::kNormalStretch);
        const std::string& css = FileOf(made, "OEBPS/book.css");
        std::smatch paper, lit, background, ink;
        ASSERT_TRUE(std::regex_search(css, paper,
                                      std::regex("body \\{\\s*background-color: (#[0-9a-f]{6})")));
        // Both the declared class and the conventional one.
        ASSERT_TRUE(std::regex_search(
            css, lit, std::regex("\\.fbw-reading,\\s*\\.-epub-media-overlay-active \\{([^}]*)\\}")))
            << css;
        const std::string rule = lit[1];
        ASSERT_TRUE(
            std::regex_search(rule, background, std::regex("background-color: (#[0-9a-f]{6})")));
        ASSERT_TRUE(std::regex_search(rule, ink, std::regex("\\n\\s*color: (#[0-9a-f]{6})")));
        EXPECT_GE(Contrast(background[1], paper[1]), 3.0) << "the lit word against the paper";
        EXPECT_GE(Contrast(ink[1], background[1]), 4.5) << "its letters on it";
        // Only the regular face is embedded: nothing asks for an italic one.
        EXPECT_EQ(css.find("italic"), std::string::npos);
    }
}

TEST(TalkingBook, AWorkerThreadMakesTheBookIntoAFileAndACancelThereLeavesNothing) {
    const auto encoder = plat::CreateMp3Encoder();
    if (!encoder)
        GTEST_SKIP() << "built without libmp3lame";
    TempDir dir;
    const std::string story = Told(2, 0);
    auto make = [&](const std::string& path, const TTalkingBook::Progress& progress,
                    fbwtest::NullSpeechSynth& voice, std::string& failure) {
        std::thread worker([&] {
            try {
                const auto file = plat::FileStream::CreateAtomic(path);
                const auto archive = plat::CreateZipWriter(*file);
                TTalkingBook::MakeInto(InputFor(story, false), &voice, 1.0f, encoder.get(),
                                       *archive, progress);
                if (!file->Commit())
                    failure = file->Failure();
            } catch (const std::exception& e) {
                failure = e.what();
            }
        });
        worker.join();
    };
    fbwtest::NullSpeechSynth voice;
    std::vector<int> done;
    int total = 0;
    std::string failure;
    make(
        dir / "book.epub",
        [&](int d, int t) {
            done.push_back(d);
            total = t;
            return true;
        },
        voice, failure);
    EXPECT_EQ(failure, "");
    ASSERT_FALSE(done.empty());
    EXPECT_EQ(done.back(), total);
    EXPECT_EQ(int(done.size()), total);
    if (fbwtest::OnPath("unzip")) {
        EXPECT_EQ(std::system(("unzip -tqq '" + dir / "book.epub" + "'").c_str()), 0);
    }

    // Cancelled after the second sentence: nothing more said, nothing left.
    fbwtest::NullSpeechSynth stopped;
    make(
        dir / "cancelled.epub", [](int d, int) { return d < 2; }, stopped, failure);
    EXPECT_EQ(failure, "Talking book: cancelled");
    EXPECT_EQ(stopped.Texts().size(), 2u);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
}

TEST(TalkingBook, AMegabyteStoryIsMadeInBoundedMemory) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer keeps freed memory aside";
#endif
    if (!ResetPeak() || StatusKb("VmHWM:") < 0)
        GTEST_SKIP() << "this system does not tell a process's peak memory";
    std::string story = Told(3, 100);
    const std::string more = "\\n\\n" + story.substr(story.find("\\n"));
    while (story.size() < (1u << 20))
        story += more;
    TempDir dir;
    fbwtest::NullSpeechSynth voice;
    fbwtest::NullMp3Encoder encoder;
    const auto file = plat::FileStream::CreateAtomic(dir / "long.epub");
    const auto archive = plat::CreateZipWriter(*file);
    ASSERT_TRUE(file && archive);
    TSpokenStory spoken;
    ASSERT_TRUE(ResetPeak());
    const long before = StatusKb("VmRSS:");
    TTalkingBook::MakeInto(InputFor(story, false), &voice, 1.0f, &encoder, *archive, {}, &spoken);
    const long peakMb = (StatusKb("VmHWM:") - before) / 1024;
    // Its sound (hours of it) went through the encoder, not into memory.
    EXPECT_EQ(int64_t(encoder.Samples * 1000 / fbwtest::NullSpeechSynth::kSampleRate),
              spoken.DurationMs());
    EXPECT_GT(spoken.DurationMs(), 3 * 3600 * 1000);
    EXPECT_LT(peakMb, 64) << "MB more at the peak for " << story.size() << " bytes of story";
    std::printf("[ figures ] %zu bytes of story, %.1f h said: %ld MB more at the peak\n",
                story.size(), spoken.DurationMs() / 3.6e6, peakMb);
    EXPECT_TRUE(file->Commit());
}

TEST(TalkingBook, AUnmappedSentenceHasOneParAndTheFailuresMakeNothing) {
    if (!HaveMedia())
        GTEST_SKIP() << "built without libmp3lame or zlib";
    // The voice says a word more than the page has: the sentence light.
    fbwtest::NullSpeechSynth extra;
    extra.ExtraWords = 1;
    const Made made = MakeBook(InputFor("A title\\n\\nOne two three. Four five.", false), extra,
                               plat::SpeechSynth::kNormalStretch);
    CheckStructure(made, false);
    const std::string& smil = FileOf(made, "OEBPS/story.smil");
    EXPECT_NE(smil.find("story.xhtml#s2\""), std::string::npos) << smil;
    EXPECT_NE(smil.find("story.xhtml#s3\""), std::string::npos);
    EXPECT_EQ(smil.find("#s2w"), std::string::npos);
    // The paragraphs, the title's page and "The End".
    const std::string& story = FileOf(made, "OEBPS/story.xhtml");
    EXPECT_NE(story.find("<p><span id=\"s2\"><span id=\"s2w1\">One</span> "), std::string::npos)
        << story;
    EXPECT_NE(story.find("The</span>"), std::string::npos);
    EXPECT_NE(FileOf(made, "OEBPS/title.xhtml").find("<h1><span id=\"s1\">"), std::string::npos);

    // No voice: a clear message, not a silent book.
    const auto encoder = plat::CreateMp3Encoder();
    plat::ZipEntryList unused;
    try {
        TTalkingBook::MakeInto(InputFor("A title\\n\\nWords.", false), nullptr, 1.0f, encoder.get(),
                               unused);
        ADD_FAILURE() << "made without a voice";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(),
                     "Talking book: no voice engine is installed to read the story aloud");
    }
    fbwtest::NullSpeechSynth failing;
    failing.Fail = true;
    EXPECT_THROW(TTalkingBook::MakeInto(InputFor("A title\\n\\nWords.", false), &failing, 1.0f,
                                        encoder.get(), unused),
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
    if (!encoder)
        GTEST_SKIP() << "built without libmp3lame";
    // The title and two sentences are said; the third sentence fails.
    fbwtest::NullSpeechSynth tiring;
    tiring.FailAfter = 3;
    const std::string story = "A title\\n\\nOne two. Three four. Five  six seven. Eight.";
    try {
        plat::ZipEntryList entries;
        TTalkingBook::MakeInto(InputFor(story, false), &tiring, 1.0f, encoder.get(), entries);
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
    if (!HaveMedia())
        GTEST_SKIP() << "built without libmp3lame or zlib";
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

TEST(TalkingBook, ReadBackItGivesItsStoryItsWordTimesAndItsWholeVoice) {
    const auto decoder = plat::CreateMp3Decoder();
    if (!HaveMedia() || !decoder)
        GTEST_SKIP() << "built without libmp3lame, libmpg123 or zlib";
    fbwtest::NullSpeechSynth voice;
    const std::string story =
        "Tom & Jerry\\n\\nThey ran caf\xE9 to caf\xE9. The cat sat,\\nthe dog too!\\n\\nThe end.";
    const Made made = MakeBook(InputFor(story, false), voice, plat::SpeechSynth::kNormalStretch);
    plat::MemoryStream in(made.zip);
    std::string why;
    const auto archive = plat::OpenZipReader(in, why);
    ASSERT_TRUE(archive) << why;
    TTalkingBookReader::Book book = TTalkingBookReader::Read(*archive, decoder.get());
    EXPECT_EQ(book.Story, story) << "the story as the storybook shows it";
    // Every sentence but "The End" with the clips it was made with.
    const auto& spoken = made.spoken.Sentences;
    ASSERT_EQ(book.Sentences.size() + 1, spoken.size());
    for (std::size_t s = 0; s < book.Sentences.size(); ++s) {
        EXPECT_EQ(book.Sentences[s].Span.Begin, spoken[s].Span.Begin) << s;
        EXPECT_EQ(book.Sentences[s].Span.End, spoken[s].Span.End) << s;
        ASSERT_EQ(book.Sentences[s].WordClips.size(), spoken[s].WordClips.size()) << s;
        for (std::size_t w = 0; w < spoken[s].WordClips.size(); ++w)
            EXPECT_EQ(book.Sentences[s].WordClips[w].Begin, spoken[s].WordClips[w].Begin);
    }
    // The voice is as long as the track, and decodes whole.
    ASSERT_TRUE(book.Track);
    const uint32_t rate = book.Track->SampleRate();
    EXPECT_EQ(rate, made.spoken.SampleRate);
    EXPECT_NEAR(double(book.Track->Length()) * 1000 / rate, double(made.spoken.DurationMs()), 1.0);
    std::vector<int16_t> whole;
    ASSERT_TRUE(book.Track->Read(0, book.Track->Length(), whole));
    // A voice longer than the reader plays is refused.
    EXPECT_FALSE(decoder->Open(FileOf(made, "OEBPS/voice.mp3"), why, whole.size() / 2));
    EXPECT_EQ(why, "it is too long");

    // Said as the reader asks: a sentence's stretch of the track and its lit
    // words' times, which map onto the page's words; the sign is not lit.
    TBookVoice said(book.Sentences, std::move(book.Track));
    for (const auto& [text, s] : std::vector<std::pair<std::string, std::size_t>>{
             {"Tom & Jerry", 0}, {"The cat sat,", 2}, {"They ran caf\xE9 to caf\xE9.", 1}}) {
        plat::SpeechPcm pcm;
        ASSERT_TRUE(said.Synthesize(text, pcm)) << text;
        const TSpokenStory::Clip span = spoken[s].Span;
        EXPECT_NEAR(double(pcm.Samples.size()) * 1000 / pcm.SampleRate,
                    double(span.End - span.Begin), 1.0);
        // Decoded where it lies in the track (read out of order, by seeking).
        const std::size_t from = std::size_t(span.Begin) * rate / 1000;
        ASSERT_LE(from + pcm.Samples.size(), whole.size());
        EXPECT_TRUE(std::equal(pcm.Samples.begin(), pcm.Samples.end(), whole.begin() + from))
            << text;
        const int words = TStorySentences::CountWords(text);
        TWordTimes times;
        times.Map(pcm.Words, 0, words);
        ASSERT_TRUE(times.Matched()) << text;
        const auto lit = TStorySentences::FindWords(text.c_str(), 0, int32_t(text.size()));
        // Each page word's clip: the next of the sentence's words that is it.
        std::size_t clip = 0;
        for (int w = 0; w < words; ++w, ++clip) {
            const std::string word = text.substr(lit[w].Begin, lit[w].End - lit[w].Begin);
            while (clip < spoken[s].Words.size() &&
                   story.substr(spoken[s].Words[clip].Begin,
                                spoken[s].Words[clip].End - spoken[s].Words[clip].Begin) != word)
                ++clip;
            ASSERT_LT(clip, spoken[s].WordClips.size()) << word;
            EXPECT_EQ(times.LitAt(spoken[s].WordClips[clip].Begin - span.Begin + 1), w) << text;
        }
    }
    plat::SpeechPcm none;
    EXPECT_FALSE(said.Synthesize("Words the book never says.", none));

    // A book with no voice of its own, and no book at all: refused, saying why.
    plat::MemoryStream foreign;
    const auto writer = plat::CreateZipWriter(foreign);
    ASSERT_TRUE(writer->Add({"mimetype", "application/epub+zip", true}) &&
                writer->Add({"META-INF/container.xml",
                             "<container><rootfiles><rootfile full-path=\"a.opf\"/></rootfiles>"
                             "</container>",
                             false}) &&
                writer->Add({"a.opf",
                             "<package><manifest><item id=\"c\" href=\"c.xhtml\"/></manifest>"
                             "<spine><itemref idref=\"c\"/></spine></package>",
                             false}) &&
                writer->Finish());
    const auto foreignArchive = plat::OpenZipReader(foreign, why);
    ASSERT_TRUE(foreignArchive) << why;
    EXPECT_THROW(TTalkingBookReader::Read(*foreignArchive, decoder.get()),
                 TTalkingBookReader::Refused);
    plat::MemoryStream text(std::string(200, 'x'));
    EXPECT_FALSE(plat::OpenZipReader(text, why));
    EXPECT_EQ(why, "it is no zip archive");
}
