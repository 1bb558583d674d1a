// The pace a child picks for reading aloud: slow, normal or quick, each a
// stretch of the voice's sounds; kept in the settings file ("Book",
// "ReadingPace": "0", "1" or "2", anything else normal). The control that
// picks it stands right of the "Read to me" button: three pictures side by
// side (a tortoise, a child walking, a hare), the chosen one lit. It reaches
// over the right page's area, so it stands just below the lowest text a page
// can hold.
#pragma once
#include <string>

#include "book/BookFoot.h"
#include "platform/Settings.h"
#include "platform/SpeechSynth.h"

class TReadingPace {
public:
    enum class Pace { Slow = 0, Normal = 1, Quick = 2 };

    // How long a sentence lasts at the slow and at the quick pace against
    // the normal one, far enough apart for a child to hear. The voice's
    // stretch lengthens its speech in proportion.
    static constexpr float kSlowLength = 1.35f;
    static constexpr float kQuickLength = 0.75f;
    static constexpr float kSlowStretch = plat::SpeechSynth::kNormalStretch * kSlowLength;
    static constexpr float kQuickStretch = plat::SpeechSynth::kNormalStretch * kQuickLength;
    // The control at scale 1: three cells, each kCellWidth x kHeight (it
    // stands where TBookFoot::ReadPace puts it).
    static constexpr int kCellWidth = TBookFoot::kPaceCellWidth;
    static constexpr int kHeight = TBookFoot::kPaceHeight;
    static constexpr int kWidth = 3 * kCellWidth;

    // How long each sound lasts against the engine's own pace.
    static float Stretch(Pace pace);
    // The setting's value for Pace, and the pace a value stands for.
    static std::string Setting(Pace pace);
    static Pace Parse(const std::string& value);
    // Reads and writes the setting ("ReadingPace") in Settings, the book's
    // section; a bad or missing value reads as normal.
    static Pace Load(const plat::Settings& settings);
    static void Save(Pace pace, const plat::Settings& settings);

    // The pace of the cell at X within the control.
    static Pace PaceAt(int x);
    // The tip each cell shows.
    static const char* Tip(Pace pace);
};
