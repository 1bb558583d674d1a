// The reading pace and its setting.
#include "reading/ReadingPace.h"

#include <algorithm>

#include "platform/SpeechSynth.h"

float TReadingPace::Stretch(Pace pace) {
    switch (pace) {
    case Pace::Slow:
        return kSlowStretch;
    case Pace::Quick:
        return kQuickStretch;
    case Pace::Normal:
        break;
    }
    return plat::SpeechSynth::kNormalStretch;
}

std::string TReadingPace::Setting(Pace pace) {
    return std::to_string(static_cast<int>(pace));
}

TReadingPace::Pace TReadingPace::Parse(const std::string& value) {
    if (value == "0")
        return Pace::Slow;
    if (value == "2")
        return Pace::Quick;
    return Pace::Normal;
}

TReadingPace::Pace TReadingPace::Load(const plat::Settings& settings) {
    return Parse(settings.Get("ReadingPace", "1"));
}

void TReadingPace::Save(Pace pace, const plat::Settings& settings) {
    settings.Set("ReadingPace", Setting(pace));
}

TReadingPace::Pace TReadingPace::PaceAt(int x) {
    return static_cast<Pace>(std::clamp(x / kCellWidth, 0, 2));
}

const char* TReadingPace::Tip(Pace pace) {
    switch (pace) {
    case Pace::Slow:
        return "Read slowly";
    case Pace::Quick:
        return "Read quickly";
    case Pace::Normal:
        break;
    }
    return "Read at a normal pace";
}
