// The letters of the storybook's pages through the window: the cover's
// choice laying the story out again in the chosen face and size while the
// cover keeps its own, the bigger letters growing the window where the
// screen has room and fitting it where it has none, the choice kept in the settings (bad values
// read as the default), and printing in the chosen letters.
#include <QPrinter>

#include "BookFixture.h"
#include "book/PageText.h"
#include "platform/PrivateProfile.h"
#include "platform/qt/QtCanvas.h"
#include "support/BookParts.h"
#include "support/XSession.h"

class BookLettersFormTest : public BookFixture {
protected:
    // The lines of page Page of the story shown, laid out afresh in Family
    // at Points for the left page area.
    std::vector<std::string> LinesIn(const char* family, int points, int page) {
        QImage image = plat::QtCanvas::MeasureImage(96);
        QPainter painter(&image);
        plat::QtCanvas canvas(painter, family, points);
        TBook layout;
        layout.MarginX = layout.MarginY = 8;
        const QSize size = fbwtest::Child<TPaintBox>(*book, "pbxLeftPage").size();
        layout.Paginate(&canvas, TRect{0, 0, size.width(), size.height()},
                        book->StoryText().c_str());
        std::vector<std::string> lines;
        if (const TPage* p = layout.Page(page))
            for (int l = 1; l <= p->LineCount(); ++l)
                lines.push_back(p->LineText(book->StoryText().c_str(), l));
        return lines;
    }
    // The line pitch of the story's page Page as shown: from the top of its
    // first line to the next's.
    int Pitch(int page) {
        int pitch = 0;
        book->Painter().Measure(
            TPagePainter::Side::Left, page, [&](plat::Canvas& canvas, int width) {
                const char* text = book->StoryText().c_str();
                TBook& b = book->Book();
                pitch = b.LinePartRectFrom(&b.Pages, &canvas, width, page, 2, 0, 1, text).Top -
                        b.LinePartRectFrom(&b.Pages, &canvas, width, page, 1, 0, 1, text).Top;
            });
        return pitch;
    }
    std::vector<std::string> ShownLines(int page) {
        std::vector<std::string> lines;
        if (const TPage* p = book->Book().Page(page))
            for (int l = 1; l <= p->LineCount(); ++l)
                lines.push_back(p->LineText(book->StoryText().c_str(), l));
        return lines;
    }
};

TEST_F(BookLettersFormTest, TheCoversChoiceLaysTheStoryOutAgainAndTheCoverKeepsItsLetters) {
    Open(2);
    EXPECT_TRUE(fbwtest::Child<QToolButton>(*book, "sbClassicLetters").isChecked());
    EXPECT_FALSE(fbwtest::Child<QToolButton>(*book, "sbEasyLetters").isChecked());
    EXPECT_FALSE(fbwtest::Child<QToolButton>(*book, "sbBigLetters").isChecked());
    EXPECT_EQ(book->LettersPart().Letters(), TBookLetters{});
    ASSERT_TRUE(fbwtest::Child<QFrame>(*book, "pnlLetters").isVisible());
    // On the paper above the twist panel.
    EXPECT_LE(fbwtest::Child<QFrame>(*book, "pnlLetters").geometry().bottom(),
              fbwtest::Child<QFrame>(*book, "pnlTwist").y());
    EXPECT_GE(fbwtest::Child<QFrame>(*book, "pnlLetters").y(),
              fbwtest::Child<TPaintBox>(*book, "pbxRightPage").y() - 10);
    EXPECT_EQ(ShownLines(1), LinesIn("Times New Roman", 12, 1));
    const QImage cover = book->Painter().PagePicture(TPagePainter::Side::Left);

    QTest::mouseClick(&fbwtest::Child<QToolButton>(*book, "sbEasyLetters"), Qt::LeftButton);
    EXPECT_TRUE(fbwtest::Child<QToolButton>(*book, "sbEasyLetters").isChecked());
    EXPECT_FALSE(fbwtest::Child<QToolButton>(*book, "sbClassicLetters").isChecked());
    EXPECT_EQ(book->LettersPart().Letters().face, TBookLetters::Face::EasyRead);
    EXPECT_EQ(book->LettersPart().PagePoints(), 12);
    EXPECT_EQ(ShownLines(1), LinesIn("Andika", 12, 1));
    EXPECT_NE(ShownLines(1), LinesIn("Times New Roman", 12, 1)) << "another face, other lines";
    EXPECT_EQ(book->Painter().PagePicture(TPagePainter::Side::Left), cover)
        << "the cover's words keep their letters";
    EXPECT_EQ(book->CurrentPage(), 0);
    EXPECT_EQ(Setting("Book", "Letters"), "1");
    EXPECT_EQ(Setting("Book", "BigLetters"), "0");

    // The story's pages are drawn in the letters they were laid out in.
    book->ShowPages(1);
    EXPECT_FALSE(fbwtest::Child<QFrame>(*book, "pnlLetters").isVisible())
        << "the choice stands on the cover only";
    const QImage easy = book->Painter().PagePicture(TPagePainter::Side::Right);
    book->LettersPart().SetLetters(TBookLetters{});
    book->ShowPages(1);
    EXPECT_NE(book->Painter().PagePicture(TPagePainter::Side::Right), easy);
    EXPECT_EQ(Setting("Book", "Letters"), "0");
    EXPECT_TRUE(errors.empty());
}

TEST_F(BookLettersFormTest, BiggerLettersGrowTheWindowWhereTheScreenHasRoom) {
    const QRect screen(0, 0, 1280, 1024);
    fbwtest::Letters(*book).ScreenArea = [screen] { return screen; };
    OpenWith(2, Story(600));
    ASSERT_EQ(book->size(), QSize(592, 418));
    const QPoint centre = book->geometry().center();
    const int normal = Pitch(2);
    ASSERT_GT(normal, 0);
    QTest::mouseClick(&fbwtest::Child<QToolButton>(*book, "sbBigLetters"), Qt::LeftButton);
    EXPECT_EQ(book->LettersPart().PagePoints(), 18);
    EXPECT_GE(double(Pitch(2)) / normal, 1.4) << Pitch(2) << " against " << normal;
    EXPECT_GT(book->width(), 592);
    EXPECT_GT(book->height(), 418);
    EXPECT_TRUE(screen.contains(book->frameGeometry()));
    EXPECT_LE((book->geometry().center() - centre).manhattanLength(), 2)
        << "grown about its centre";
    EXPECT_EQ(ShownLines(2), LinesIn("Times New Roman", 18, 2));
    // Back to the normal letters: the window keeps the size it grew to.
    const QSize grown = book->size();
    QTest::mouseClick(&fbwtest::Child<QToolButton>(*book, "sbBigLetters"), Qt::LeftButton);
    EXPECT_EQ(book->LettersPart().PagePoints(), 12);
    EXPECT_EQ(Pitch(2), normal);
    EXPECT_EQ(book->size(), grown);
    EXPECT_TRUE(errors.empty());
}

TEST_F(BookLettersFormTest, BiggerLettersFitTheSmallWindowAndGrowOnALargeOne) {
    // A screen with no room beside the window.
    fbwtest::Letters(*book).ScreenArea = [this] { return book->frameGeometry(); };
    Open(2);
    const int pagesNormal = book->Book().PageCount();
    QTest::mouseClick(&fbwtest::Child<QToolButton>(*book, "sbBigLetters"), Qt::LeftButton);
    EXPECT_TRUE(book->LettersPart().Letters().big);
    EXPECT_EQ(Setting("Book", "BigLetters"), "1");
    // The small window's page cannot hold the whole size: the largest that
    // still gives the story pages.
    EXPECT_GT(book->LettersPart().PagePoints(), 12);
    EXPECT_LT(book->LettersPart().PagePoints(), 18);
    EXPECT_GT(book->Book().PageCount(), pagesNormal);
    EXPECT_EQ(ShownLines(1), LinesIn("Times New Roman", book->LettersPart().PagePoints(), 1));
    // A large window shows its controls twice their size: the letters grow
    // with them, the bigger ones still bigger.
    book->resize(1400, 900);
    const int big = book->LettersPart().PagePoints();
    EXPECT_GT(big, 18);
    QTest::mouseClick(&fbwtest::Child<QToolButton>(*book, "sbBigLetters"), Qt::LeftButton);
    EXPECT_GT(book->LettersPart().PagePoints(), 12);
    EXPECT_LT(book->LettersPart().PagePoints(), big);
}

TEST_F(BookLettersFormTest, TheChoiceIsKeptAndBadValuesReadAsTheDefault) {
    Open(2);
    QTest::mouseClick(&fbwtest::Child<QToolButton>(*book, "sbEasyLetters"), Qt::LeftButton);
    QTest::mouseClick(&fbwtest::Child<QToolButton>(*book, "sbBigLetters"), Qt::LeftButton);
    book.reset();
    {
        TFormBook again(generator(), *game->Library());
        EXPECT_TRUE(fbwtest::Child<QToolButton>(again, "sbEasyLetters").isChecked());
        EXPECT_TRUE(fbwtest::Child<QToolButton>(again, "sbBigLetters").isChecked());
        EXPECT_EQ(again.LettersPart().Letters().face, TBookLetters::Face::EasyRead);
        EXPECT_EQ(fbwtest::Child<TPaintBox>(again, "pbxLeftPage").font().family(), "Andika");
    }
    plat::WriteProfileString("Book", "Letters", "easy", SettingsFileName);
    plat::WriteProfileString("Book", "BigLetters", "2", SettingsFileName);
    TFormBook bad(generator(), *game->Library());
    EXPECT_EQ(bad.LettersPart().Letters(), TBookLetters{});
    EXPECT_TRUE(fbwtest::Child<QToolButton>(bad, "sbClassicLetters").isChecked());
    EXPECT_FALSE(fbwtest::Child<QToolButton>(bad, "sbBigLetters").isChecked());
}

TEST_F(BookLettersFormTest, PrintingUsesTheChosenLetters) {
    if (fbwtest::ShellOutput("command -v pdffonts").empty())
        GTEST_SKIP() << "poppler's pdffonts is not installed";
    OpenWith(2, Story(300));
    fbwtest::TempDir out;
    const auto fontsPrinted = [&](const char* name) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(out / name));
        EXPECT_TRUE(fbwtest::Commands(*book).PrintStory(printer, 1, 1, 1));
        return fbwtest::ShellOutput("pdffonts '" + std::string(out / name) + "' 2>/dev/null");
    };
    const std::string classic = fontsPrinted("classic.pdf");
    EXPECT_EQ(classic.find("Andika"), std::string::npos) << classic;
    EXPECT_NE(classic.find("Serif"), std::string::npos) << classic;
    QTest::mouseClick(&fbwtest::Child<QToolButton>(*book, "sbEasyLetters"), Qt::LeftButton);
    const std::string easy = fontsPrinted("easy.pdf");
    EXPECT_NE(easy.find("Andika"), std::string::npos) << easy;
}
