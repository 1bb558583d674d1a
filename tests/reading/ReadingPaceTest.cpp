// The reading pace: its three settings, what the settings file holds, and the
// control's cells.
#include <gtest/gtest.h>

#include "book/BookGeometry.h"
#include "book/BookPieces.h"
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

TEST(ReadingPace, TheControlStandsRightOfTheButtonAndEachCellPicksItsPace) {
    for (auto [w, h] : {std::pair{592, 418}, std::pair{1920, 1080}}) {
        const TPoint button = TBookPieces::ReadToMePos(w, h);
        const TPoint p = TReadingPace::ControlPos(w, h);
        const TBookBox page = TBookGeometry::RightPage(w, h);
        EXPECT_GE(p.Y, page.Bottom() - TBookGeometry::kMargin) << "below the page's lowest text";
        EXPECT_LE(p.Y + TReadingPace::kHeight, button.Y + 25 + 2) << "beside the button";
        EXPECT_GT(p.X, button.X + 50) << "right of the button";
        EXPECT_LE(p.X + TReadingPace::kWidth, TBookPieces::ForwardArrowPos(w, h).X);
    }
    EXPECT_EQ(TReadingPace::PaceAt(0), Pace::Slow);
    EXPECT_EQ(TReadingPace::PaceAt(TReadingPace::kCellWidth), Pace::Normal);
    EXPECT_EQ(TReadingPace::PaceAt(TReadingPace::kWidth - 1), Pace::Quick);
    EXPECT_EQ(TReadingPace::PaceAt(-5), Pace::Slow);
    EXPECT_EQ(TReadingPace::PaceAt(999), Pace::Quick);
}
