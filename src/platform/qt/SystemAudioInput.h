// The microphone input of this program: the PulseAudio input where it can
// run (the event loop is GLib's and the build has libpulse), else Qt's.
#pragma once
#include <memory>

#include "platform/AudioInput.h"

namespace plat {

std::unique_ptr<AudioInput> CreateSystemAudioInput();

} // namespace plat
