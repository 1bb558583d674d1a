// The storybook's keepsake: "Make a picture book" (the file in the stories
// folder under a fresh name each time, checked with poppler's tools, the
// message and the offer to open it, a folder that cannot be written), and
// the story printed as a folded booklet to a PDF printer; "Make a talking
// book" beside it (its file, pace, progress bar and Cancel while the window
// goes on, and failures).
#include <QPrinter>

#include <algorithm>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <sstream>

#include "BookFixture.h"
#include "book/forms/ReadToMePart.h"
#include "platform/Files.h"
#include "reading/ReadingPace.h"
#include "support/BookParts.h"
#include "support/NullSpeechSynth.h"
#include "support/XSession.h"

namespace fs = std::filesystem;
using fbwtest::ShellOutput;

namespace {

bool HavePoppler() {
    return fbwtest::OnPath("pdfinfo") && fbwtest::OnPath("pdftotext") &&
           fbwtest::OnPath("pdfimages");
}

std::string Info(const std::string& pdf, const std::string& field) {
    const std::string info = ShellOutput("pdfinfo '" + pdf + "' 2>/dev/null");
    const std::size_t at = info.find(field + ":");
    if (at == std::string::npos)
        return {};
    const std::size_t from = info.find_first_not_of(' ', at + field.size() + 1);
    return info.substr(from, info.find('\n', from) - from);
}

int Pages(const std::string& pdf) {
    return std::atoi(Info(pdf, "Pages").c_str());
}

std::vector<std::string> Tokens(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string w; in >> w;)
        out.push_back(w);
    return out;
}

// The words of page Page, or of its left or right half (Half -1 or 1).
std::vector<std::string> PageWords(const std::string& pdf, int page, int half = 0) {
    std::string crop;
    if (half != 0) {
        const int w = std::atoi(Info(pdf, "Page size").c_str());
        crop = "-x " + std::to_string(half < 0 ? 0 : w / 2) + " -y 0 -W " + std::to_string(w / 2) +
               " -H 5000 ";
    }
    const std::string n = std::to_string(page);
    return Tokens(ShellOutput("pdftotext -r 72 " + crop + "-f " + n + " -l " + n + " '" + pdf +
                              "' - 2>/dev/null"));
}

} // namespace

class KeepsakeTest : public BookFixture {
protected:
    void SetUp() override {
        BookFixture::SetUp();
        fbwtest::Keepsakes(*book).Clock = [] {
            return QDateTime(QDate(2026, 12, 8), QTime(17, 5));
        };
        fbwtest::Keepsakes(*book).OpenDocument = [this](const std::string& path) {
            opened.push_back(path);
            return true;
        };
    }
    // Tale 2 with a generated story, on its commands spread.
    void OpenAtCommands() {
        Open(2);
        book->ShowPages(book->Book().PageCount() | 1);
        ASSERT_TRUE(fbwtest::Child<QPushButton>(*book, "cmdPictureBook").isVisible());
    }
    std::string Folder() { return book->StoriesFolder; }
    // How many pixels of a new picture book's cover picture differ from
    // the tale's picture at twist Level (each a k x k block of its colour).
    int CoverPixelsNotOfTwist(int level) {
        const std::string pdf = fbwtest::Keepsakes(*book).MakePictureBook();
        fbwtest::TempDir out;
        ShellOutput("pdfimages -png -f 1 -l 1 '" + pdf + "' '" + (out / "cover") + "'");
        const QImage cover(QString::fromStdString(out / "cover-000.png"));
        if (cover.isNull() || cover.width() % 150 != 0)
            return -1;
        const int k = cover.width() / 150;
        const QImage tale = LibraryImage("Goldilox").copy(0, level * 150, 150, 150);
        int wrong = 0;
        for (int y = 0; y < cover.height(); ++y)
            for (int x = 0; x < cover.width(); ++x)
                wrong += cover.pixel(x, y) != tale.pixel(x / k, y / k);
        return wrong;
    }
    std::vector<std::string> opened;
};

TEST_F(KeepsakeTest, APictureBookInTheStoriesFolderUnderAFreshName) {
    OpenAtCommands();
    EXPECT_EQ(fbwtest::Child<QLabel>(*book, "lblPictureBookText").text(),
              "Make a picture book of this story that you can keep, print or send.");
    EXPECT_EQ(fbwtest::Child<QPushButton>(*book, "cmdPictureBook").text(), "Make a picture book");
    fbwtest::MessageCapture messages(plat::MsgAnswer::No);
    QTest::mouseClick(&fbwtest::Child<QPushButton>(*book, "cmdPictureBook"), Qt::LeftButton);
    ASSERT_TRUE(errors.empty()) << errors[0];
    const std::string pdf = Folder() + "Goldilox 2026-12-08 17.05.pdf";
    ASSERT_TRUE(fs::exists(pdf));
    EXPECT_TRUE(fbwtest::Child<QLabel>(*book, "lblBookMade").isVisible());
    EXPECT_EQ(fbwtest::Child<QLabel>(*book, "lblBookMade").text(), "Picture book made!");
    EXPECT_TRUE(fbwtest::Child<QTimer>(*book, "tmrMessage").isActive());
    ASSERT_EQ(messages.Messages().size(), 1u);
    EXPECT_NE(messages.Messages()[0].text.find("Goldilox 2026-12-08 17.05.pdf"), std::string::npos);
    EXPECT_NE(messages.Messages()[0].text.find(Folder()), std::string::npos) << "and its folder";
    EXPECT_TRUE(opened.empty()) << "not opened when the player says no";
    EXPECT_EQ(std::distance(fs::directory_iterator(Folder()), fs::directory_iterator()), 1)
        << "nothing beside it";

    // Again: a fresh name, and opened with the desktop's viewer when asked.
    messages.Handler().SetAnswer(plat::MsgAnswer::Yes);
    QTest::mouseClick(&fbwtest::Child<QPushButton>(*book, "cmdPictureBook"), Qt::LeftButton);
    const std::string second = Folder() + "Goldilox 2026-12-08 17.05 (2).pdf";
    ASSERT_TRUE(fs::exists(second));
    EXPECT_EQ(opened, std::vector<std::string>{second});
    fbwtest::Commands(*book).tmrMessageTimer();
    EXPECT_FALSE(fbwtest::Child<QLabel>(*book, "lblBookMade").isVisible()) << "the message goes";

    if (!HavePoppler())
        GTEST_SKIP() << "poppler's pdfinfo, pdftotext and pdfimages are not installed";
    EXPECT_EQ(Info(pdf, "Title"), generator().GetTitle(book->TaleNumber));
    const int pages = Pages(pdf);
    ASSERT_GE(pages, 4);
    EXPECT_EQ(PageWords(pdf, pages), (std::vector<std::string>{"The", "End"}));
    EXPECT_EQ(PageWords(pdf, 1), Tokens(generator().GetTitle(book->TaleNumber)));
    std::vector<std::string> words;
    for (int p = 2; p < pages; ++p) {
        std::vector<std::string> t = PageWords(pdf, p);
        ASSERT_FALSE(t.empty());
        EXPECT_EQ(t.back(), std::to_string(p - 1));
        words.insert(words.end(), t.begin(), t.end() - 1);
    }
    std::string story = book->StoryText();
    for (std::size_t at; (at = story.find("\\n")) != std::string::npos;)
        story.replace(at, 2, " ");
    EXPECT_EQ(words, Tokens(QString::fromLatin1(story.c_str()).toStdString()))
        << "the story's words in order";
    // The cover's picture: the full twist's, at a whole-pixel scale.
    const std::vector<std::string> image =
        Tokens(ShellOutput("pdfimages -list '" + pdf + "' | tail -n +3"));
    ASSERT_GE(image.size(), 14u);
    EXPECT_EQ(image[0], "1");
    EXPECT_EQ(std::atoi(image[3].c_str()) % 150, 0);
    EXPECT_EQ(image[3], image[4]);
    EXPECT_EQ(image[8], "image") << "lossless";
}

TEST_F(KeepsakeTest, AFolderThatCannotBeWrittenGivesTheErrorAndNothingHalfWritten) {
    OpenAtCommands();
    fbwtest::MessageCapture messages;
    // A folder no one may make files in, not even root.
    book->StoriesFolder = "/proc/self/";
    QTest::mouseClick(&fbwtest::Child<QPushButton>(*book, "cmdPictureBook"), Qt::LeftButton);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], "Picture book: cannot write /proc/self/Goldilox 2026-12-08 17.05.pdf: no "
                         "such file or directory");
    EXPECT_FALSE(fbwtest::Child<QLabel>(*book, "lblBookMade").isVisible());
    EXPECT_FALSE(fbwtest::Child<QTimer>(*book, "tmrMessage").isActive());
    EXPECT_TRUE(messages.Messages().empty()) << "nothing offered";

    // A file where the folder should be.
    errors.clear();
    book->StoriesFolder = home.Path() + "Fablewhirl Stories/";
    fbwtest::WriteBytes(home.Path() + "Fablewhirl Stories", "x");
    QTest::mouseClick(&fbwtest::Child<QPushButton>(*book, "cmdPictureBook"), Qt::LeftButton);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].find("Picture book: cannot create the folder"), 0u) << errors[0];
    EXPECT_FALSE(fbwtest::Child<QLabel>(*book, "lblBookMade").isVisible());
    EXPECT_EQ(fbwtest::ReadBytes(home.Path() + "Fablewhirl Stories"), "x");
    EXPECT_EQ(std::distance(fs::directory_iterator(home.Path()), fs::directory_iterator()), 1)
        << "nothing half-written beside it";
}

namespace {
// The test voice, which stops before its third sentence until the test lets
// it go on (the maker's thread waits there while the test looks at the
// window).
class GatedVoice : public fbwtest::NullSpeechSynth {
public:
    struct Gate {
        std::mutex mutex;
        std::condition_variable changed;
        bool held = false, open = false;
        std::vector<float> stretches; // asked for, in order
        // Waits until the voice stands at the gate.
        void WaitHeld() {
            std::unique_lock lock(mutex);
            changed.wait(lock, [this] { return held; });
        }
        void Open() {
            const std::lock_guard lock(mutex);
            open = true;
            changed.notify_all();
        }
    };
    explicit GatedVoice(Gate& gate) : gate_(gate) {}
    using fbwtest::NullSpeechSynth::Synthesize;
    bool Synthesize(const std::string& text, float stretch, plat::SpeechPcm& out) override {
        std::unique_lock lock(gate_.mutex);
        gate_.stretches.push_back(stretch);
        if (++said_ == 3) {
            gate_.held = true;
            gate_.changed.notify_all();
            gate_.changed.wait(lock, [this] { return gate_.open; });
        }
        lock.unlock();
        return fbwtest::NullSpeechSynth::Synthesize(text, stretch, out);
    }

private:
    Gate& gate_;
    int said_ = 0;
};

std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}
} // namespace

TEST_F(KeepsakeTest, ATalkingBookMadeWhileTheWindowGoesOnAtThePaceChosen) {
    OpenAtCommands();
    auto& keepsakes = fbwtest::Keepsakes(*book);
    auto& talkingBook = fbwtest::Child<QPushButton>(*book, "cmdTalkingBook");
    EXPECT_TRUE(
        fbwtest::Child<QWidget>(*book, "pnlCommands").rect().contains(talkingBook.geometry()));
    EXPECT_FALSE(talkingBook.geometry().intersects(
        fbwtest::Child<QPushButton>(*book, "cmdPictureBook").geometry()));

    fbwtest::ReadToMe(*book).pbxReadPaceClick(0); // the slow pace
    GatedVoice::Gate gate;
    keepsakes.MakeVoice = [&] { return std::make_unique<GatedVoice>(gate); };
    fbwtest::MessageCapture messages(plat::MsgAnswer::Yes);
    QTest::mouseClick(&talkingBook, Qt::LeftButton);
    gate.WaitHeld();
    QCoreApplication::processEvents(); // the progress told so far
    // Its bar and Cancel in place of the row's text, its button faded.
    auto& bar = fbwtest::Child<QProgressBar>(*book, "prgTalkingBook");
    EXPECT_TRUE(bar.isVisible());
    EXPECT_EQ(bar.value(), 2);
    EXPECT_GT(bar.maximum(), 6);
    EXPECT_TRUE(fbwtest::Child<QPushButton>(*book, "cmdCancelTalkingBook").isVisible());
    EXPECT_FALSE(fbwtest::Child<QLabel>(*book, "lblPictureBookText").isVisible());
    EXPECT_FALSE(talkingBook.isEnabled());
    // Meanwhile the picture book is made, and no book is named yet.
    QTest::mouseClick(&fbwtest::Child<QPushButton>(*book, "cmdPictureBook"), Qt::LeftButton);
    ASSERT_TRUE(errors.empty()) << errors[0];
    EXPECT_TRUE(fs::exists(Folder() + "Goldilox 2026-12-08 17.05.pdf"));
    EXPECT_FALSE(fs::exists(Folder() + "Goldilox 2026-12-08 17.05.epub"));

    gate.Open();
    messages.Handler().SetAnswer(plat::MsgAnswer::No); // the book stays on its commands
    keepsakes.FinishTalkingBook();
    ASSERT_TRUE(errors.empty()) << errors[0];
    const std::string epub = Folder() + "Goldilox 2026-12-08 17.05.epub";
    EXPECT_EQ(FilesIn(Folder()), (std::vector<std::string>{"Goldilox 2026-12-08 17.05.epub",
                                                           "Goldilox 2026-12-08 17.05.pdf"}))
        << "nothing half-written beside them";
    EXPECT_EQ(opened, (std::vector<std::string>{Folder() + "Goldilox 2026-12-08 17.05.pdf"}));
    EXPECT_TRUE(fbwtest::Child<QLabel>(*book, "lblTalkingBookMade").isVisible());
    ASSERT_EQ(messages.Messages().size(), 2u);
    EXPECT_NE(messages.Messages()[1].text.find("Goldilox 2026-12-08 17.05.epub"),
              std::string::npos);
    ASSERT_GT(gate.stretches.size(), 6u);
    for (float stretch : gate.stretches)
        EXPECT_FLOAT_EQ(stretch, TReadingPace::kSlowStretch);
    EXPECT_FALSE(bar.isVisible());
    EXPECT_TRUE(talkingBook.isEnabled());
    EXPECT_TRUE(fbwtest::Child<QLabel>(*book, "lblPictureBookText").isVisible());
    QCoreApplication::processEvents(); // the maker's last words find it done
    EXPECT_EQ(messages.Messages().size(), 2u);
}

TEST_F(KeepsakeTest, ACancelledOrClosedTalkingBookLeavesNothing) {
    OpenAtCommands();
    auto& keepsakes = fbwtest::Keepsakes(*book);
    fbwtest::MessageCapture messages(plat::MsgAnswer::Yes);
    for (const bool close : {false, true}) {
        GatedVoice::Gate gate;
        keepsakes.MakeVoice = [&] { return std::make_unique<GatedVoice>(gate); };
        QTest::mouseClick(&fbwtest::Child<QPushButton>(*book, "cmdTalkingBook"), Qt::LeftButton);
        gate.WaitHeld();
        if (close) {
            gate.Open();
            book->close(); // cancels and waits
        } else {
            QTest::mouseClick(&fbwtest::Child<QPushButton>(*book, "cmdCancelTalkingBook"),
                              Qt::LeftButton);
            gate.Open();
            keepsakes.FinishTalkingBook();
        }
        QCoreApplication::processEvents();
        EXPECT_FALSE(keepsakes.MakingTalkingBook());
        EXPECT_TRUE(errors.empty()) << errors[0];
        EXPECT_TRUE(messages.Messages().empty()) << "nothing offered";
        EXPECT_TRUE(FilesIn(Folder()).empty()) << "nothing written";
        EXPECT_FALSE(fbwtest::Child<QProgressBar>(*book, "prgTalkingBook").isVisible());
    }
}

TEST_F(KeepsakeTest, ATalkingBookThatCannotBeMadeGivesTheReasonAndNothingHalfWritten) {
    OpenAtCommands();
    fbwtest::MessageCapture messages;
    fbwtest::Keepsakes(*book).MakeVoice = [] {
        return std::make_unique<fbwtest::NullSpeechSynth>();
    };
    book->StoriesFolder = "/proc/self/";
    QTest::mouseClick(&fbwtest::Child<QPushButton>(*book, "cmdTalkingBook"), Qt::LeftButton);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], "Talking book: cannot write /proc/self/Goldilox 2026-12-08 17.05.epub: "
                         "no such file or directory");
    EXPECT_FALSE(fbwtest::Child<QLabel>(*book, "lblTalkingBookMade").isVisible());

    // No voice engine: said, and no silent book.
    errors.clear();
    book->StoriesFolder = home.Path() + "Fablewhirl Stories/";
    fbwtest::Keepsakes(*book).MakeVoice = [] { return std::unique_ptr<plat::SpeechSynth>(); };
    QTest::mouseClick(&fbwtest::Child<QPushButton>(*book, "cmdTalkingBook"), Qt::LeftButton);
    fbwtest::Keepsakes(*book).FinishTalkingBook();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], "Talking book: no voice engine is installed to read the story aloud");
    EXPECT_FALSE(fs::exists(Folder()) &&
                 fs::directory_iterator(Folder()) != fs::directory_iterator());
    EXPECT_TRUE(messages.Messages().empty()) << "nothing offered";
}

TEST_F(KeepsakeTest, AFoldedBookletToAPdfPrinter) {
    if (!HavePoppler())
        GTEST_SKIP() << "poppler's pdfinfo and pdftotext are not installed";
    OpenAtCommands();
    fbwtest::TempDir out;
    fbwtest::MessageCapture messages(plat::MsgAnswer::No);
    QTest::mouseClick(&fbwtest::Child<QPushButton>(*book, "cmdPictureBook"), Qt::LeftButton);
    const int pages = Pages(Folder() + "Goldilox 2026-12-08 17.05.pdf");
    const int padded = (pages + 3) / 4 * 4, sheets = padded / 4;
    ASSERT_GE(sheets, 2);

    EXPECT_FALSE(fbwtest::Child<QCheckBox>(*book, "chkOneSided").isEnabled())
        << "a choice of the booklet only";
    fbwtest::Child<QCheckBox>(*book, "chkBooklet").setChecked(true);
    EXPECT_TRUE(fbwtest::Child<QCheckBox>(*book, "chkOneSided").isEnabled());
    auto printTo = [&](const std::string& name, int copies, int from, int to) {
        fbwtest::Commands(*book).ExecPrintDialog = [&, name, copies, from, to](QPrinter& printer,
                                                                               int) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(QString::fromStdString(out / name));
            printer.setCopyCount(copies);
            if (from > 0) {
                printer.setPrintRange(QPrinter::PageRange);
                printer.setFromTo(from, to);
            }
            return true;
        };
        QTest::mouseClick(&fbwtest::Child<QPushButton>(*book, "cmdPrint"), Qt::LeftButton);
        EXPECT_TRUE(errors.empty()) << errors[0];
        return out / name;
    };

    // Two-sided: each sheet's front, then its back.
    const std::string two = printTo("two.pdf", 1, 0, 0);
    EXPECT_EQ(Pages(two), padded / 4 * 2);
    const std::string size = Info(two, "Page size");
    EXPECT_GT(std::atoi(size.c_str()), std::atoi(size.c_str() + size.find('x') + 1))
        << "landscape: " << size;
    const std::vector<std::string> title = Tokens(generator().GetTitle(book->TaleNumber));
    EXPECT_EQ(PageWords(two, 1, 1), title) << "the first page on the right of sheet 1";
    EXPECT_EQ(PageWords(two, 1, -1), padded == pages ? (std::vector<std::string>{"The", "End"})
                                                     : std::vector<std::string>{})
        << "the last page on its left";
    EXPECT_EQ(PageWords(two, 2, -1).back(), "1") << "its back: story page 1";
    EXPECT_EQ(Info(two, "Title"), generator().GetTitle(book->TaleNumber))
        << "the story's title, not the tale's";
    EXPECT_FALSE(fbwtest::Child<QLabel>(*book, "lblPrinting").isVisible());

    // One side only, into a file: every front, then every back.
    fbwtest::Child<QCheckBox>(*book, "chkOneSided").setChecked(true);
    const std::string one = printTo("one.pdf", 1, 0, 0);
    ASSERT_EQ(Pages(one), 2 * sheets);
    EXPECT_EQ(PageWords(one, 1, 1), title);
    EXPECT_EQ(PageWords(one, sheets + 1, -1).back(), "1") << "the backs after the fronts";
    EXPECT_EQ(PageWords(one, sheets + 1), PageWords(two, 2));
    EXPECT_EQ(PageWords(one, 2), PageWords(two, 3)) << "sheet 2's front";

    // Copies and the range count sheets: two copies of sheet 2.
    fbwtest::Child<QCheckBox>(*book, "chkOneSided").setChecked(false);
    const std::string range = printTo("range.pdf", 2, 2, 2);
    ASSERT_EQ(Pages(range), 4);
    for (int p : {1, 3})
        EXPECT_EQ(PageWords(range, p), PageWords(two, 3)) << p;
    for (int p : {2, 4})
        EXPECT_EQ(PageWords(range, p), PageWords(two, 4)) << p;
    EXPECT_EQ(messages.Messages().size(), 1u) << "no question but the picture book's";

    // Without the booklet the story prints as before: no cover, no picture.
    fbwtest::Child<QCheckBox>(*book, "chkBooklet").setChecked(false);
    const std::string plain = printTo("plain.pdf", 1, 0, 0);
    EXPECT_EQ(PageWords(plain, 1).front(), title.front());
    EXPECT_EQ(Info(plain, "Title"), generator().GetTitle(book->TaleNumber));
    EXPECT_EQ(ShellOutput("pdfimages -list '" + plain + "' | tail -n +3"), "");
}

TEST_F(KeepsakeTest, TheCoverShowsThePictureOfTheStorysTwistPixelForPixel) {
    if (!fbwtest::OnPath("pdfimages"))
        GTEST_SKIP() << "poppler's pdfimages is not installed";
    Open(2);
    QTest::mouseClick(&fbwtest::Child<QToolButton>(*book, "sbNone"), Qt::LeftButton);
    QTest::mouseClick(&fbwtest::Child<QPushButton>(*book, "cmdNewStory"),
                      Qt::LeftButton); // told without a twist
    QTest::mouseClick(&fbwtest::Child<QToolButton>(*book, "sbFull"),
                      Qt::LeftButton); // then the twist changed
    book->ShowPages(book->Book().PageCount() | 1);
    EXPECT_EQ(CoverPixelsNotOfTwist(0), 0);
    // A story read back: its twists are not known, so its picture is the
    // tale's own, whatever the last story told was.
    QTest::mouseClick(&fbwtest::Child<QPushButton>(*book, "cmdSave"), Qt::LeftButton);
    book->ShowPages(0);
    QTest::mouseClick(&fbwtest::Child<QPushButton>(*book, "cmdNewStory"),
                      Qt::LeftButton); // told at full twist
    book->ShowPages(0);
    QTest::mouseClick(&fbwtest::Child<QPushButton>(*book, "cmdReadSaved"), Qt::LeftButton);
    ASSERT_TRUE(errors.empty()) << errors[0];
    EXPECT_EQ(CoverPixelsNotOfTwist(0), 0);
}
