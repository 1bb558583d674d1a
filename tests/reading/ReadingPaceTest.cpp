// The reading pace: its three settings, what the settings file holds, and the
// control's cells.
#include <gtest/gtest.h>

#include "platform/PrivateProfile.h"
#include "reading/ReadingPace.h"
#include "support/TestSupport.h"

using Pace = TReadingPace::Pace;

TEST(ReadingPace, IsKeptInTheSettingsFileAndReadBackWithBadValuesNormal) {
    fbwtest::TempDir dir;
    const std::string ini = dir / "yarns.ini";
    const plat::Settings book(ini, "Book");
    EXPECT_EQ(TReadingPace::Load(book), Pace::Normal) << "no file";
    for (Pace p : {Pace::Slow, Pace::Quick, Pace::Normal}) {
        TReadingPace::Save(p, book);
        EXPECT_EQ(TReadingPace::Load(book), p);
    }
    TReadingPace::Save(Pace::Slow, book);
    EXPECT_EQ(plat::GetProfileString("Book", "ReadingPace", "", ini), "0");
    for (const char* bad : {"", "3", "-1", "00", "2x", "slow", "1.5"}) {
        plat::WriteProfileString("Book", "ReadingPace", bad, ini);
        EXPECT_EQ(TReadingPace::Load(book), Pace::Normal) << '"' << bad << '"';
    }
    TReadingPace::Save(Pace::Quick, plat::Settings());
    EXPECT_EQ(TReadingPace::Load(plat::Settings()), Pace::Normal) << "no settings file";

    // Slow is slower than normal, quick quicker.
    EXPECT_GT(TReadingPace::Stretch(Pace::Slow), TReadingPace::Stretch(Pace::Normal));
    EXPECT_LT(TReadingPace::Stretch(Pace::Quick), TReadingPace::Stretch(Pace::Normal));
}

TEST(ReadingPace, EachCellPicksItsPace) {
    EXPECT_EQ(TReadingPace::PaceAt(0), Pace::Slow);
    EXPECT_EQ(TReadingPace::PaceAt(TReadingPace::kCellWidth), Pace::Normal);
    EXPECT_EQ(TReadingPace::PaceAt(TReadingPace::kWidth - 1), Pace::Quick);
    EXPECT_EQ(TReadingPace::PaceAt(-5), Pace::Slow);
    EXPECT_EQ(TReadingPace::PaceAt(999), Pace::Quick);
}
