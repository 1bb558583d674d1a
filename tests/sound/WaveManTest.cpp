// The wave player on the test device: the queue, the decision table of
// PlaySound, loops, auto-free nodes and the done messages.
#include <gtest/gtest.h>

#include "sound/WaveBytes.h"
#include "sound/WaveMan.h"
#include "support/TestSupport.h"
#include "support/TestWaveOutService.h"

using namespace fbwtest;

namespace {

// The owner window: hands every done message to the manager, as the main
// window does.
class OwnerWindow : public plat::WaveOutWindow {
public:
    TWaveMan* manager = nullptr;
    std::vector<uint16_t> finished; // WaveDone's answers
    int received = 0;
    void WaveOutDone(const plat::WaveDoneMessage& message) override {
        ++received;
        if (manager)
            finished.push_back(manager->WaveDone(message));
    }
};

class WaveManTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto service = std::make_unique<fbwtest::TestWaveOutService>();
        device = service.get();
        previous = plat::SetWaveOutService(std::move(service));
        for (int id = 1; id <= 5; ++id)
            WriteBytes(dir / ("s" + std::to_string(id) + ".wav"), PcmWave(100 + id, id));
        Recreate();
    }
    void TearDown() override {
        manager.reset();
        plat::SetWaveOutService(std::move(previous));
    }
    void Recreate(bool enable = true) {
        window.manager = nullptr;
        manager = std::make_unique<TWaveMan>(&window, enable);
        manager->SetWaveFolder(dir.Path());
        window.manager = manager.get();
    }
    TSoundNode* Load(uint16_t id, uint8_t flags = 0) {
        EXPECT_TRUE(manager->LoadSound("s" + std::to_string(id), id, flags));
        return manager->FindSound(id);
    }
    // The playing buffer plays to its end and the message loop runs.
    void Finish() {
        ASSERT_TRUE(device->FinishBuffer());
        device->DeliverMessages();
    }
    uint16_t PlayingId() const {
        TSoundNode* p = manager->FindPlaying();
        return p ? p->SoundId : 0;
    }
    // Ids in list order.
    std::vector<uint16_t> Order() const {
        std::vector<uint16_t> ids;
        for (TLumNode* n = manager->Sounds.First; n; n = n->Next)
            ids.push_back(static_cast<TSoundNode*>(n)->SoundId);
        return ids;
    }
    // The sample bytes the playing device has at the head of its queue.
    uint32_t PlayingLength() const {
        fbwtest::TestWaveOutService::Device* d = device->Playing();
        return d ? d->queue.front()->bufferLength : 0;
    }

    TempDir dir;
    fbwtest::TestWaveOutService* device = nullptr; // owned by the installed service
    std::unique_ptr<plat::WaveOutService> previous;
    OwnerWindow window;
    std::unique_ptr<TWaveMan> manager;
};

using Ids = std::vector<uint16_t>;

} // namespace

TEST_F(WaveManTest, EnabledNeedsWishAndDevice) {
    EXPECT_TRUE(manager->Enabled);
    Recreate(false);
    EXPECT_FALSE(manager->Enabled);
    EXPECT_FALSE(manager->LoadSound("s1", 1, 0));
    EXPECT_TRUE(manager->SetEnabled(true));

    device->Controls().devices = 0;
    Recreate(true);
    EXPECT_FALSE(manager->DevicesPresent());
    EXPECT_FALSE(manager->Enabled) << "sound without devices stays off";
    EXPECT_FALSE(manager->SetEnabled(true));
    EXPECT_FALSE(manager->LoadSound("s1", 1, 0));
    EXPECT_FALSE(manager->PlaySound(1, 0, false));
    EXPECT_TRUE(device->Devices().empty());
}

TEST_F(WaveManTest, AnOutputThatComesLaterIsFoundWhenLookedFor) {
    // Started while there was no output: sound stays off until asked again.
    device->Controls().devices = 0;
    Recreate(true);
    EXPECT_FALSE(manager->Enabled);
    EXPECT_TRUE(manager->Wanted());
    EXPECT_FALSE(manager->LookAgain());
    device->Controls().devices = 1;
    EXPECT_FALSE(manager->Enabled) << "nobody asked yet";
    EXPECT_TRUE(manager->LookAgain());
    EXPECT_TRUE(manager->Enabled);
    EXPECT_TRUE(Load(1));
    EXPECT_TRUE(manager->PlaySound(1, 0, false));
    // Sound the player turned off is not turned on by looking.
    EXPECT_FALSE(manager->SetEnabled(false));
    EXPECT_FALSE(manager->LookAgain());
    EXPECT_FALSE(manager->Wanted());
}

TEST_F(WaveManTest, TurningOffLetsThePlayingSoundFinish) {
    Load(1);
    Load(2);
    ASSERT_TRUE(manager->PlaySound(1, 0, false));
    ASSERT_TRUE(manager->PlaySound(2, poOverSound, false));
    manager->SetEnabled(false);
    EXPECT_EQ(PlayingId(), 1) << "not stopped";
    EXPECT_FALSE(manager->PlaySound(1, poRestart | poOverSound, false));
    Finish();
    EXPECT_EQ(window.finished, Ids{1});
    EXPECT_EQ(PlayingId(), 2) << "the done handling goes on";
}

TEST_F(WaveManTest, FolderAndLoading) {
    manager->SetWaveFolder("/some/folder");
    EXPECT_EQ(manager->Folder, "/some/folder/");
    manager->SetWaveFolder("");
    EXPECT_EQ(manager->Folder, "");
    manager->SetWaveFolder(dir.Path());

    TSoundNode* first = Load(1, sfAutoFree | sfQueued | sfResume | sfFront);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->Flags, sfAutoFree | sfFront) << "sfQueued and sfResume are dropped";
    EXPECT_TRUE(manager->LoadSound("s2", 1, 0)) << "the id is loaded: the name is not compared";
    EXPECT_EQ(Order(), Ids{1});
    EXPECT_EQ(manager->FindSound(1)->DataSize(), 202u);
    EXPECT_FALSE(manager->LoadSound("missing", 9, 0));
    EXPECT_EQ(manager->FindSound(9), nullptr);

    WriteBytes(dir / "float.wav", Riff(Chunk("fmt ", FormatBody(3)) + Chunk("data", "abcd")));
    EXPECT_FALSE(manager->LoadSound("float", 10, 0));
    EXPECT_EQ(Order(), Ids{1});
}

TEST_F(WaveManTest, QueuePlaysRequestsInListOrder) {
    for (uint16_t id : {1, 2, 3, 4})
        Load(id);
    ASSERT_TRUE(manager->PlaySound(3, poOverLoop | poOverSound, false));
    ASSERT_EQ(device->Devices().size(), 1u);
    EXPECT_EQ(device->Devices()[0]->format.samplesPerSec, 22050u);
    EXPECT_TRUE(device->Devices()[0]->hasWindow);
    EXPECT_EQ(PlayingLength(), 206u);

    // Requests while 3 plays wait; they start in list order, not request order.
    EXPECT_TRUE(manager->PlaySound(4, poOverLoop | poOverSound, false));
    EXPECT_TRUE(manager->PlaySound(1, poOverLoop | poOverSound, false));
    EXPECT_EQ(device->Devices().size(), 1u);
    EXPECT_TRUE(manager->FindSound(4)->Flags & sfQueued);

    Finish();
    EXPECT_EQ(PlayingId(), 1);
    EXPECT_EQ(PlayingLength(), 202u);
    EXPECT_FALSE(manager->FindSound(1)->Flags & sfQueued);
    Finish();
    EXPECT_EQ(PlayingId(), 4);
    Finish();
    EXPECT_EQ(PlayingId(), 0);
    EXPECT_EQ(window.finished, (Ids{3, 1, 4}));
    EXPECT_EQ(device->OpenDevices(), 0) << "every device closed after its sound";
    EXPECT_EQ(Order(), (Ids{2, 3, 1, 4})) << "kept sounds go to the tail in finishing order";
}

TEST_F(WaveManTest, RequestForThePlayingSoundChangesNothing) {
    TSoundNode* p = Load(1, sfAutoFree);
    ASSERT_TRUE(manager->PlaySound(1, 0, false));
    const uint8_t flags = p->Flags;
    for (int options : {0, int{poOverSound}, int{poStopSound}, poStopLoop | poEndLoop})
        EXPECT_TRUE(manager->PlaySound(1, static_cast<uint8_t>(options), false)) << options;
    EXPECT_EQ(p->Flags, flags);
    EXPECT_EQ(device->Devices().size(), 1u);
    EXPECT_EQ(device->Devices()[0]->resets, 0);
    EXPECT_EQ(manager->FindSound(1), p);
}

TEST_F(WaveManTest, RefusedRequestsFreeAutoFreeNodes) {
    Load(1);
    ASSERT_TRUE(manager->PlaySound(1, 0, false));
    Load(2, sfAutoFree);
    Load(3);
    EXPECT_FALSE(manager->PlaySound(2, poOverLoop, false)) << "a non-looping sound plays";
    EXPECT_EQ(manager->FindSound(2), nullptr) << "freed at once";
    EXPECT_FALSE(manager->PlaySound(3, 0, false));
    EXPECT_NE(manager->FindSound(3), nullptr) << "kept without sfAutoFree";
    EXPECT_FALSE(manager->FindSound(3)->Flags & sfQueued);
    EXPECT_FALSE(manager->PlaySound(9, poOverSound, false)) << "not loaded";
    Finish();
    EXPECT_EQ(PlayingId(), 0);
}

TEST_F(WaveManTest, AutoFreeNodesAreFreedAfterPlaying) {
    Load(1, sfAutoFree);
    Load(2, sfAutoFree);
    ASSERT_TRUE(manager->PlaySound(1, poOverSound, false));
    ASSERT_TRUE(manager->PlaySound(2, poOverSound, false));
    Finish();
    EXPECT_EQ(manager->FindSound(1), nullptr);
    Finish();
    EXPECT_TRUE(manager->Sounds.Count() == 0);
    EXPECT_EQ(window.finished, (Ids{1, 2}));
}

TEST_F(WaveManTest, StopSoundInterruptsAndKeepsTheStoppedSoundFirst) {
    Load(1);
    Load(2);
    ASSERT_TRUE(manager->PlaySound(1, 0, false));
    ASSERT_TRUE(manager->PlaySound(2, poStopSound, false));
    const auto& first = *device->Devices()[0];
    EXPECT_EQ(first.resets, 1) << "stopped at once";
    EXPECT_FALSE(first.open);
    TSoundNode* q = manager->FindSound(1);
    EXPECT_TRUE(q->Playing) << "until its done message is handled";
    EXPECT_TRUE(q->Flags & sfFront);

    device->DeliverMessages();
    EXPECT_EQ(window.finished, Ids{1});
    EXPECT_EQ(PlayingId(), 2);
    EXPECT_EQ(Order(), (Ids{1, 2})) << "put back at the head";
    EXPECT_FALSE(q->Flags & (sfFront | sfQueued)) << "not resumed";
}

TEST_F(WaveManTest, RestartOfThePlayingSound) {
    Load(1);
    ASSERT_TRUE(manager->PlaySound(1, 0, false));
    // Without poStopSound the sound plays to its end, then once more.
    ASSERT_TRUE(manager->PlaySound(1, poRestart | poOverSound, false));
    EXPECT_TRUE(manager->FindSound(1)->Flags & sfResume);
    Finish();
    EXPECT_EQ(PlayingId(), 1);
    EXPECT_EQ(device->Devices().size(), 2u);
    // With poStopSound it starts again at once.
    ASSERT_TRUE(manager->PlaySound(1, poRestart | poStopSound, false));
    EXPECT_EQ(device->Devices()[1]->resets, 1);
    device->DeliverMessages();
    EXPECT_EQ(PlayingId(), 1);
    EXPECT_EQ(device->Devices().size(), 3u);
    Finish();
    EXPECT_EQ(PlayingId(), 0);
    EXPECT_EQ(window.finished, (Ids{1, 1, 1}));
    // Without poOverSound a restart is not allowed, but the sound plays: true.
    ASSERT_TRUE(manager->PlaySound(1, 0, false));
    EXPECT_TRUE(manager->PlaySound(1, poRestart, false));
    EXPECT_FALSE(manager->FindSound(1)->Flags & sfResume);
}

TEST_F(WaveManTest, InterruptedLoopResumesAfterTheOtherSound) {
    Load(1);
    Load(2);
    ASSERT_TRUE(manager->PlaySound(1, 0, true));
    TSoundNode* loop = manager->FindSound(1);
    EXPECT_TRUE(loop->IsLooping());
    EXPECT_EQ(loop->Header->loops, 10'000'000u);
    EXPECT_TRUE(device->FinishPass()) << "a loop goes on after a pass";
    EXPECT_EQ(device->PendingMessages(), 0u);

    EXPECT_FALSE(manager->PlaySound(2, poOverSound, false)) << "poOverLoop is needed";
    ASSERT_TRUE(manager->PlaySound(2, poOverLoop, false));
    EXPECT_EQ(device->Devices()[0]->breakLoops, 1) << "the loop finishes its pass";
    EXPECT_EQ(device->Devices()[0]->resets, 0);
    EXPECT_TRUE(loop->Flags & sfResume);

    device->FinishPass();
    device->DeliverMessages();
    EXPECT_EQ(PlayingId(), 2) << "the other sound first";
    EXPECT_TRUE(loop->Flags & sfQueued);
    Finish();
    EXPECT_EQ(PlayingId(), 1) << "then the loop resumes";
    EXPECT_TRUE(loop->IsLooping());
    EXPECT_EQ(window.finished, (Ids{1, 2}));
}

TEST_F(WaveManTest, StopLoopAndEndLoop) {
    Load(1);
    Load(2);
    Load(3);
    // poStopLoop stops the loop at once; it resumes later.
    ASSERT_TRUE(manager->PlaySound(1, 0, true));
    ASSERT_TRUE(manager->PlaySound(2, poStopLoop, false));
    EXPECT_EQ(device->Devices()[0]->resets, 1);
    EXPECT_EQ(device->Devices()[0]->breakLoops, 0);
    device->DeliverMessages();
    EXPECT_EQ(PlayingId(), 2);
    Finish();
    EXPECT_EQ(PlayingId(), 1);

    // poEndLoop: the loop ends and is not resumed.
    ASSERT_TRUE(manager->PlaySound(3, poOverLoop | poEndLoop, false));
    EXPECT_FALSE(manager->FindSound(1)->Flags & sfResume);
    device->FinishPass();
    device->DeliverMessages();
    EXPECT_EQ(PlayingId(), 3);
    Finish();
    EXPECT_EQ(PlayingId(), 0);
    EXPECT_FALSE(manager->FindSound(1)->Flags & sfQueued);

    // poEndLoop on the looping sound itself breaks its loop.
    ASSERT_TRUE(manager->PlaySound(1, 0, true));
    const int before = device->Playing()->breakLoops;
    EXPECT_TRUE(manager->PlaySound(1, poRestart | poOverLoop, true)) << "another loop request";
    EXPECT_EQ(device->Playing()->breakLoops, before);
    EXPECT_TRUE(manager->PlaySound(1, poRestart | poOverLoop | poEndLoop, false));
    EXPECT_EQ(device->Playing()->breakLoops, before + 1);
    device->FinishPass();
    device->DeliverMessages();
    EXPECT_EQ(PlayingId(), 0);
}

TEST_F(WaveManTest, SoundOnceLoopedPlaysOnceWhenAskedWithoutLoop) {
    TSoundNode* p = Load(1);
    ASSERT_TRUE(manager->PlaySound(1, 0, true));
    ASSERT_TRUE(manager->PlaySound(1, poRestart | poOverLoop | poEndLoop, false));
    device->FinishPass();
    device->DeliverMessages();
    ASSERT_TRUE(manager->PlaySound(1, 0, false));
    EXPECT_FALSE(p->IsLooping());
    EXPECT_TRUE(device->FinishPass());
    EXPECT_EQ(device->PendingMessages(), 1u) << "one pass only";
}

TEST_F(WaveManTest, DoneMessagesThatNameNoNode) {
    Load(1);
    Load(2);
    ASSERT_TRUE(manager->PlaySound(1, 0, false));
    plat::WaveHeader stranger{};
    EXPECT_EQ(manager->WaveDone({999, &stranger}), 0);
    EXPECT_EQ(PlayingId(), 1) << "nothing changes while a sound plays";
    TSoundNode* p = manager->FindSound(1);
    EXPECT_EQ(manager->WaveDone({p->LastDevice + 1000, p->Header}), 0)
        << "the header of a node, but from another device";
    EXPECT_EQ(PlayingId(), 1);

    // Nothing plays and a sound waits: the stray message starts it.
    manager->StopPlaying();
    device->DeliverMessages();
    manager->FindSound(2)->Flags |= sfQueued;
    EXPECT_EQ(manager->WaveDone({999, &stranger}), 0);
    EXPECT_EQ(PlayingId(), 2);
}

TEST_F(WaveManTest, StaleMessageOfAFreedNodeIsIgnored) {
    Load(1, sfAutoFree);
    ASSERT_TRUE(manager->PlaySound(1, 0, false));
    const plat::WaveDoneMessage stale{manager->FindSound(1)->LastDevice,
                                      manager->FindSound(1)->Header};
    Finish();
    ASSERT_EQ(manager->FindSound(1), nullptr);
    Load(1, sfAutoFree);
    ASSERT_TRUE(manager->PlaySound(1, 0, false));
    EXPECT_EQ(manager->WaveDone(stale), 0) << "even if the new node's header has the same address";
    EXPECT_EQ(PlayingId(), 1);
}

TEST_F(WaveManTest, DeviceFailures) {
    Load(1, sfAutoFree);
    device->Controls().failOpen = true;
    EXPECT_FALSE(manager->PlaySound(1, 0, false));
    EXPECT_EQ(manager->FindSound(1), nullptr);
    device->Controls().failOpen = false;

    for (bool prepare : {true, false}) {
        device->Controls().failPrepare = prepare;
        device->Controls().failWrite = !prepare;
        Load(2);
        EXPECT_FALSE(manager->PlaySound(2, 0, false));
        EXPECT_EQ(device->OpenDevices(), 0) << "closed again";
        EXPECT_FALSE(manager->FindSound(2)->Playing);
        EXPECT_FALSE(manager->FindSound(2)->Header->flags & plat::kWhdrPrepared);
    }
    device->Controls().failPrepare = device->Controls().failWrite = false;
}

TEST_F(WaveManTest, QueuedSoundThatCannotPlayIsPassedOver) {
    Load(1);
    Load(2, sfAutoFree);
    Load(3);
    ASSERT_TRUE(manager->PlaySound(1, 0, false));
    ASSERT_TRUE(manager->PlaySound(2, poOverSound, false));
    ASSERT_TRUE(manager->PlaySound(3, poOverSound, false));
    device->Controls().failWrite = true;
    ASSERT_TRUE(device->FinishBuffer());
    // Write fails for 2 (freed, auto-free) and for 3 (kept, no longer queued).
    device->DeliverMessages();
    EXPECT_EQ(manager->FindSound(2), nullptr);
    EXPECT_FALSE(manager->FindSound(3)->Flags & sfQueued);
    EXPECT_EQ(PlayingId(), 0);
}

TEST_F(WaveManTest, Position) {
    TSoundNode* p = Load(1);
    EXPECT_EQ(p->GetPosition(), 0) << "not playing";
    ASSERT_TRUE(manager->PlaySound(1, 0, false));
    device->Controls().position = {plat::WavePosition::Unit::Milliseconds, 1234};
    EXPECT_EQ(p->GetPosition(), 1234);
    device->Controls().position = {plat::WavePosition::Unit::Bytes, 1234};
    EXPECT_EQ(p->GetPosition(), -1);
    device->Controls().failPosition = true;
    EXPECT_EQ(p->GetPosition(), -1);
}

TEST_F(WaveManTest, DestroyingTheManagerStopsTheDeviceFirst) {
    Load(1);
    Load(2, sfAutoFree);
    ASSERT_TRUE(manager->PlaySound(1, 0, false));
    ASSERT_TRUE(manager->PlaySound(2, poOverSound, false));
    window.manager = nullptr;
    manager.reset();
    ASSERT_EQ(device->Devices().size(), 1u);
    EXPECT_EQ(device->Devices()[0]->resets, 1);
    EXPECT_EQ(device->OpenDevices(), 0);
    EXPECT_EQ(device->Devices()[0]->queue.size(), 0u);
    // The done message still reaches the window, and names no live node.
    EXPECT_EQ(device->DeliverMessages(), 1);
    EXPECT_EQ(window.received, 1);
}

TEST_F(WaveManTest, MessagesToADestroyedWindowAreDropped) {
    auto owner = std::make_unique<OwnerWindow>();
    TWaveMan other(owner.get(), true);
    other.SetWaveFolder(dir.Path());
    ASSERT_TRUE(other.LoadSound("s1", 1, 0));
    ASSERT_TRUE(other.PlaySound(1, 0, false));
    other.StopPlaying();
    owner.reset();
    EXPECT_EQ(device->PendingMessages(), 1u);
    device->DeliverMessages(); // must not touch the destroyed window
    EXPECT_EQ(device->PendingMessages(), 0u);
}

namespace {

// Starts sound 3 the moment sound 1 has finished, as the reader starts its
// next sentence, and records what it was told.
class Chainer : public TWaveDoneListener {
public:
    TWaveMan* manager = nullptr;
    std::vector<uint16_t> told;
    std::vector<uint16_t> playingWhenTold;
    bool removeSelf = false;
    void WaveSoundDone(uint16_t id) override {
        told.push_back(id);
        TSoundNode* p = manager->FindPlaying();
        playingWhenTold.push_back(p ? p->SoundId : 0);
        if (id == 1)
            manager->PlaySound(3, 0, false);
        if (removeSelf)
            manager->RemoveListener(this);
    }
};

} // namespace

TEST_F(WaveManTest, ListenersStartTheirSoundBeforeTheQueueMovesOn) {
    Chainer chainer;
    chainer.manager = manager.get();
    manager->AddListener(&chainer);
    manager->AddListener(&chainer); // once only
    Load(1);
    Load(2);
    Load(3);
    ASSERT_TRUE(manager->PlaySound(1, 0, false));
    ASSERT_TRUE(manager->PlaySound(2, poOverSound, false)); // queued behind 1
    Finish();
    EXPECT_EQ(chainer.told, (std::vector<uint16_t>{1}));
    EXPECT_EQ(chainer.playingWhenTold, (std::vector<uint16_t>{0})) << "told before the queue runs";
    EXPECT_EQ(PlayingId(), 3) << "the listener's sound goes ahead of the queued one";
    Finish();
    EXPECT_EQ(PlayingId(), 2);

    // A listener may leave while it is told, and is told no more.
    chainer.removeSelf = true;
    Finish();
    EXPECT_EQ(chainer.told, (std::vector<uint16_t>{1, 3, 2}));
    ASSERT_TRUE(manager->PlaySound(1, 0, false));
    Finish();
    EXPECT_EQ(chainer.told.size(), 3u);
    manager->RemoveListener(&chainer); // removing twice is harmless
}
