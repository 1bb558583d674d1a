// The sound catalogue and the game's calls into the wave player.
#include "sound/AppSound.h"

#include "data/InitGame.h"
#include "data/ObfText.h"
#include "platform/WaveOutService.h"
#include "sound/SoundInfoNode.h"
#include "sound/SoundLineFilter.h"

std::unique_ptr<TIDList> SoundCatalogue;
TWaveMan* WaveManager = nullptr;
bool SoundOn = false;
bool SoundWanted = true;

namespace {

// The program's manager: forgets itself as WaveManager when it is freed.
class TAppWaveMan : public TWaveMan {
public:
    using TWaveMan::TWaveMan;
    ~TAppWaveMan() override {
        if (WaveManager == this) {
            WaveManager = nullptr;
            plat::CurrentWaveOutService().KeepOutputOpen(false);
        }
    }

protected:
    // An audio output that came after the start (a sound server started
    // later): sound is on, as when the player switches it on.
    void SoundFound() override {
        if (WaveManager != this)
            return;
        SoundOn = true;
        plat::CurrentWaveOutService().KeepOutputOpen(true);
    }
};

} // namespace

std::unique_ptr<TWaveMan> StartSound(plat::WaveOutWindow* owner, bool wanted) {
    SoundCatalogue = std::make_unique<TIDList>();
    auto manager = std::make_unique<TAppWaveMan>(owner, wanted);
    WaveManager = manager.get();
    SoundWanted = wanted;
    SoundOn = manager->Enabled;
    // While sound is on the sounds share one audio output.
    plat::CurrentWaveOutService().KeepOutputOpen(SoundOn);
    manager->SetWaveFolder(WaveFolder);

    RefreshScrambledFile(DataFolder + "sounds.txt", DataFolder + "sounds.dat", SoundLineFilter);
    TObfText text(DataFolder + "sounds.dat");
    uint16_t id = 0;
    std::string line;
    do {
        text.ReadLine(line);
        SoundCatalogue->AddLast(new TSoundInfoNode(line, id));
        ++id;
    } while (!text.AtEnd());
    return manager;
}

void PlayGameSound(uint8_t n) {
    if (!WaveManager || !WaveManager->Enabled)
        return;
    const uint16_t id = GameSoundId(n);
    if (WaveManager->LoadSound(SoundName(id), id, sfAutoFree))
        WaveManager->PlaySound(id, poOverLoop | poOverSound, false);
}

void SetSoundOn(bool on) {
    SoundWanted = on;
    if (!WaveManager)
        return;
    WaveManager->SetEnabled(on);
    SoundOn = WaveManager->Enabled;
    plat::CurrentWaveOutService().KeepOutputOpen(SoundOn);
}

void SoundDone(const plat::WaveDoneMessage& message) {
    if (WaveManager)
        WaveManager->WaveDone(message);
}

void StopSound() {
    SoundCatalogue.reset();
}

std::string SoundName(uint16_t id) {
    if (!SoundCatalogue)
        return {};
    for (TLumNode* p = SoundCatalogue->First; p; p = p->Next) {
        auto* entry = static_cast<TSoundInfoNode*>(p);
        if (entry->SoundId == id)
            return entry->Name();
    }
    return {};
}

uint16_t GameSoundId(uint8_t n) {
    switch (n) {
    case 1:
    case 2:
    case 3:
    case 4:
    case 5:
        return n;
    case 6:
        return 10;
    case 7:
        return 8;
    case 8:
        return 6;
    case 9:
        return 7;
    case 10:
        return 9;
    default:
        return 0;
    }
}
