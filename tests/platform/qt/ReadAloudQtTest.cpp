// Reading aloud for real: flite's voice through the wave player and the Qt
// wave-out, on the machine's audio output (the test run's PulseAudio null
// sink). Prints the time from Start to the first sentence handed to the
// device and the gap between sentences beyond their own length. Skipped
// when the build has no speech engine or the machine no audio output.
//
// A null sink that no stream keeps busy wakes up only every second or two,
// so that a new stream waits that long before it plays, which no sound card
// does. A quiet stream of silence keeps it running as a card runs while the
// sentences are measured.
#include <gtest/gtest.h>

#include <QAudioFormat>
#include <QAudioSink>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QIODevice>
#include <QMediaDevices>
#include <QThread>
#include <algorithm>
#include <functional>

#include "book/Book.h"
#include "platform/FixedCanvas.h"
#include "platform/SpeechSynth.h"
#include "platform/qt/QtWaveOutService.h"
#include "reading/ReadAloud.h"
#include "sound/WaveMan.h"
#include "support/WaveManWindow.h"

namespace {

bool WaitFor(const std::function<bool()>& condition, int ms) {
    QElapsedTimer t;
    t.start();
    while (!condition() && t.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(2);
    }
    return condition();
}

// Endless silence for the stream that keeps the sink awake.
class Silence : public QIODevice {
public:
    Silence() { open(QIODevice::ReadOnly); }
    qint64 readData(char* data, qint64 max) override {
        std::fill(data, data + max, 0);
        return max;
    }
    qint64 writeData(const char*, qint64) override { return -1; }
};

using Window = fbwtest::WaveManWindow;

class Owner : public TReadAloudOwner {
public:
    std::vector<bool> states;
    void ReadAloudShowSpread(int) override {}
    void ReadAloudRepaintPage(int) override {}
    void ReadAloudRepaintParts(const std::vector<TLinePart>&) override {}
    void ReadAloudStateChanged(TReadState state) override {
        states.push_back(state != TReadState::Idle);
    }
};

// Told after the reader (added later): the next sentence has just been
// handed to the device. Notes when, and how long that sentence lasts.
class Stopwatch : public TWaveDoneListener {
public:
    TWaveMan* manager = nullptr;
    QElapsedTimer clock;
    std::vector<qint64> handedAtMs;
    std::vector<qint64> lastsMs;
    void Note() {
        handedAtMs.push_back(clock.elapsed());
        const TSoundNode* p = manager->FindPlaying();
        lastsMs.push_back(p ? qint64{p->DataSize()} * 1000 / p->Format->avgBytesPerSec : -1);
    }
    void WaveSoundDone(uint16_t) override { Note(); }
};

} // namespace

TEST(ReadAloudQt, FliteSentencesPlayThroughTheQtWaveOutOneAfterTheOther) {
    std::unique_ptr<plat::SpeechSynth> synth = plat::CreateSystemSpeechSynth();
    if (!synth)
        GTEST_SKIP() << "skipped: this build has no speech engine (install flite1-dev)";
    auto previous = plat::SetWaveOutService(std::make_unique<plat::QtWaveOutService>());
    if (plat::CurrentWaveOutService().DeviceCount() == 0) {
        plat::SetWaveOutService(std::move(previous));
        GTEST_SKIP() << "skipped: no audio output on this machine (start a PulseAudio null "
                        "sink to run it)";
    }
    Silence silence;
    QAudioFormat format;
    format.setSampleRate(16000);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    QAudioSink keeper(QMediaDevices::defaultAudioOutput(), format);
    keeper.start(&silence);
    WaitFor([&] { return keeper.processedUSecs() > 2'500'000; }, 5000);
    {
        Window window;
        TWaveMan manager(&window, true);
        window.manager = &manager;
        Owner owner;
        TReadAloud reader(owner, std::move(synth));
        ASSERT_TRUE(reader.Available(&manager));

        const std::string text = "The Duck\\n\\nThe little duck swam across the pond. Then she "
                                 "went home for tea.";
        plat::FixedCanvas canvas(7, 16);
        TBook book;
        book.MarginX = book.MarginY = 8;
        book.Paginate(&canvas, TRect{0, 0, 216, 320}, text.c_str());
        ASSERT_EQ(book.PageCount(), 1);

        Stopwatch watch;
        watch.manager = &manager;
        watch.clock.start();
        ASSERT_TRUE(reader.Start(manager, book, text.c_str(), 1));
        watch.Note(); // Start returns once the first sentence is on the device
        manager.AddListener(&watch);
        EXPECT_TRUE(WaitFor([&] { return !reader.Reading(); }, 30000)) << "the story was read";
        manager.RemoveListener(&watch);
        EXPECT_EQ(owner.states, (std::vector<bool>{true, false}));
        // Three sentences, three done messages: the last one is noted with
        // nothing playing after it.
        ASSERT_EQ(watch.handedAtMs.size(), 4u);
        EXPECT_EQ(watch.lastsMs.back(), -1);
        std::printf("read aloud: Start to first sentence on the device %lld ms\n",
                    static_cast<long long>(watch.handedAtMs[0]));
        for (std::size_t i = 0; i + 2 < watch.handedAtMs.size(); ++i) {
            const qint64 gap = watch.handedAtMs[i + 1] - watch.handedAtMs[i] - watch.lastsMs[i];
            std::printf("read aloud: sentence %zu lasts %lld ms, gap after it %lld ms\n", i + 1,
                        static_cast<long long>(watch.lastsMs[i]), static_cast<long long>(gap));
            EXPECT_GE(gap, 0) << "the next sentence began before this one was heard";
            EXPECT_LT(gap, 500);
        }
        EXPECT_LT(watch.handedAtMs[0], 2000);

        // Starting on a long sentence: its first part is spoken first.
        const std::string longText =
            "Her new stepmother, Lady Agatha Grimshaw, was a proud, sharp-tongued woman with two "
            "daughters of her own, Griselda and Prunella, who were as vain as peacocks and twice "
            "as noisy.";
        book.Paginate(&canvas, TRect{0, 0, 216, 320}, longText.c_str());
        QElapsedTimer start;
        start.start();
        ASSERT_TRUE(reader.Start(manager, book, longText.c_str(), 1));
        const qint64 longStartMs = start.elapsed();
        std::printf("read aloud: Start on a 160-character sentence to the device %lld ms\n",
                    static_cast<long long>(longStartMs));
        EXPECT_LT(longStartMs, 2000);
        WaitFor([] { return false; }, 300);
        reader.Stop();
        window.manager = nullptr;
        WaitFor([] { return false; }, 50);
    }
    keeper.stop();
    plat::SetWaveOutService(std::move(previous));
}
