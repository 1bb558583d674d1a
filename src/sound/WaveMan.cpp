// The wave player.
#include "sound/WaveMan.h"

#include <algorithm>
#include <exception>

#include "base/AbortException.h"
#include "platform/Files.h"
#include "platform/WaveOutService.h"

namespace {

TSoundNode* AsSound(TLumNode* node) {
    return static_cast<TSoundNode*>(node);
}

} // namespace

TWaveMan::TWaveMan(plat::WaveOutWindow* owner, bool enable) : owner_(owner), wanted_(enable) {
    Enabled = enable && DevicesPresent();
    NodeClass = [](const std::string& fileName, uint8_t flags, uint16_t id) {
        return std::make_unique<TSoundNode>(fileName, flags, id);
    };
}

TWaveMan::~TWaveMan() {
    StopPlaying();
    Sounds.Clear();
}

bool TWaveMan::DevicesPresent() const {
    return plat::CurrentWaveOutService().DeviceCount() != 0;
}

bool TWaveMan::SetEnabled(bool on) {
    wanted_ = on;
    Enabled = on && DevicesPresent();
    return Enabled;
}

bool TWaveMan::LookAgain() {
    if (Enabled || !wanted_ || !DevicesPresent())
        return Enabled;
    Enabled = true;
    SoundFound();
    return Enabled;
}

void TWaveMan::SetWaveFolder(const std::string& folder) {
    Folder = folder;
    if (!Folder.empty() && Folder.back() != plat::kPathSeparator)
        Folder += plat::kPathSeparator;
}

TSoundNode* TWaveMan::FindSound(uint16_t id) const {
    for (TLumNode* p = Sounds.First; p; p = p->Next)
        if (AsSound(p)->SoundId == id)
            return AsSound(p);
    return nullptr;
}

TSoundNode* TWaveMan::FindPlaying() const {
    for (TLumNode* p = Sounds.First; p; p = p->Next)
        if (AsSound(p)->Playing)
            return AsSound(p);
    return nullptr;
}

void TWaveMan::StopPlaying() {
    if (TSoundNode* p = FindPlaying())
        p->Stop();
}

bool TWaveMan::LoadSound(const std::string& name, uint16_t id, uint8_t flags) {
    if (!Enabled)
        return false;
    if (FindSound(id))
        return true;
    try {
        std::unique_ptr<TSoundNode> node =
            NodeClass(Folder + name + ".wav", flags & ~(sfQueued | sfResume), id);
        if (!node)
            return false;
        Sounds.AddLast(node.release());
        return true;
    } catch (const EAbort&) {
        return false;
    } catch (const std::exception&) {
        return false;
    }
}

bool TWaveMan::CanPlayAsked() {
    // Wanted and off: LookAgain has asked for a device already.
    return LookAgain() || (!wanted_ && DevicesPresent());
}

bool TWaveMan::PlaySound(uint16_t id, uint8_t options, bool loop) {
    if (!Enabled && !(options & poAsked))
        return false;
    TSoundNode* p = FindSound(id);
    if (!p)
        return false;
    if (loop)
        p->SetLoopCount(1000);
    else if (!p->Playing && !(p->Flags & sfQueued))
        p->SetLoopCount(1); // an idle sound that looped before plays once now
    TSoundNode* q = FindPlaying();
    if (options & poStopLoop)
        options |= poOverLoop;
    if (options & poStopSound)
        options |= poOverSound;

    bool result;
    if (!q) {
        result = p->Play(owner_);
    } else if (q == p && !(options & poRestart)) {
        result = true;
    } else {
        const bool qLoop = q->IsLooping();
        if ((qLoop && !(options & poOverLoop)) || (!qLoop && !(options & poOverSound))) {
            result = q == p;
        } else {
            result = true;
            if (qLoop && q == p) {
                if (!loop && (options & poEndLoop))
                    q->BreakLoop();
            } else if (qLoop) {
                if (!(options & poEndLoop))
                    q->Flags |= sfResume;
                if (options & poStopLoop)
                    q->Stop();
                else
                    q->BreakLoop();
                p->Flags |= sfQueued;
            } else {
                if (options & poStopSound) {
                    q->Stop();
                    q->Flags |= sfFront;
                }
                if (q == p)
                    q->Flags |= sfResume;
                else
                    p->Flags |= sfQueued;
            }
        }
    }
    if (!result && (p->Flags & sfAutoFree))
        Sounds.Delete(p);
    return result;
}

uint16_t TWaveMan::WaveDone(const plat::WaveDoneMessage& message) {
    // The node is found by comparing the message with the nodes of the list;
    // the header itself is read only once it is known to belong to one, since
    // a stale message may name a node that has been freed.
    TSoundNode* p = nullptr;
    for (TLumNode* n = Sounds.First; n && !p; n = n->Next)
        if (AsSound(n)->Header == message.header && AsSound(n)->LastDevice == message.device)
            p = AsSound(n);
    uint16_t result = 0;
    if (p) {
        p->Playing = false;
        p->Flags &= ~sfQueued;
        result = p->SoundId;
        p->Stop();
        if (!(p->Flags & sfAutoFree) || (p->Flags & sfResume)) {
            Sounds.Remove(p);
            if (p->Flags & sfFront) {
                p->Flags &= ~sfFront;
                Sounds.AddFirst(p);
            } else {
                Sounds.AddLast(p);
            }
            if (p->Flags & sfResume)
                p->Flags = (p->Flags & ~sfResume) | sfQueued;
        } else {
            Sounds.Delete(p);
        }
        // A copy: a listener may remove itself.
        const std::vector<TWaveDoneListener*> listeners = listeners_;
        for (TWaveDoneListener* l : listeners)
            if (std::find(listeners_.begin(), listeners_.end(), l) != listeners_.end())
                l->WaveSoundDone(result);
    }
    if (!FindPlaying())
        PlayNextQueued();
    return result;
}

void TWaveMan::AddListener(TWaveDoneListener* listener) {
    if (listener && std::find(listeners_.begin(), listeners_.end(), listener) == listeners_.end())
        listeners_.push_back(listener);
}

void TWaveMan::RemoveListener(TWaveDoneListener* listener) {
    std::erase(listeners_, listener);
}

void TWaveMan::PlayNextQueued() {
    TLumNode* n = Sounds.First;
    while (n) {
        TSoundNode* p = AsSound(n);
        n = n->Next;
        if (!(p->Flags & sfQueued))
            continue;
        if (p->Play(owner_))
            return;
        if (p->Flags & sfAutoFree)
            Sounds.Delete(p);
    }
}
