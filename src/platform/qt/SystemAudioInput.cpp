// Choosing the microphone input.
#include "platform/qt/SystemAudioInput.h"

#include "platform/qt/QtAudioInput.h"
#if FBW_HAVE_PULSE
#include "platform/qt/PulseAudioInput.h"
#endif

namespace plat {

std::unique_ptr<AudioInput> CreateSystemAudioInput() {
#if FBW_HAVE_PULSE
    if (PulseAudioInput::Usable())
        return std::make_unique<PulseAudioInput>();
#endif
    return std::make_unique<QtAudioInput>();
}

} // namespace plat
