// The synthesizer of this build: flite when the build found it, else none.
#include "platform/SpeechSynth.h"

#ifdef FBW_HAVE_FLITE
#include "platform/flite/FliteSpeechSynth.h"
#endif

namespace plat {

std::unique_ptr<SpeechSynth> CreateSystemSpeechSynth() {
#ifdef FBW_HAVE_FLITE
    return FliteSpeechSynth::Create();
#else
    return nullptr;
#endif
}

} // namespace plat
