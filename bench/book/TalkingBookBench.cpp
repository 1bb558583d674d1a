// Speed of "Make a talking book" in the storybook window on the offscreen
// platform, with the real game library, story generator (full twist, fixed
// seed) and voice: the longest of the ten tales on its commands spread, from
// the click on the command to the EPUB file closed in the stories folder (the
// offer to open it answered "No"). Bound: a tenth of the story's spoken
// length. Reports the ratio of the two, the spoken length, and the file's
// size per minute of voice (the whole book and its MP3 alone; read with
// unzip, the counters are 0 without it).
//
// The long story: the ten tales told one after another until 60 KB, made by
// TTalkingBook::MakeInto with the real voice and encoder into a file as the
// voice speaks, against its peer in the same run, the voice alone saying the
// same sentences (nothing kept, encoded or written). Bounds: 0.05 of the
// spoken length and 120 MB resident at the peak. Reports both times against
// the spoken length, their ratio, and the peak resident memory of each (and
// its ratio), and the book read back as the storybook plays it (opened and
// said sentence by sentence through its own voice: its time and peak, and the
// track's size were it decoded whole), against the same book's track decoded
// whole at once. The megabyte story: the same tales told to 1 MB, said by the
// quick voice (a tone as long as the words would take said, made at once)
// and encoded by the real encoder, against the quick voice alone, and the
// 60 KB story said the same way: its memory stays bounded. (Eight hours and
// more of voice, it is longer than the storybook plays back.)
// Run: build/bench/book/bench_talkingbook
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <QApplication>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>

#include "BenchFolders.h"
#include "app/FormGame.h"
#include "book/forms/BookAccess.h"
#include "book/forms/CommandsPart.h"
#include "book/forms/FormBook.h"
#include "book/forms/LettersPart.h"
#include "book/forms/PagePainter.h"
#include "book/forms/ReadToMePart.h"
#include "book/forms/TwistsPart.h"
#include "keepsake/PictureBookPlan.h"
#include "keepsake/TalkingBook.h"
#include "keepsake/TalkingBookReader.h"
#include "platform/FileStream.h"
#include "platform/MemoryStream.h"
#include "platform/MessageBox.h"
#include "platform/Mp3Decoder.h"
#include "platform/Mp3Encoder.h"
#include "platform/SpeechSynth.h"
#include "platform/ZipReader.h"
#include "platform/ZipWriter.h"
#include "reading/BookVoice.h"
#include "reading/SpokenStory.h"
#include "story/Generate.h"
#include "story/StoryText.h"
#include "support/BookParts.h"

namespace fs = std::filesystem;

namespace {

std::string Run(const std::string& command) {
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buf[4096];
        for (std::size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;)
            out.append(buf, n);
        pclose(p);
    }
    return out;
}

// Seconds of an "h:mm:ss.mmm" clock value.
double Seconds(const std::string& clock) {
    int h = 0, m = 0;
    double s = 0;
    std::sscanf(clock.c_str(), "%d:%d:%lf", &h, &m, &s);
    return h * 3600.0 + m * 60.0 + s;
}

void BM_MakeTalkingBook(benchmark::State& state) {
    TBenchFolders folders;
    auto game = std::make_unique<TFormGame>();
    TStoryGenerator& generator = *game->Generator();
    generator.SetTwistLevel(100);
    int longest = 1;
    std::size_t length = 0;
    for (int tale = 1; tale <= 10; ++tale) {
        generator.FixSeed(7);
        const std::string story = JoinStoryLines(generator.GenerateStory(tale));
        if (story.size() > length) {
            length = story.size();
            longest = tale;
        }
    }
    auto book = std::make_unique<TFormBook>(generator, *game->Library());
    book->StoriesFolder = folders.Install() + "stories/";
    fbwtest::Keepsakes(*book).OpenDocument = [](const std::string&) { return true; };
    book->ShowError = [&](const std::string& m) { state.SkipWithError(m.c_str()); };
    generator.FixSeed(7);
    book->SetStory(JoinStoryLines(generator.GenerateStory(longest)));
    book->TaleNumber = longest;
    book->show();
    QCoreApplication::processEvents();
    book->ShowPages(book->Book().PageCount() | 1);
    auto previous = plat::SetMessageHandler(
        std::make_unique<plat::CapturingMessageHandler>(plat::MsgAnswer::No));
    double fileBytes = 0, mp3Bytes = 0, voiceSeconds = 0, madeSeconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        fbwtest::Child<QPushButton>(*book, "cmdTalkingBook").click();
        fbwtest::Keepsakes(*book).FinishTalkingBook(); // made on its own thread
        madeSeconds +=
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.PauseTiming();
        for (const auto& entry : fs::directory_iterator(book->StoriesFolder)) {
            const std::string path = entry.path().string();
            fileBytes = double(fs::file_size(path));
            const std::string opf = Run("unzip -p '" + path + "' OEBPS/content.opf");
            const std::string key = "<meta property=\"media:duration\">";
            const std::size_t at = opf.find(key);
            if (at != std::string::npos)
                voiceSeconds = Seconds(opf.substr(at + key.size(), 16));
            const std::string list = Run("unzip -lv '" + path + "' | grep voice.mp3");
            mp3Bytes = std::atof(list.c_str());
        }
        fs::remove_all(book->StoriesFolder);
        state.ResumeTiming();
    }
    plat::SetMessageHandler(std::move(previous));
    state.counters["tale"] = longest;
    state.counters["spokenSeconds"] = voiceSeconds;
    // Click to file closed against the story's spoken length (said time).
    state.counters["madePerSpoken"] =
        voiceSeconds > 0 ? madeSeconds / double(state.iterations()) / voiceSeconds : 0;
    state.counters["fileKBPerMinute"] =
        voiceSeconds > 0 ? fileBytes / 1024 / (voiceSeconds / 60) : 0;
    state.counters["mp3KBPerMinute"] = voiceSeconds > 0 ? mp3Bytes / 1024 / (voiceSeconds / 60) : 0;
    book.reset();
    game.reset();
}

// The resident memory (MB) at the peak since the last reset, or now.
double StatusMb(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0)
            return std::atof(line.c_str() + std::strlen(field)) / 1024;
    return 0;
}
// Gives what was freed back to the system and starts the peak from now.
void ResetPeak() {
    malloc_trim(0);
    std::ofstream("/proc/self/clear_refs") << "5";
}

// The ten tales at full twist told one after another until Bytes long (one
// title, the tales' paragraphs after it).
std::string LongStory(TStoryGenerator& generator, std::size_t bytes) {
    generator.SetTwistLevel(100);
    std::string story;
    for (int round = 0; story.size() < bytes; ++round)
        for (int tale = 1; tale <= 10 && story.size() < bytes; ++tale) {
            generator.FixSeed(7 + round);
            const std::string told =
                ResolveStoryLineEnds(JoinStoryLines(generator.GenerateStory(tale)));
            const std::size_t title = told.find("\\n");
            if (story.empty())
                story = told;
            else if (title != std::string::npos)
                story += "\\n\\n" + told.substr(title + 2);
        }
    return story;
}

// The quick voice: for each text at once a quiet tone as long as it would
// take said (about 160 words a minute at the normal pace, longer or shorter
// with the stretch), each run of characters between spaces a word.
class QuickVoice : public plat::SpeechSynth {
public:
    using plat::SpeechSynth::Synthesize;
    bool Synthesize(const std::string& text, float stretch, plat::SpeechPcm& out) override {
        out = plat::SpeechPcm{};
        if (text.empty())
            return false;
        const double msPerChar = 65.0 * stretch / kNormalStretch;
        const auto at = [&](std::size_t i) { return float(double(i) * msPerChar / 1000); };
        out.SampleRate = 16000;
        out.Samples.resize(std::size_t(at(text.size()) * out.SampleRate));
        for (std::size_t i = 0; i < out.Samples.size(); ++i)
            out.Samples[i] = (i / 32) % 2 ? 800 : -800;
        for (std::size_t i = 0; i < text.size();) {
            if (text[i] == ' ') {
                ++i;
                continue;
            }
            const std::size_t e = std::min(text.find(' ', i), text.size());
            out.Words.push_back({at(i), at(e), int(out.Words.size())});
            i = e;
        }
        return true;
    }
};

struct Measure {
    double seconds = 0, peakMb = 0, spokenSeconds = 0;
    double wholeTrackMb = 0; // read back: the track's samples, were it decoded whole
};

// The book of Story made into a file in Folder by Voice and the real encoder.
Measure MakeBook(const std::string& story, plat::SpeechSynth& voice, const std::string& folder) {
    TTalkingBook::Input input;
    input.Story = story;
    TBookLetters letters;
    input.Face = TTalkingBook::LettersFor(letters);
    plat::ReadWholeFile(input.Face.FontPath, input.FontBytes);
    input.Modified = std::time(nullptr);
    const auto encoder = plat::CreateMp3Encoder();
    Measure run;
    ResetPeak();
    const auto start = std::chrono::steady_clock::now();
    {
        const auto file = plat::FileStream::CreateAtomic(folder + "long.epub");
        const auto archive = plat::CreateZipWriter(*file);
        TSpokenStory spoken;
        TTalkingBook::MakeInto(input, &voice, plat::SpeechSynth::kNormalStretch, encoder.get(),
                               *archive, {}, &spoken);
        file->Commit();
        run.spokenSeconds = spoken.DurationMs() / 1000.0;
    }
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.peakMb = StatusMb("VmHWM:");
    return run;
}

// The book made in Folder read back as the storybook reads it to play it
// (its documents, overlays and voice opened), and then said through the book's
// voice sentence by sentence as the reader asks, each stretch dropped; or,
// when Whole (the peer), its track decoded whole at once.
Measure ReadBack(const std::string& folder, bool whole) {
    Measure run;
    ResetPeak();
    const auto start = std::chrono::steady_clock::now();
    {
        const auto file = plat::FileStream::Open(folder + "long.epub");
        std::string why;
        const auto archive = file ? plat::OpenZipReader(*file, why) : nullptr;
        const auto decoder = plat::CreateMp3Decoder();
        if (archive && decoder)
            try {
                TTalkingBookReader::Book book = TTalkingBookReader::Read(*archive, decoder.get());
                const double rate = book.Track->SampleRate();
                run.spokenSeconds = double(book.Track->Length()) / rate;
                run.wholeTrackMb = double(book.Track->Length()) * sizeof(int16_t) / (1 << 20);
                if (whole) {
                    std::vector<int16_t> samples;
                    if (!book.Track->Read(0, book.Track->Length(), samples))
                        run.spokenSeconds = 0;
                    run.seconds =
                        std::chrono::duration<double>(std::chrono::steady_clock::now() - start)
                            .count();
                    run.peakMb = StatusMb("VmHWM:");
                    return run;
                }
                std::vector<std::string> sentences;
                for (const TBookVoice::Sentence& sentence : book.Sentences) {
                    std::string text;
                    for (const std::string& word : sentence.Words)
                        text += (text.empty() ? "" : " ") + word;
                    sentences.push_back(text);
                }
                TBookVoice voice(std::move(book.Sentences), std::move(book.Track));
                double said = 0;
                for (const std::string& text : sentences) {
                    plat::SpeechPcm pcm;
                    if (voice.Synthesize(text, pcm))
                        said += double(pcm.Samples.size()) / rate;
                }
                if (said < run.spokenSeconds * 0.8)
                    run.spokenSeconds = 0; // not said: no figure
            } catch (const TTalkingBookReader::Refused&) {
                // longer than the storybook plays: no figure
            }
    }
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.peakMb = StatusMb("VmHWM:");
    return run;
}

// The peer: Voice saying the sentences of the same book, its sound dropped.
Measure VoiceAlone(const std::string& story, plat::SpeechSynth& voice) {
    Measure run;
    ResetPeak();
    const auto start = std::chrono::steady_clock::now();
    {
        TSpokenStory spoken;
        const std::string text = story + "\\n\\n" + TPictureBookPlan::kTheEnd;
        spoken.Plan(text);
        spoken.Say(voice, text, plat::SpeechSynth::kNormalStretch,
                   [](const int16_t*, std::size_t) {});
        run.spokenSeconds = spoken.DurationMs() / 1000.0;
    }
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.peakMb = StatusMb("VmHWM:");
    return run;
}

// A story of Bytes made into a book by a voice (the real one, or the test
// voice when Quick), against the same voice alone.
void BM_LongStory(benchmark::State& state, std::size_t bytes, bool quick) {
    TBenchFolders folders;
    auto game = std::make_unique<TFormGame>();
    const std::string story = LongStory(*game->Generator(), bytes);
    game.reset();
    std::unique_ptr<plat::SpeechSynth> voice =
        quick ? std::make_unique<QuickVoice>() : plat::CreateSystemSpeechSynth();
    plat::MemoryStream probe;
    if (!voice || !plat::CreateMp3Encoder() || !plat::CreateZipWriter(probe)) {
        state.SkipWithError("no voice, MP3 encoder or zip writer in this build");
        return;
    }
    Measure book, peer, back, backWhole;
    for (auto _ : state) {
        book = MakeBook(story, *voice, folders.Install());
        state.PauseTiming();
        back = ReadBack(folders.Install(), false);
        backWhole = ReadBack(folders.Install(), true);
        fs::remove(folders.Install() + "long.epub");
        peer = VoiceAlone(story, *voice);
        state.ResumeTiming();
    }
    state.counters["storyKB"] = double(story.size()) / 1024;
    state.counters["spokenSeconds"] = book.spokenSeconds;
    state.counters["madePerSpoken"] = book.seconds / book.spokenSeconds;
    state.counters["peerPerSpoken"] = peer.seconds / peer.spokenSeconds;
    state.counters["timeVsPeer"] = book.seconds / peer.seconds;
    state.counters["peakMB"] = book.peakMb;
    state.counters["peerPeakMB"] = peer.peakMb;
    state.counters["peakVsPeer"] = book.peakMb / peer.peakMb;
    // Read back to be played in the storybook.
    state.counters["readBackSeconds"] = back.seconds;
    state.counters["readBackSaidSeconds"] = back.spokenSeconds;
    state.counters["readBackPeakMB"] = back.peakMb;
    state.counters["wholeTrackMB"] = back.wholeTrackMb;
    // Against the track decoded whole at once, as it was played before.
    state.counters["readBackWholePeakMB"] = backWhole.peakMb;
    state.counters["readBackPeakVsWhole"] = back.peakMb / backWhole.peakMb;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::RegisterBenchmark("MakeTalkingBook/LongestTale", BM_MakeTalkingBook)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3);
    benchmark::RegisterBenchmark("MakeTalkingBook/LongStory60KB", BM_LongStory, 60u << 10, false)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1);
    benchmark::RegisterBenchmark("MakeTalkingBook/Story60KBQuickVoice", BM_LongStory, 60u << 10,
                                 true)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1);
    benchmark::RegisterBenchmark("MakeTalkingBook/Story1MBQuickVoice", BM_LongStory, 1u << 20, true)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
