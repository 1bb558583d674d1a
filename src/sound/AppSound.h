// The game's sound: the sound catalogue read from "sounds.dat" (rebuilt from
// "sounds.txt" when that is newer), the program's one wave manager, and the
// calls of the main window: start the sound, play game sound N, switch sound
// on or off, and pass on the wave-out done message. User-interface thread only.
// The game installs its wave-out service (plat::SetWaveOutService) before
// StartSound; the main window is the plat::WaveOutWindow that hands every done
// message to SoundDone, keeps the manager that StartSound returns, and calls
// StopSound before it frees the manager.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "platform/WaveOutWindow.h"
#include "platform/WaveTypes.h"
#include "sound/IDList.h"
#include "sound/WaveMan.h"

// The catalogue in file order (TSoundInfoNode); nullptr before StartSound and
// after StopSound.
extern std::unique_ptr<TIDList> SoundCatalogue;
// The program's wave manager, owned by the window that started the sound;
// nullptr when there is none (it clears itself when it is freed).
extern TWaveMan* WaveManager;
// Whether sound is on: the manager's Enabled after every call of this module,
// and after the manager found an audio output that came later
// (TWaveMan::LookAgain).
extern bool SoundOn;
// The player's wish for sound: StartSound's Wanted, then the On of every
// SetSoundOn (the player's switch). It is what the "Sound" setting keeps: a
// run without an audio output has SoundOn off but leaves the wish as it was.
extern bool SoundWanted;

// Reads the catalogue and creates the wave manager for Owner (the main
// window, which receives the done messages and hands them to SoundDone),
// enabled when Wanted and a wave-out device exists. The caller owns the
// manager. Raises LumException when "sounds.txt" must be converted and cannot be.
[[nodiscard]] std::unique_ptr<TWaveMan> StartSound(plat::WaveOutWindow* owner, bool wanted);
// Loads and plays game sound N (0 to 10) when sound is on: queued behind a
// playing sound, ignored while the same sound plays, freed after it has played.
void PlayGameSound(uint8_t n);
// The player's switch: sound is wanted On, and is on when On and a device
// exists.
void SetSoundOn(bool on);
// Hands a wave-out done message to the manager.
void SoundDone(const plat::WaveDoneMessage& message);
// Frees the catalogue.
void StopSound();
// The name of the first catalogue entry with Id; empty when none.
std::string SoundName(uint16_t id);
// The catalogue id of game sound N: 1-5 the same, 6 -> 10, 7 -> 8, 8 -> 6,
// 9 -> 7, 10 -> 9, any other -> 0.
uint16_t GameSoundId(uint8_t n);
