// The reading state machine on the test wave-out device and the test
// synthesizer: starting, the next sentence after each done message, page
// turns, every way of stopping, the end of the story; and the highlight it
// draws behind the text.
#include <gtest/gtest.h>

#include <algorithm>

#include "book/Book.h"
#include "platform/FixedCanvas.h"
#include "reading/ReadAloud.h"
#include "reading/ReadHighlight.h"
#include "sound/WaveMan.h"
#include "support/NullSpeechSynth.h"
#include "support/SpokenText.h"
#include "support/TestWaveOutService.h"
#include "support/WaveManWindow.h"

namespace {

// Five pages of 20 characters by 3 lines: sentence 3 runs from page 2 onto
// page 3, the story ends on page 5 (the commands spread).
const char* const kStory =
    "The Tale\\n\\nAa bb cc. Dd ee ff gg hh ii jj kk ll mm nn oo pp qq rr. Ss tt uu vv ww xx yy "
    "zz aa bb cc dd.\\n\\nUu vv ww. Xx yy zz aa bb cc dd ee ff gg hh. Ii jj.\\n\\nKk ll mm. The "
    "end.";
// The same without its last page: it ends on page 4, a right-hand page.
const char* const kEvenStory =
    "The Tale\\n\\nAa bb cc. Dd ee ff gg hh ii jj kk ll mm nn oo pp qq rr. Ss tt uu vv ww xx yy "
    "zz aa bb cc dd.\\n\\nUu vv ww. Xx yy zz aa bb cc dd ee ff gg hh. Ii jj.";

using Window = fbwtest::WaveManWindow;

// The storybook as the reader sees it.
class Owner : public TReadAloudOwner {
public:
    TReadAloud* reader = nullptr;
    std::vector<int> spreads;
    std::vector<int> repaints;
    std::vector<bool> states; // reading (speaking or paused) at each change
    std::vector<TReadState> changes;
    std::vector<TLinePart> repaintedParts;
    bool stopWhenShowing = false; // a window whose ShowPages stops the reading
    void ReadAloudShowSpread(int leftPage) override {
        spreads.push_back(leftPage);
        if (stopWhenShowing)
            reader->Stop();
    }
    void ReadAloudRepaintPage(int page) override { repaints.push_back(page); }
    void ReadAloudRepaintParts(const std::vector<TLinePart>& parts) override {
        repaintedParts.insert(repaintedParts.end(), parts.begin(), parts.end());
    }
    void ReadAloudStateChanged(TReadState state) override {
        states.push_back(state != TReadState::Idle);
        changes.push_back(state);
    }
};

class ReadAloudTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto service = std::make_unique<fbwtest::TestWaveOutService>();
        device = service.get();
        previous = plat::SetWaveOutService(std::move(service));
        manager = std::make_unique<TWaveMan>(&window, true);
        window.manager = manager.get();
        auto s = std::make_unique<fbwtest::NullSpeechSynth>();
        synth = s.get();
        reader = std::make_unique<TReadAloud>(owner, std::move(s));
        owner.reader = reader.get();
        Layout(kStory);
    }
    void TearDown() override {
        reader.reset();
        window.manager = nullptr;
        manager.reset();
        plat::SetWaveOutService(std::move(previous));
    }
    void Layout(const char* story, int width = 100) {
        text = story;
        book.Paginate(&canvas, TRect{0, 0, width, 30}, text.c_str());
    }
    bool Start(int leftPage) { return reader->Start(*manager, book, text.c_str(), leftPage); }
    // The sentence playing has been heard and the message loop runs.
    void Heard() {
        ASSERT_TRUE(device->FinishBuffer());
        device->DeliverMessages();
    }
    // The text of the sentence the device plays.
    std::string Playing() const { return fbwtest::SpokenText(*device); }
    // The bytes of the sound the device plays.
    std::string PlayingSound() const {
        const plat::WaveHeader* h = device->Playing()->queue.front();
        return std::string(reinterpret_cast<const char*>(h->data), h->bufferLength);
    }
    // How many times Text has been synthesized.
    long Made(const std::string& text) const {
        const std::vector<std::string> texts = synth->Texts();
        return std::count(texts.begin(), texts.end(), text);
    }
    int SpeechNodes() const {
        int n = 0;
        for (TLumNode* p = manager->Sounds.First; p; p = p->Next)
            n += static_cast<TSoundNode*>(p)->SoundId >= TReadAloud::kFirstSoundId;
        return n;
    }

    fbwtest::TestWaveOutService* device = nullptr;
    std::unique_ptr<plat::WaveOutService> previous;
    Window window;
    std::unique_ptr<TWaveMan> manager;
    fbwtest::NullSpeechSynth* synth = nullptr; // owned by the reader
    Owner owner;
    std::unique_ptr<TReadAloud> reader;
    plat::FixedCanvas canvas{5, 10};
    TBook book;
    std::string text;
};

} // namespace

TEST_F(ReadAloudTest, ReadsTheTitleFirstThenEachSentenceAfterTheLastIsHeard) {
    ASSERT_TRUE(reader->Available(manager.get()));
    ASSERT_TRUE(Start(1));
    EXPECT_TRUE(reader->Reading());
    EXPECT_EQ(owner.states, (std::vector<bool>{true}));
    EXPECT_EQ(Playing(), "The Tale");
    EXPECT_EQ(reader->Highlight(), (std::vector<TLinePart>{{1, 1, 0, 8}}));
    EXPECT_EQ(owner.repaints, (std::vector<int>{1}));
    EXPECT_TRUE(owner.spreads.empty());

    Heard(); // the next sentence starts within the same done message
    EXPECT_EQ(Playing(), "Aa bb cc.");
    EXPECT_EQ(reader->Highlight(), (std::vector<TLinePart>{{1, 3, 0, 9}}));
    EXPECT_EQ(SpeechNodes(), 1) << "the heard sentence is freed";
    Heard();
    EXPECT_EQ(Playing(), "Dd ee ff gg hh ii jj kk ll mm nn oo pp qq rr.");
    EXPECT_EQ(reader->Highlight().size(), 3u) << "1.3, 2.1 and 2.2";
    EXPECT_EQ(owner.repaints, (std::vector<int>{1, 1, 1, 1, 1, 2}));
    const std::vector<std::string> texts = synth->Texts(); // each sentence once, in order
    EXPECT_EQ(std::vector<std::string>(texts.begin(), texts.begin() + 3),
              (std::vector<std::string>{"The Tale", "Aa bb cc.",
                                        "Dd ee ff gg hh ii jj kk ll mm nn oo pp qq rr."}));
    EXPECT_EQ(device->OpenDevices(), 1);
}

TEST_F(ReadAloudTest, TurnsThePagesByItselfAndStopsAtTheEndOfTheStory) {
    owner.stopWhenShowing = true; // a window whose ShowPages stops the reading
    ASSERT_TRUE(Start(1));
    std::vector<std::string> heard;
    std::vector<int> spreadAtEach;
    while (reader->Reading()) {
        heard.push_back(Playing());
        spreadAtEach.push_back(reader->LeftPage());
        Heard();
    }
    EXPECT_EQ(heard.size(), reader->Sentences().Items.size());
    EXPECT_EQ(heard.back(), "The end.");
    // The sentence from page 2 onto page 3 is read on the first spread; the
    // page turns when the next one begins beyond it.
    EXPECT_EQ(spreadAtEach, (std::vector<int>{1, 1, 1, 1, 3, 3, 3, 5, 5}));
    EXPECT_EQ(owner.spreads, (std::vector<int>{3, 5})) << "the story ends on the commands spread";
    EXPECT_EQ(owner.states, (std::vector<bool>{true, false}));
    EXPECT_TRUE(reader->Highlight().empty());
    EXPECT_EQ(owner.repaints.back(), 5) << "the last highlight is taken away";
    EXPECT_EQ(device->OpenDevices(), 0);
    EXPECT_EQ(SpeechNodes(), 0);

    // A story that ends on a right-hand page turns once more, to the commands.
    Layout(kEvenStory);
    owner.spreads.clear();
    ASSERT_TRUE(Start(3));
    EXPECT_EQ(Playing(), "Ss tt uu vv ww xx yy zz aa bb cc dd.")
        << "a sentence that began on the spread before is read whole";
    while (reader->Reading())
        Heard();
    EXPECT_EQ(owner.spreads, (std::vector<int>{5}));
}

TEST_F(ReadAloudTest, StopEndsTheVoiceAndTheHighlightAtOnceWhateverThePlayerDid) {
    // Stopping on the first sentence, after a sentence, after a page turn and
    // on the last sentence: the button, a page turn, a new or saved story and
    // closing the book all stop the same way.
    for (int sentencesHeard : {0, 1, 4, 8}) {
        SCOPED_TRACE(sentencesHeard);
        owner = Owner{};
        owner.reader = reader.get();
        ASSERT_TRUE(Start(1));
        for (int i = 0; i < sentencesHeard; ++i)
            Heard();
        const std::vector<TLinePart> lit = reader->Highlight();
        const int resets = device->Devices().back()->resets;
        owner.repaints.clear();
        reader->Stop();
        EXPECT_FALSE(reader->Reading());
        EXPECT_TRUE(reader->Highlight().empty());
        EXPECT_EQ(owner.states, (std::vector<bool>{true, false}));
        EXPECT_EQ(owner.repaints.front(), lit.front().Page);
        EXPECT_EQ(owner.repaints.back(), lit.back().Page);
        EXPECT_EQ(device->Devices().back()->resets, resets + 1) << "the device stops now";
        EXPECT_EQ(device->OpenDevices(), 0);
        EXPECT_EQ(SpeechNodes(), 0);
        // The reset's done message comes later and starts nothing.
        const std::size_t opened = device->Devices().size();
        device->DeliverMessages();
        EXPECT_EQ(device->Devices().size(), opened);
        reader->Stop(); // twice is harmless
        EXPECT_EQ(owner.states.size(), 2u);
    }
    // Pressing the button again reads again, from the spread shown.
    ASSERT_TRUE(Start(3));
    EXPECT_EQ(Playing(), "Ss tt uu vv ww xx yy zz aa bb cc dd.");
    // Starting while reading starts over.
    ASSERT_TRUE(Start(5));
    EXPECT_EQ(Playing(), "Kk ll mm.");
    EXPECT_EQ(device->OpenDevices(), 1);
    EXPECT_EQ(SpeechNodes(), 1);
}

TEST_F(ReadAloudTest, PressesHandledWhileADeviceClosesEndAsTheLastOneAsked) {
    // A device whose closing runs the event loop: a press waiting there is
    // handled in the middle of the one that closed it.
    auto press = [&] { reader->Reading() ? reader->Stop() : void(Start(1)); };
    int left = 0;
    device->Controls().duringReset = [&] {
        if (left > 0) {
            --left;
            press();
        }
    };
    // 25 quick presses: each stop's closing device takes the next one.
    left = 25;
    while (left > 0) {
        --left;
        press();
    }
    EXPECT_TRUE(reader->Reading());
    EXPECT_EQ(owner.states.back(), true);
    EXPECT_EQ(Playing(), "The Tale");
    EXPECT_EQ(SpeechNodes(), 1);
    EXPECT_EQ(device->OpenDevices(), 1);
    device->DeliverMessages(); // the closed devices' messages start nothing
    EXPECT_EQ(SpeechNodes(), 1);
    Heard();
    EXPECT_EQ(Playing(), "Aa bb cc.") << "the reading goes on";

    // A stop pressed while the voice starts, as the game sound it interrupts
    // closes its device: the voice does not go on.
    reader->Stop();
    device->DeliverMessages();
    owner.states.clear();
    const std::vector<int16_t> pcm(1600, 100);
    const plat::WaveFormat format{plat::kWaveFormatPcm, 1, 16000, 32000, 2, 16, 0};
    manager->Sounds.AddLast(new TSoundNode(format, pcm.data(), pcm.size() * 2, 0, 1));
    ASSERT_TRUE(manager->PlaySound(1, 0, false));
    left = 1;
    press();
    EXPECT_EQ(left, 0);
    EXPECT_FALSE(reader->Reading());
    EXPECT_EQ(owner.states.back(), false);
    EXPECT_EQ(SpeechNodes(), 0);
    device->DeliverMessages();
    EXPECT_FALSE(reader->Reading());
    EXPECT_EQ(manager->FindPlaying(), nullptr);
    EXPECT_EQ(device->OpenDevices(), 0);
}

TEST_F(ReadAloudTest, GameSoundsGiveWayToTheVoice) {
    // A game sound that plays when reading starts is stopped; one that is
    // asked for while reading waits until the reading ends.
    const std::vector<int16_t> pcm(1600, 100);
    const plat::WaveFormat format{plat::kWaveFormatPcm, 1, 16000, 32000, 2, 16, 0};
    manager->Sounds.AddLast(new TSoundNode(format, pcm.data(), pcm.size() * 2, 0, 1));
    ASSERT_TRUE(manager->PlaySound(1, 0, false));
    ASSERT_TRUE(Start(1));
    EXPECT_EQ(device->Devices()[0]->resets, 1);
    device->DeliverMessages(); // the game sound's done message: the voice begins
    EXPECT_EQ(Playing(), "The Tale");
    EXPECT_TRUE(manager->PlaySound(1, poOverSound, false)) << "queued behind the voice";
    Heard();
    EXPECT_EQ(Playing(), "Aa bb cc.");
    reader->Stop();
    device->DeliverMessages();
    EXPECT_EQ(manager->FindPlaying(), manager->FindSound(1));
}

TEST_F(ReadAloudTest, NothingToSayOrNoWayToSayItLeavesTheReaderIdle) {
    EXPECT_FALSE(reader->Available(nullptr));
    TReadAloud mute(owner, nullptr);
    EXPECT_FALSE(mute.Available(manager.get()));
    EXPECT_FALSE(mute.Start(*manager, book, text.c_str(), 1));

    // No audio output yet: the reader is not offered until one comes, and
    // asking is what finds it.
    device->Controls().devices = 0;
    manager->SetEnabled(true);
    EXPECT_FALSE(reader->Available(manager.get()));
    device->Controls().devices = 1;
    EXPECT_TRUE(reader->Available(manager.get()));
    EXPECT_TRUE(manager->Enabled);

    EXPECT_FALSE(Start(7)) << "the empty spread after the story";
    synth->Fail = true;
    EXPECT_FALSE(Start(1)) << "no sentence can be spoken";
    EXPECT_TRUE(owner.states.empty());
    EXPECT_EQ(SpeechNodes(), 0);
    EXPECT_EQ(device->Devices().size(), 0u);

    fbwtest::TestWaveOutService::Control& c = device->Controls();
    synth->Fail = false;
    c.failOpen = true;
    EXPECT_FALSE(Start(1)) << "no device opens";
    EXPECT_EQ(SpeechNodes(), 0);
    c.failOpen = false;

    // A device that fails later ends the reading as a stop does.
    ASSERT_TRUE(Start(1));
    c.failOpen = true;
    Heard();
    EXPECT_FALSE(reader->Reading());
    EXPECT_EQ(owner.states, (std::vector<bool>{true, false}));
    EXPECT_EQ(SpeechNodes(), 0);

    // Sound switched off: the voice is the player's own request, and plays.
    c.failOpen = false;
    manager->SetEnabled(false);
    EXPECT_TRUE(reader->Available(manager.get()));
    EXPECT_TRUE(Start(1));
    EXPECT_EQ(device->OpenDevices(), 1);
}

TEST_F(ReadAloudTest, SentencesTheEngineCannotSayArePassedOver) {
    class Picky : public fbwtest::NullSpeechSynth {
    public:
        bool Synthesize(const std::string& t, float stretch, plat::SpeechPcm& out) override {
            return t != "Aa bb cc." && NullSpeechSynth::Synthesize(t, stretch, out);
        }
    };
    TReadAloud picky(owner, std::make_unique<Picky>());
    ASSERT_TRUE(picky.Start(*manager, book, text.c_str(), 1));
    ASSERT_TRUE(device->FinishBuffer());
    device->DeliverMessages();
    EXPECT_EQ(picky.CurrentSentence(), 2);
    picky.Stop();
}

TEST_F(ReadAloudTest, ANewLayoutMovesTheHighlightAndTheSpread) {
    ASSERT_TRUE(Start(1));
    for (int i = 0; i < 5; ++i)
        Heard();
    ASSERT_EQ(Playing(), "Xx yy zz aa bb cc dd ee ff gg hh.");
    ASSERT_EQ(reader->LeftPage(), 3);
    // Four times as wide: the sentence now stands on page 2.
    Layout(kStory, 400);
    owner.spreads.clear();
    reader->Relayout(book);
    EXPECT_EQ(reader->Highlight().front().Page, 2);
    EXPECT_EQ(owner.spreads, (std::vector<int>{1}));
    EXPECT_EQ(Playing(), "Xx yy zz aa bb cc dd ee ff gg hh.") << "the voice goes on";
}

TEST_F(ReadAloudTest, TheHighlightIsFilledBehindTheTextOfTheLitParts) {
    ASSERT_TRUE(Start(1));
    canvas.ClearCalls();
    reader->DrawHighlight(book, canvas, 100, 1, text.c_str());
    book.DrawPage(&canvas, 100, text.c_str(), 1, 30);
    const auto& calls = canvas.Calls();
    ASSERT_GE(calls.size(), 2u);
    // The title, bold at 5/3 of the size (20 points) and centred.
    const plat::FixedCanvas::Call& fill = calls[0];
    ASSERT_EQ(fill.kind, plat::FixedCanvas::Call::Fill);
    EXPECT_EQ(fill.fill, TReadHighlight::kColour);
    const int w = 8 * 5 * 20 / 12;
    const int x = (100 - w) / 2;
    EXPECT_EQ(fill.x, x - TReadHighlight::kPadX);
    EXPECT_EQ(fill.right, x + w + TReadHighlight::kPadX);
    EXPECT_EQ(fill.y, 0);
    EXPECT_EQ(fill.bottom, 16);
    EXPECT_EQ(calls[1].kind, plat::FixedCanvas::Call::Text);
    EXPECT_EQ(calls[1].x, x) << "the fill lies under the title as drawn";
    EXPECT_EQ(canvas.FontSize(), 12);
    EXPECT_FALSE(canvas.Bold());

    // A sentence across lines and pages fills its part on each line of the
    // page drawn, from its first to its last character.
    Heard();
    Heard();
    canvas.ClearCalls();
    reader->DrawHighlight(book, canvas, 100, 1, text.c_str());
    reader->DrawHighlight(book, canvas, 100, 2, text.c_str());
    std::vector<std::array<int, 4>> fills;
    for (const auto& c : canvas.Calls())
        if (c.kind == plat::FixedCanvas::Call::Fill)
            fills.push_back({c.x + 2, c.y, c.right - 2, c.bottom});
    EXPECT_EQ(fills, (std::vector<std::array<int, 4>>{
                         {50, 20, 90, 30}, {0, 0, 100, 10}, {0, 10, 75, 20}}));
    canvas.ClearCalls();
    reader->DrawHighlight(book, canvas, 100, 3, text.c_str());
    EXPECT_TRUE(canvas.Calls().empty());
    // Parts are clamped to their line; lines that do not exist cover nothing.
    EXPECT_EQ(book.LinePartRectFrom(&book.Pages, &canvas, 100, 2, 3, -5, 99, text.c_str()),
              (TRect{0, 20, 100, 30}));
    EXPECT_TRUE(
        book.LinePartRectFrom(&book.Pages, &canvas, 100, 2, 3, 2, 2, text.c_str()).IsEmpty());
    EXPECT_TRUE(
        book.LinePartRectFrom(&book.Pages, &canvas, 100, 2, 4, 0, 3, text.c_str()).IsEmpty());
    EXPECT_TRUE(
        book.LinePartRectFrom(&book.Pages, &canvas, 100, 9, 1, 0, 3, text.c_str()).IsEmpty());
    reader->Stop();
    reader->DrawHighlight(book, canvas, 100, 1, text.c_str());
    EXPECT_TRUE(canvas.Calls().empty());
}

TEST_F(ReadAloudTest, ALongFirstSentenceIsSpokenInTwoPartsUnderOneHighlight) {
    Layout("Far away, over the hills and far beyond the seven seas, there stood a little "
           "house of bread and cake. It was warm.",
           400);
    ASSERT_TRUE(Start(1));
    EXPECT_EQ(Playing(), "Far away, over the hills and far beyond the seven seas,")
        << "split after the first comma with enough before it";
    const std::vector<TLinePart> lit = reader->Highlight();
    // The whole sentence is lit (its lines and the spaces at their breaks).
    std::size_t litChars = lit.size() - 1;
    for (const TLinePart& p : lit)
        litChars += p.End - p.Start;
    EXPECT_EQ(litChars, reader->Sentences().Items[0].Speech.size());
    owner.repaints.clear();
    Heard();
    EXPECT_EQ(Playing(), "there stood a little house of bread and cake.");
    EXPECT_EQ(reader->Highlight(), lit);
    EXPECT_TRUE(owner.repaints.empty());
    Heard();
    EXPECT_EQ(Playing(), "It was warm.");
    EXPECT_EQ(reader->CurrentSentence(), 1);

    // Only the first sentence read is split; short ones never are.
    ASSERT_TRUE(Start(1));
    Heard();
    Heard();
    Layout("A short one, with a comma. Far away, over the hills and far beyond the seven seas, "
           "there stood a house.",
           400);
    ASSERT_TRUE(Start(1));
    EXPECT_EQ(Playing(), "A short one, with a comma.");
    Heard();
    EXPECT_EQ(Playing(),
              "Far away, over the hills and far beyond the seven seas, there stood a house.");
}

TEST_F(ReadAloudTest, TheWordHeardIsLitAtThePlayedPositionAndOnlyItsPartsRepainted) {
    ASSERT_TRUE(Start(1));
    device->DeliverMessages();
    ASSERT_EQ(Playing(), "The Tale");
    fbwtest::TestWaveOutService::Control& c = device->Controls();
    auto at = [&](uint32_t ms) {
        c.position = {plat::WavePosition::Unit::Milliseconds, ms};
        return reader->Follow();
    };
    // "The" from 0 ms, "Tale" from the time of character 4.
    const uint32_t tale = fbwtest::NullSpeechSynth::MsAt(4);
    const uint32_t end = fbwtest::NullSpeechSynth::MsAt(8);
    owner.repaintedParts.clear();
    EXPECT_EQ(at(0), tale) << "the next word is due then";
    EXPECT_EQ(reader->LitWord(), 0);
    EXPECT_EQ(reader->LitParts(), (std::vector<TLinePart>{{1, 1, 0, 3}}));
    EXPECT_EQ(owner.repaintedParts, reader->LitParts()) << "only the word lit";
    owner.repaintedParts.clear();
    EXPECT_EQ(at(tale - 1), 1);
    EXPECT_TRUE(owner.repaintedParts.empty()) << "nothing changed";
    at(tale);
    EXPECT_EQ(reader->LitWord(), 1);
    EXPECT_EQ(owner.repaintedParts, (std::vector<TLinePart>{{1, 1, 0, 3}, {1, 1, 4, 8}}))
        << "the dark, then the lit";
    EXPECT_EQ(at(end), -1) << "after the last word";
    EXPECT_EQ(reader->LitWord(), -1);
    EXPECT_TRUE(owner.repaints.size() == 1) << "no page was drawn again for a word";

    // The highlight: the word over the sentence.
    at(0);
    canvas.ClearCalls();
    reader->DrawHighlight(book, canvas, 100, 1, text.c_str());
    ASSERT_EQ(canvas.Calls().size(), 2u);
    EXPECT_EQ(canvas.Calls()[0].fill, TReadHighlight::kColour);
    EXPECT_EQ(canvas.Calls()[1].fill, TReadHighlight::kWordColour);

    // A position the device cannot tell lights nothing.
    c.failPosition = true;
    EXPECT_EQ(reader->Follow(), -1);
    EXPECT_EQ(reader->LitWord(), -1);
    c.failPosition = false;

    // The next sentence starts dark; its words are its own.
    at(0);
    Heard();
    EXPECT_EQ(reader->LitWord(), -1);
    c.position.value = fbwtest::NullSpeechSynth::MsAt(3);
    reader->Follow();
    EXPECT_EQ(reader->LitWord(), 1) << "\"bb\" of \"Aa bb cc.\"";
    EXPECT_EQ(reader->LitParts(), (std::vector<TLinePart>{{1, 3, 3, 5}}));

    // Words the voice cannot match to the page: the sentence alone is lit.
    synth->ExtraWords = 1;
    Heard(); // the sentence made ahead
    Heard();
    c.position.value = 0;
    EXPECT_EQ(reader->Follow(), -1);
    EXPECT_EQ(reader->LitWord(), -1);
    EXPECT_FALSE(reader->Highlight().empty());
}

TEST_F(ReadAloudTest, PauseKeepsTheLitWordAndGoingOnReadsThePausedSentenceAgain) {
    ASSERT_TRUE(Start(1));
    Heard();
    Heard();
    const std::string paused = "Dd ee ff gg hh ii jj kk ll mm nn oo pp qq rr.";
    ASSERT_EQ(Playing(), paused);
    const std::string sound = PlayingSound();
    device->Controls().position = {plat::WavePosition::Unit::Milliseconds,
                                   fbwtest::NullSpeechSynth::MsAt(7)};
    reader->Follow();
    ASSERT_EQ(reader->LitWord(), 2);
    const std::vector<TLinePart> sentence = reader->Highlight();
    const std::vector<TLinePart> word = reader->LitParts();
    const int resets = device->Devices().back()->resets;
    owner.repaints.clear();
    owner.repaintedParts.clear();
    reader->Pause();
    EXPECT_EQ(reader->State(), TReadState::Paused);
    EXPECT_TRUE(reader->Reading());
    EXPECT_EQ(owner.changes.back(), TReadState::Paused);
    EXPECT_EQ(device->Devices().back()->resets, resets + 1) << "the voice stops at once";
    EXPECT_EQ(device->OpenDevices(), 0);
    EXPECT_EQ(SpeechNodes(), 0);
    EXPECT_EQ(reader->Highlight(), sentence);
    EXPECT_EQ(reader->LitParts(), word) << "the lit word stays lit";
    EXPECT_TRUE(owner.repaints.empty() && owner.repaintedParts.empty());
    EXPECT_EQ(reader->Follow(), -1);
    EXPECT_EQ(reader->LitWord(), 2);
    device->DeliverMessages(); // the reset's done message starts nothing
    EXPECT_EQ(device->OpenDevices(), 0);
    reader->Pause(); // twice is harmless
    EXPECT_EQ(owner.changes.size(), 2u);

    EXPECT_TRUE(reader->GoOn());
    EXPECT_EQ(reader->State(), TReadState::Speaking);
    EXPECT_EQ(Playing(), paused) << "from its start";
    EXPECT_EQ(PlayingSound(), sound) << "the sound kept";
    EXPECT_EQ(Made(paused), 1) << "not synthesized again";
    EXPECT_EQ(reader->LitWord(), -1);
    EXPECT_EQ(owner.repaintedParts, word) << "the word goes dark until it is heard again";
    reader->Follow();
    EXPECT_EQ(reader->LitWord(), 2) << "its word times kept too";
    EXPECT_FALSE(reader->GoOn()) << "not paused";
    Heard();
    EXPECT_EQ(Playing(), "Ss tt uu vv ww xx yy zz aa bb cc dd.") << "and on";

    // Every stop of a paused reading ends it as it ends a speaking one.
    reader->Pause();
    reader->Stop();
    EXPECT_EQ(reader->State(), TReadState::Idle);
    EXPECT_TRUE(reader->Highlight().empty());
    EXPECT_TRUE(reader->LitParts().empty());
    EXPECT_EQ(owner.changes.back(), TReadState::Idle);
    EXPECT_FALSE(reader->GoOn());

    // A long first sentence read in two parts goes on from its first part.
    Layout("Far away, over the hills and far beyond the seven seas, there stood a little "
           "house of bread and cake. It was warm.",
           400);
    ASSERT_TRUE(Start(1));
    Heard();
    ASSERT_EQ(Playing(), "there stood a little house of bread and cake.");
    device->Controls().position.value = fbwtest::NullSpeechSynth::MsAt(6);
    reader->Follow();
    EXPECT_EQ(reader->LitWord(), 12) << "\"stood\": the second part's words follow the first's";
    reader->Pause();
    ASSERT_TRUE(reader->GoOn());
    EXPECT_EQ(Playing(), "Far away, over the hills and far beyond the seven seas,");
    Heard();
    EXPECT_EQ(Playing(), "there stood a little house of bread and cake.");
    EXPECT_EQ(Made("Far away, over the hills and far beyond the seven seas,"), 1);
    EXPECT_EQ(Made("there stood a little house of bread and cake."), 1) << "both parts kept";
    // A pace changed and changed back while paused is the pace it was made at.
    reader->Pause();
    reader->SetPace(1.5f);
    reader->SetPace(plat::SpeechSynth::kNormalStretch);
    ASSERT_TRUE(reader->GoOn());
    EXPECT_EQ(Made("Far away, over the hills and far beyond the seven seas,"), 1);
}

TEST_F(ReadAloudTest, APaceChangeTakesEffectFromTheNextSentence) {
    auto playingLength = [&] { return device->Playing()->queue.front()->bufferLength / 2; };
    ASSERT_TRUE(Start(1));
    ASSERT_EQ(Playing(), "The Tale");
    EXPECT_EQ(playingLength(), fbwtest::NullSpeechSynth::SamplesFor("The Tale"));
    reader->SetPace(1.5f);
    // The sentence made ahead at the old pace is made again at the new one.
    Heard();
    ASSERT_EQ(Playing(), "Aa bb cc.");
    EXPECT_EQ(playingLength(), fbwtest::NullSpeechSynth::SamplesFor("Aa bb cc.", 1.5f));
    Heard();
    EXPECT_EQ(playingLength(), fbwtest::NullSpeechSynth::SamplesFor(Playing(), 1.5f))
        << "and the ones after it";
    // Paused, a change is used when reading goes on.
    reader->Pause();
    reader->SetPace(0.95f);
    ASSERT_TRUE(reader->GoOn());
    EXPECT_EQ(playingLength(), fbwtest::NullSpeechSynth::SamplesFor(Playing(), 0.95f));
    EXPECT_FLOAT_EQ(reader->Pace(), 0.95f);
    // The rest of a sentence spoken in two parts keeps the pace of its first.
    Layout("Far away, over the hills and far beyond the seven seas, there stood a little "
           "house of bread and cake. It was warm.",
           400);
    ASSERT_TRUE(Start(1));
    reader->SetPace(1.5f);
    Heard();
    EXPECT_EQ(playingLength(), fbwtest::NullSpeechSynth::SamplesFor(Playing(), 0.95f));
    Heard();
    EXPECT_EQ(Playing(), "It was warm.");
    EXPECT_EQ(playingLength(), fbwtest::NullSpeechSynth::SamplesFor(Playing(), 1.5f));
}
