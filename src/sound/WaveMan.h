// The wave player: keeps the loaded sounds in one list, plays one at a time
// on the installed wave-out service, queues further requests behind the
// playing one, loops, interrupts and resumes sounds, and learns that a sound
// has finished from the device's done message, which the owner window hands
// to WaveDone. Everything runs on the user-interface thread.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/LumList.h"
#include "platform/WaveOutWindow.h"
#include "platform/WaveTypes.h"
#include "sound/SoundNode.h"
#include "sound/WaveDoneListener.h"

// Options of PlaySound.
inline constexpr uint8_t poEndLoop = 1;   // a playing loop is ended rather than resumed later
inline constexpr uint8_t poOverLoop = 2;  // the request may act while a looping sound plays
inline constexpr uint8_t poOverSound = 4; // the request may act while a non-looping sound plays
inline constexpr uint8_t poStopLoop = 8;  // a playing loop is stopped at once (implies poOverLoop)
inline constexpr uint8_t poStopSound =
    16; // a playing non-looping sound is stopped at once (implies poOverSound)
inline constexpr uint8_t poRestart = 32; // act even when the requested sound is the one playing
// The player asked for this sound (a voice reading aloud): it plays while
// sound is switched off, where a device takes it.
inline constexpr uint8_t poAsked = 64;

// Creates a sound node (file name, flags, id); raises EAbort when the file
// cannot be loaded.
using TSoundNodeClass = std::function<std::unique_ptr<TSoundNode>(const std::string& fileName,
                                                                  uint8_t flags, uint16_t id)>;

class TWaveMan {
public:
    // Owner receives the done messages (none when nullptr) and must hand each
    // to WaveDone; it outlives the manager. Enabled = Enable and a device
    // exists; Enable is the wish for sound.
    TWaveMan(plat::WaveOutWindow* owner, bool enable);
    // Stops the playing sound, then frees every node.
    virtual ~TWaveMan();
    TWaveMan(const TWaveMan&) = delete;
    TWaveMan& operator=(const TWaveMan&) = delete;

    // The first node with that id, or nullptr.
    virtual TSoundNode* FindSound(uint16_t id) const;
    // The first node that is playing, or nullptr.
    virtual TSoundNode* FindPlaying() const;
    // Enabled = On and a device exists; returns it. A playing sound goes on.
    // On is the new wish for sound.
    virtual bool SetEnabled(bool on);
    // At least one wave-out device exists.
    virtual bool DevicesPresent() const;
    // Sound is wanted but was off for want of a device: asks the service
    // again, and turns sound on (SoundFound) when one is there now. Returns
    // Enabled. Costs nothing while sound is on or not wanted; the caller
    // asks only when sound is about to be offered.
    bool LookAgain();
    // A sound the player asks for (poAsked) can play: sound is on, or
    // switched off while a device exists. Asks the service when sound is off.
    bool CanPlayAsked();
    // Sound is wanted (the last Enable or On given).
    bool Wanted() const { return wanted_; }

    // Folder of the wave files; a non-empty folder gets a trailing separator.
    void SetWaveFolder(const std::string& folder);
    // Stop of the playing node, if any.
    void StopPlaying();
    // Loads Folder + Name + ".wav" under Id (flags without sfQueued and
    // sfResume) unless a sound with that id is loaded already. False when
    // disabled or the file cannot be loaded; no message is shown.
    bool LoadSound(const std::string& name, uint16_t id, uint8_t flags);
    // Plays, queues, restarts or refuses the sound loaded under Id according
    // to the sound playing and the options; Loop plays it endlessly. True when
    // the request was taken. A refused sfAutoFree node is freed.
    bool PlaySound(uint16_t id, uint8_t options, bool loop);
    // Handles a done message: finishes, requeues or frees the node it names,
    // tells the listeners, then starts the first queued sound when nothing
    // plays. Returns the id of the finished sound, 0 when the message names no
    // node of the list (the listeners are then not told).
    uint16_t WaveDone(const plat::WaveDoneMessage& message);
    // Listeners are not owned; each must be removed before it goes. Adding one
    // twice has no effect.
    void AddListener(TWaveDoneListener* listener);
    void RemoveListener(TWaveDoneListener* listener);

    plat::WaveOutWindow* Owner() const { return owner_; }

    TLumList Sounds;      // of TSoundNode; the list order is the queue order
    bool Enabled = false; // sound wanted and a device present
    std::string Folder;   // empty or ending with the separator
    TSoundNodeClass NodeClass;

protected:
    // LookAgain turned sound on.
    virtual void SoundFound() {}

private:
    // Starts the first queued node; a node that cannot play is passed over
    // (and freed when it is sfAutoFree).
    void PlayNextQueued();
    plat::WaveOutWindow* owner_;
    bool wanted_ = false;
    std::vector<TWaveDoneListener*> listeners_;
};
