// Record mode in the storybook, where it meets reading aloud: sentences
// recorded from a microphone (a test double fed a known take) are read back
// in that recording, their words lit in order; in record mode Tab goes
// through the panel and not the foot controls it covers, at any window size;
// without a microphone the control is faded and says why.
#include <QApplication>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <cmath>
#include <fstream>
#include <memory>
#include <set>

#include "app/AppFixture.h"
#include "app/FormGame.h"
#include "book/BookGeometry.h"
#include "book/forms/FormBook.h"
#include "book/forms/PagePainter.h"
#include "book/forms/RecordVoicePart.h"
#include "platform/AudioInput.h"
#include "platform/NullAudioInput.h"
#include "platform/OpusCodec.h"
#include "platform/PrivateProfile.h"
#include "sound/AppSound.h"
#include "support/BookParts.h"
#include "support/NullSpeechSynth.h"
#include "support/TestSupport.h"
#include "support/TestWaveOutService.h"
#include "voice/VoiceStore.h"

namespace {

// A microphone that records what the test feeds it.
class FedInput : public plat::AudioInput {
public:
    bool Available(std::string*) override { return true; }
    bool Start(Handlers handlers, std::string*) override {
        handlers_ = std::move(handlers);
        recording_ = true;
        return true;
    }
    void Stop() override {
        handlers_ = {};
        recording_ = false;
    }
    bool Recording() const override { return recording_; }
    // Hands Samples over as the device would, levels and all.
    void Feed(const std::vector<int16_t>& s) { Deliver(handlers_, s.data(), s.size()); }

private:
    Handlers handlers_;
    bool recording_ = false;
};

// A take of Words words: a tone each, a quarter second long, with silence
// between them and around them.
std::vector<int16_t> Take(int words) {
    const auto ms = [](int n) {
        return static_cast<std::size_t>(plat::AudioInput::kSampleRate) * n / 1000;
    };
    std::vector<int16_t> s(ms(300), 0);
    for (int w = 0; w < words; ++w) {
        for (std::size_t i = 0; i < ms(250); ++i)
            s.push_back(static_cast<int16_t>(8000 * std::sin(2 * 3.14159265 * (220.0 + 110 * w) *
                                                             i / plat::AudioInput::kSampleRate)));
        s.insert(s.end(), ms(80), 0);
    }
    s.insert(s.end(), ms(300), 0);
    return s;
}

const char* const kStory = "The Tale\\n\\n\r\nAa bb cc dd. Ee ff gg hh.\r\n";

class RecordVoiceFormTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        auto service = std::make_unique<fbwtest::TestWaveOutService>();
        device = service.get();
        previous = plat::SetWaveOutService(std::move(service));
        plat::WriteProfileString("Game", "Sound", "1", SettingsFileName);
        game = std::make_unique<TFormGame>();
        ASSERT_TRUE(game->Loaded());
        book = std::make_unique<TFormBook>(*game->Generator(), *game->Library());
        book->StoriesFolder = stories.Path();
        book->ShowError = [this](const std::string& m) { errors.push_back(m); };
        auto s = std::make_unique<fbwtest::NullSpeechSynth>();
        synth = s.get();
        book->SetSpeechSynth(std::move(s));
        game->SetWindows(nullptr, book.get());
        book->TaleNumber = 2;
        book->show();
    }
    void TearDown() override {
        book.reset();
        game.reset();
        plat::SetWaveOutService(std::move(previous));
        AppFixture::TearDown();
    }
    // The story saved in the stories folder, read back: its first spread.
    void OpenSavedStory(const char* story = kStory) {
        path = stories / "Tale.txt";
        std::ofstream(path, std::ios::binary) << story;
        book->ReadStoryFile(2, path);
        ASSERT_EQ(book->CurrentPage(), 1);
    }
    QPushButton& Button(const char* name) { return fbwtest::Child<QPushButton>(*book, name); }

    fbwtest::TempDir stories;
    std::string path;
    std::vector<std::string> errors;
    fbwtest::TestWaveOutService* device = nullptr;
    std::unique_ptr<plat::WaveOutService> previous;
    std::unique_ptr<TFormGame> game;
    std::unique_ptr<TFormBook> book;
    fbwtest::NullSpeechSynth* synth = nullptr; // lent to the book's reader
};

TEST_F(RecordVoiceFormTest, TwoSentencesRecordedAreReadInTheRecordingWithTheirWordsLitInOrder) {
    if (!plat::CreateOpusCodec())
        GTEST_SKIP() << "this build has no Opus codec";
    auto input = std::make_unique<FedInput>();
    FedInput& microphone = *input;
    book->SetMicrophone(std::move(input));
    OpenSavedStory();
    QPushButton& recordVoice = Button("cmdRecordVoice");
    ASSERT_TRUE(recordVoice.isVisibleTo(book.get()));
    ASSERT_TRUE(recordVoice.isEnabled()) << recordVoice.toolTip().toStdString();

    // Record mode on the title, lit; two sentences recorded, the meter
    // following the microphone.
    QTest::mouseClick(&recordVoice, Qt::LeftButton);
    TRecordVoicePart& part = fbwtest::RecordVoice(*book);
    ASSERT_TRUE(part.RecordMode());
    EXPECT_TRUE(fbwtest::Child<QFrame>(*book, "pnlRecordVoice").isVisibleTo(book.get()));
    const auto& level = fbwtest::Child<QProgressBar>(*book, "prgRecordLevel");
    EXPECT_GE(level.width(), 40) << "the meter has room beside the buttons";
    for (int s = 0; s < 2; ++s) {
        ASSERT_EQ(part.Sentence(), s);
        Button("cmdRecord").click();
        // Into the first word: the meter shows its level.
        const std::vector<int16_t> take = Take(s == 0 ? 2 : 4);
        const std::size_t cut = plat::AudioInput::kSampleRate / 2;
        microphone.Feed({take.begin(), take.begin() + cut});
        EXPECT_GT(level.value(), 0) << "the meter follows the level";
        microphone.Feed({take.begin() + cut, take.end()});
        Button("cmdStopRecording").click();
        ASSERT_TRUE(errors.empty()) << errors.front();
        EXPECT_TRUE(Button("cmdListen").isEnabled());
        Button("cmdNextSentence").click();
    }
    // Listen, back on a sentence recorded: its recording, decoded ahead.
    Button("cmdBackSentence").click();
    Button("cmdListen").click();
    ASSERT_TRUE(errors.empty()) << errors.front();
    ASSERT_NE(device->Playing(), nullptr);
    EXPECT_EQ(device->Playing()->format.samplesPerSec, 48000u);
    {
        std::vector<int16_t> clip;
        std::string why;
        ASSERT_TRUE(TVoiceStore(path, plat::CreateOpusCodec().get())
                        .Read(part.Sentences().Items[1].Speech, clip, why));
        EXPECT_EQ(device->Playing()->queue.front()->bufferLength, clip.size() * 2);
    }
    Button("cmdDone").click();
    EXPECT_FALSE(part.RecordMode());
    const auto& pace = fbwtest::Child<TPaintBox>(*book, "pbxReadPace");
    EXPECT_FALSE(pace.isEnabled()) << "the recordings keep their own pace";

    // Read to me: the title plays its recording (48 kHz, not the game's
    // voice at 16 kHz), its words lit as the recording has them.
    const std::size_t said = synth->Texts().size();
    QTest::mouseClick(&fbwtest::Child<TPaintBox>(*book, "pbxReadToMe"), Qt::LeftButton);
    ASSERT_EQ(book->Reader().State(), TReadState::Speaking);
    EXPECT_EQ(book->Reader().CurrentSentence(), 0);
    ASSERT_NE(device->Playing(), nullptr);
    EXPECT_EQ(device->Playing()->format.samplesPerSec, 48000u);
    const TVoiceStore store(path, nullptr);
    const TVoiceStore::Clip* clip = store.Find("The Tale");
    ASSERT_NE(clip, nullptr);
    ASSERT_EQ(clip->Words.size(), 2u);
    for (int w = 0; w < 2; ++w) {
        const auto ms = std::lround((clip->Words[w].Start + clip->Words[w].End) * 500);
        device->Controls().position = {plat::WavePosition::Unit::Milliseconds,
                                       static_cast<uint32_t>(ms)};
        fbwtest::ReadToMe(*book).tmrReadAlongTimer();
        EXPECT_EQ(book->Reader().LitWord(), w) << "at " << ms << " ms";
    }
    // The game's voice is asked only for what follows (the sentence the
    // reader makes ahead is recorded too).
    for (std::size_t i = said; i < synth->Texts().size(); ++i)
        EXPECT_NE(synth->Texts()[i], "The Tale");
}

TEST_F(RecordVoiceFormTest, InRecordModeTabGoesThroughThePanelNotTheFootItCovers) {
    if (!plat::CreateOpusCodec())
        GTEST_SKIP() << "this build has no Opus codec";
    book->SetMicrophone(std::make_unique<FedInput>());
    OpenSavedStory(
        "The Tale\\n\\n\r\nOnce upon a time, deep in the woods near the village, there "
        "was a cold little cottage with a red door and roses round its windows. Aa bb.\r\n");
    book->activateWindow();
    QApplication::setActiveWindow(book.get());
    const auto walk = [] {
        std::set<std::string> seen;
        for (int i = 0; i < 30; ++i) {
            QWidget* focused = QApplication::focusWidget();
            if (!focused)
                break;
            QTest::keyClick(focused, Qt::Key_Tab);
            if (QApplication::focusWidget())
                seen.insert(QApplication::focusWidget()->objectName().toStdString());
        }
        return seen;
    };
    const std::vector<std::string> foot{"pbxReadToMe", "pbxReadPace", "pbxShowTwists",
                                        "cmdRecordVoice"};
    QTest::mouseClick(&Button("cmdRecordVoice"), Qt::LeftButton);
    ASSERT_TRUE(fbwtest::RecordVoice(*book).RecordMode());
    Button("cmdNextSentence").click(); // the long one
    for (const QSize size : {QSize(1920, 1080), QSize(592, 418)}) {
        book->resize(size);
        QCoreApplication::processEvents();
        const std::set<std::string> seen = walk();
        for (const std::string& name : foot)
            EXPECT_FALSE(seen.contains(name)) << name << " at " << size.width();
        for (const char* name : {"cmdRecord", "cmdNextSentence", "cmdDone"})
            EXPECT_TRUE(seen.contains(name)) << name << " at " << size.width();
        // The sentence is lit where the new size lays it out.
        TStorySentences laidOut;
        laidOut.Build(book->StoryText().c_str(), book->Book().Pages);
        const TRecordVoicePart& part = fbwtest::RecordVoice(*book);
        EXPECT_EQ(part.Sentences().Items[part.Sentence()].Parts,
                  laidOut.Items[part.Sentence()].Parts)
            << "at " << size.width();
    }
    // Out of record mode the foot takes the Tab again.
    Button("cmdDone").click();
    Button("cmdRecordVoice").setFocus(Qt::TabFocusReason);
    const std::set<std::string> seen = walk();
    for (const char* name : {"pbxReadToMe", "pbxReadPace"})
        EXPECT_TRUE(seen.contains(name)) << name;
}

TEST_F(RecordVoiceFormTest, WithoutAMicrophoneTheControlIsFadedAndSaysWhy) {
    book->SetMicrophone(std::make_unique<plat::NullAudioInput>());
    OpenSavedStory();
    const QPushButton& recordVoice = Button("cmdRecordVoice");
    ASSERT_TRUE(recordVoice.isVisibleTo(book.get()));
    EXPECT_FALSE(recordVoice.isEnabled());
    EXPECT_TRUE(recordVoice.accessibleDescription().contains("no microphone"));
    EXPECT_TRUE(recordVoice.toolTip().contains("no microphone"));

    // It stands on the foot, clear of the pages' text and the foot's other
    // controls, at the smallest window and a large one.
    for (const QSize size : {QSize(592, 418), QSize(1920, 1080)}) {
        book->resize(size);
        QCoreApplication::processEvents();
        const QRect r = recordVoice.geometry();
        EXPECT_TRUE(QRect(QPoint(0, 0), book->size()).contains(r));
        const QRect page = fbwtest::Child<QWidget>(*book, "pbxLeftPage").geometry();
        EXPECT_GE(r.top(), page.bottom() - TBookGeometry::kMargin) << "at " << size.width();
        for (const char* other : {"cmdPrevPage", "cmdNextPage", "pbxShowTwists", "pbxReadToMe"})
            EXPECT_FALSE(r.intersects(fbwtest::Child<QWidget>(*book, other).geometry()))
                << other << " at " << size.width();
        EXPECT_GE(r.width(), recordVoice.fontMetrics().horizontalAdvance(recordVoice.text()));
    }
}

} // namespace

TEST_F(RecordVoiceFormTest, ThePanelLeavesEveryLineOfAFullSpreadInSight) {
    if (!plat::CreateOpusCodec())
        GTEST_SKIP() << "this build has no Opus codec";
    book->SetMicrophone(std::make_unique<FedInput>());
    std::string story = "The Tale\\n\\n\r\n";
    for (int i = 0; i < 80; ++i)
        story += "Once upon a time, deep in the woods, a gypsy sang of quietly jumping yaks. ";
    OpenSavedStory((story + "\r\n").c_str());
    QTest::mouseClick(&Button("cmdRecordVoice"), Qt::LeftButton);
    ASSERT_TRUE(fbwtest::RecordVoice(*book).RecordMode());
    for (const QSize size : {QSize(592, 418), QSize(1920, 1080), QSize(2560, 1440)}) {
        book->resize(size);
        QCoreApplication::processEvents();
        for (const auto side : {TPagePainter::Side::Left, TPagePainter::Side::Right}) {
            // The lowest row where the page draws over the book behind it.
            const QImage page = book->Painter().PagePicture(side);
            const QImage behind = book->Painter().BookPicture();
            const QWidget& area = book->Painter().Area(side);
            int ink = -1;
            for (int y = 0; y < page.height(); ++y)
                for (int x = 0; x < page.width() && ink < y; ++x)
                    if (page.pixel(x, y) != behind.pixel(area.pos() + QPoint(x, y)))
                        ink = y;
            ASSERT_GT(ink, page.height() / 2) << "a full page at " << size.width();
            EXPECT_GT(fbwtest::Child<QWidget>(*book, "pnlRecordVoice").geometry().top(),
                      area.mapTo(book.get(), QPoint(0, ink)).y())
                << "at " << size.width();
        }
    }
}
