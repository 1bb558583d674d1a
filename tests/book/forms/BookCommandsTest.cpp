// The storybook's commands: the saved story's bytes and reading it back, a
// file an editor saved again (bare line feeds, UTF-8 or Latin-1), a failed
// save, the confirmations and their timer, the clipboard, and printing to a
// PDF file checked with poppler's tools.
#include <QClipboard>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include <filesystem>

#include "BookFixture.h"
#include "platform/Files.h"
#include "platform/qt/Latin1.h"
#include "support/BookParts.h"
#include "support/XSession.h"

namespace fs = std::filesystem;
using fbwtest::ReadBytes;
using fbwtest::WriteBytes;

namespace {

int PdfPages(const std::string& pdf) {
    const std::string info = fbwtest::ShellOutput("pdfinfo '" + pdf + "' 2>/dev/null");
    const std::size_t at = info.find("Pages:");
    return at == std::string::npos ? -1 : std::atoi(info.c_str() + at + 6);
}

std::string PdfTitle(const std::string& pdf) {
    const std::string info = fbwtest::ShellOutput("pdfinfo '" + pdf + "' 2>/dev/null");
    const std::size_t at = info.find("Title:");
    if (at == std::string::npos)
        return {};
    const std::size_t from = info.find_first_not_of(' ', at + 6);
    return info.substr(from, info.find('\n', from) - from);
}

std::string PdfPageText(const std::string& pdf, int page) {
    const std::string n = std::to_string(page);
    return fbwtest::ShellOutput("pdftotext -layout -f " + n + " -l " + n + " '" + pdf +
                                "' - 2>/dev/null");
}

bool HavePoppler() {
    return !fbwtest::ShellOutput("command -v pdfinfo && command -v pdftotext").empty();
}

// The page numbers of one page's story lines: the words "wordN" it holds.
std::vector<int> Words(const std::string& text) {
    std::vector<int> out;
    for (std::size_t at = text.find("word"); at != std::string::npos;
         at = text.find("word", at + 4))
        out.push_back(std::atoi(text.c_str() + at + 4));
    return out;
}

// A printer that notes whether the printing message stood at each new sheet.
class WatchedPrinter : public QPrinter {
public:
    explicit WatchedPrinter(const QLabel& label) : QPrinter(QPrinter::HighResolution), l(label) {}
    bool newPage() override {
        shownAtSheets.push_back(l.isVisible());
        return QPrinter::newPage();
    }
    const QLabel& l;
    std::vector<bool> shownAtSheets;
};

} // namespace

class BookCommandsTest : public BookFixture {
protected:
    std::string SavedFile() { return book->StoriesFolder + "Goldilox.txt"; }
    // Tale 2 open on Story's commands spread.
    void OpenAtCommands(const std::string& story) {
        OpenWith(2, story);
        book->ShowPages(book->Book().PageCount() | 1);
        ASSERT_TRUE(fbwtest::Child<QWidget>(*book, "pnlCommands").isVisible());
    }
    void ReadBack() {
        Show();
        ASSERT_TRUE(fbwtest::Child<QPushButton>(*book, "cmdReadSaved").isVisible());
        QTest::mouseClick(&fbwtest::Child<QPushButton>(*book, "cmdReadSaved"), Qt::LeftButton);
    }
};

TEST_F(BookCommandsTest, SavedFileBytesAndReadingThemBack) {
    // Title, empty line, paragraph: three lines, each ended by CR LF.
    OpenAtCommands("My Title\\n\\nOne short paragraph of the story.\\n");
    const QImage page1 =
        (book->ShowPages(1), book->Painter().PagePicture(TPagePainter::Side::Left));
    const int lines = book->Book().PageLineCount(1);
    book->ShowPages(1 | book->Book().PageCount());
    EXPECT_FALSE(fs::exists(book->StoriesFolder)) << "made when first needed";
    QTest::mouseClick(&fbwtest::Child<QPushButton>(*book, "cmdSave"), Qt::LeftButton);
    ASSERT_TRUE(errors.empty()) << errors[0];
    EXPECT_EQ(ReadBytes(SavedFile()), "My Title\r\n\r\nOne short paragraph of the story.\r\n");
    EXPECT_TRUE(fbwtest::Child<QLabel>(*book, "lblSaved").isVisible());

    book->SetStory(Story(40));
    ReadBack();
    EXPECT_EQ(book->CurrentPage(), 1);
    EXPECT_EQ(book->StoryText(), "My Title\\n\\nOne short paragraph of the story.\\n");
    EXPECT_EQ(book->Book().PageCount(), 1);
    EXPECT_EQ(book->Book().PageLineCount(1), lines);
    EXPECT_EQ(book->Painter().PagePicture(TPagePainter::Side::Left), page1)
        << "the same page, pixel for pixel";

    // A generated story: its line ends are soft, only the markers are lines.
    Open(2);
    const std::string story = book->StoryText();
    std::vector<int> pageLines;
    for (int p = 1; p <= book->Book().PageCount(); ++p)
        pageLines.push_back(book->Book().PageLineCount(p));
    book->ShowPages(book->Book().PageCount() | 1);
    QTest::mouseClick(&fbwtest::Child<QPushButton>(*book, "cmdSave"), Qt::LeftButton);
    const std::string bytes = ReadBytes(SavedFile());
    EXPECT_EQ(bytes.find('\\'), std::string::npos);
    EXPECT_EQ(bytes.substr(0, bytes.find("\r\n\r\n")), generator().GetTitle(book->TaleNumber));
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
    ReadBack();
    std::vector<int> backLines;
    for (int p = 1; p <= book->Book().PageCount(); ++p)
        backLines.push_back(book->Book().PageLineCount(p));
    EXPECT_EQ(backLines, pageLines);
    EXPECT_EQ(book->StoryText().substr(0, story.size()), story);

    // One or two characters are saved as they are, three get a line end.
    for (const std::string text : {"H", "Hi", "Hey"}) {
        OpenAtCommands(text);
        QTest::mouseClick(&fbwtest::Child<QPushButton>(*book, "cmdSave"), Qt::LeftButton);
        EXPECT_EQ(ReadBytes(SavedFile()), text.size() > 2 ? text + "\r\n" : text);
    }
    EXPECT_TRUE(errors.empty());
}

TEST_F(BookCommandsTest, SavedFileIsUtf8AndReadsBackAfterAnEditorSavedIt) {
    OpenAtCommands("Zo\xEB and the Bears\\n\\nZo\xEB ate the porridge.\\n");
    const int lines = (book->ShowPages(1), book->Book().PageLineCount(1));
    const QImage page1 = book->Painter().PagePicture(TPagePainter::Side::Left);
    book->ShowPages(1 | book->Book().PageCount());
    QTest::mouseClick(&fbwtest::Child<QPushButton>(*book, "cmdSave"), Qt::LeftButton);
    ASSERT_TRUE(errors.empty()) << errors[0];
    const std::string saved = ReadBytes(SavedFile());
    EXPECT_EQ(saved, "Zo\xC3\xAB and the Bears\r\n\r\nZo\xC3\xAB ate the porridge.\r\n");

    // Saved again by an editor that writes bare line feeds.
    std::string edited;
    for (const char c : saved)
        if (c != '\r')
            edited += c;
    WriteBytes(SavedFile(), edited);
    book->SetStory(Story(40));
    ReadBack();
    EXPECT_EQ(book->StoryText(), "Zo\xEB and the Bears\\n\\nZo\xEB ate the porridge.\\n");
    EXPECT_EQ(book->Book().PageLineCount(1), lines);
    EXPECT_EQ(book->Painter().PagePicture(TPagePainter::Side::Left), page1)
        << "the same page, pixel for pixel";

    // A story saved as Latin-1 before still reads.
    WriteBytes(SavedFile(), "Zo\xEB and the Bears\r\n\r\nZo\xEB ate the porridge.\r\n");
    book->SetStory(Story(40));
    ReadBack();
    EXPECT_EQ(book->Painter().PagePicture(TPagePainter::Side::Left), page1);
    EXPECT_TRUE(errors.empty());
}

TEST_F(BookCommandsTest, FilesEditedElsewhere) {
    fs::create_directories(book->StoriesFolder);
    // Bare line feeds end lines as CR LF does: the title stands alone.
    WriteBytes(SavedFile(), "Title\nsecond line\nthird line");
    OpenWith(2, Story(30));
    ReadBack();
    EXPECT_EQ(book->StoryText(), "Title\\nsecond line\\nthird line");
    EXPECT_EQ(book->Book().PageCount(), 1);
    EXPECT_EQ(book->Book().PageLineCount(1), 3) << "the title and two lines";

    // A zero byte ends the text; a lone CR stays.
    WriteBytes(SavedFile(), std::string("One\r\nTwo\rThree\0Four\r\n", 22));
    ReadBack();
    EXPECT_EQ(book->StoryText(), "One\\nTwo\rThree");
    // An empty file gives a book without pages, and its commands.
    WriteBytes(SavedFile(), "");
    ReadBack();
    EXPECT_EQ(book->Book().PageCount(), 0);
    EXPECT_TRUE(fbwtest::Child<QWidget>(*book, "pnlCommands").isVisible());
    EXPECT_TRUE(errors.empty());

    // A file gone since the cover was shown: the message, the story kept.
    book->SetStory(Story(30));
    Show();
    ASSERT_TRUE(fbwtest::Child<QPushButton>(*book, "cmdReadSaved").isVisible());
    fs::remove(SavedFile());
    QTest::mouseClick(&fbwtest::Child<QPushButton>(*book, "cmdReadSaved"), Qt::LeftButton);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("Goldilox.txt"), std::string::npos) << errors[0];
    EXPECT_EQ(book->CurrentPage(), 0);
    EXPECT_EQ(book->StoryText(), ResolveStoryLineEnds(Story(30)));
}

TEST_F(BookCommandsTest, FailedSaveKeepsTheOldFileAndSaysSo) {
    fs::create_directories(book->StoriesFolder);
    const std::string old = "Old Story\r\n\r\nKept whole.\r\n";
    WriteBytes(SavedFile(), old);
    OpenAtCommands(Story(50));
    const std::string shown = book->StoryText();

    // The folder cannot be written (as a user without root rights).
    fs::permissions(home.Path(), fs::perms::all);
    fs::permissions(book->StoriesFolder, fs::perms::owner_read | fs::perms::owner_exec |
                                             fs::perms::group_read | fs::perms::group_exec |
                                             fs::perms::others_read | fs::perms::others_exec);
    fs::permissions(SavedFile(),
                    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const int result = fbwtest::RunUnprivileged([&] {
        QTest::mouseClick(&fbwtest::Child<QPushButton>(*book, "cmdSave"), Qt::LeftButton);
        if (errors.size() != 1)
            return 1;
        if (fbwtest::Child<QLabel>(*book, "lblSaved").isVisible() ||
            fbwtest::Child<QTimer>(*book, "tmrMessage").isActive())
            return 2;
        return book->StoryText() == shown ? 0 : 3;
    });
    fs::permissions(book->StoriesFolder, fs::perms::all);
    fs::permissions(SavedFile(), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ReadBytes(SavedFile()), old);

    // A folder where the file should be: the story takes its dated name, and
    // says so.
    errors.clear();
    fs::remove(SavedFile());
    fs::create_directory(SavedFile());
    fbwtest::MessageCapture messages;
    QTest::mouseClick(&fbwtest::Child<QPushButton>(*book, "cmdSave"), Qt::LeftButton);
    ASSERT_TRUE(errors.empty()) << errors[0];
    ASSERT_EQ(messages.Messages().size(), 1u);
    const std::string& said = messages.Messages()[0].text;
    EXPECT_NE(said.find("\"Goldilox.txt\""), std::string::npos) << said;
    const std::size_t at = said.find("saved as \"");
    ASSERT_NE(at, std::string::npos) << said;
    const std::string name = said.substr(at + 10, said.find('"', at + 10) - at - 10);
    EXPECT_EQ(ReadBytes(book->StoriesFolder + name), MakeSavedStoryFile(shown));
    EXPECT_TRUE(fbwtest::Child<QLabel>(*book, "lblSaved").isVisible());
    EXPECT_TRUE(fs::is_directory(SavedFile()));
    EXPECT_EQ(book->StoryText(), shown);
}

TEST_F(BookCommandsTest, SaveThenCopyGoTogetherAfterTheSave) {
    OpenAtCommands(Story(60, "Copied \xc9t\xe9"));
    QTest::mouseClick(&fbwtest::Child<QPushButton>(*book, "cmdSave"), Qt::LeftButton);
    EXPECT_TRUE(fbwtest::Child<QLabel>(*book, "lblSaved").isVisible());
    EXPECT_FALSE(fbwtest::Child<QLabel>(*book, "lblCopied").isVisible());
    ASSERT_TRUE(fbwtest::Child<QTimer>(*book, "tmrMessage").isActive());
    const int started = fbwtest::Child<QTimer>(*book, "tmrMessage").timerId();

    tick += 1000;
    QTest::mouseClick(&fbwtest::Child<QPushButton>(*book, "cmdCopy"), Qt::LeftButton);
    EXPECT_TRUE(fbwtest::Child<QLabel>(*book, "lblSaved").isVisible());
    EXPECT_TRUE(fbwtest::Child<QLabel>(*book, "lblCopied").isVisible());
    EXPECT_EQ(fbwtest::Child<QTimer>(*book, "tmrMessage").timerId(), started)
        << "the wait was not started again";
    EXPECT_EQ(QApplication::clipboard()->text(), ToQString(MakeExportText(book->StoryText())));
    EXPECT_TRUE(QApplication::clipboard()->text().startsWith(
        QString::fromUtf8("Copied \u00c9t\u00e9\r\n\r\n")));

    tick += 1500;
    fbwtest::Commands(*book).tmrMessageTimer(); // the timer's 2500 ms after the save
    EXPECT_FALSE(fbwtest::Child<QLabel>(*book, "lblSaved").isVisible());
    EXPECT_FALSE(fbwtest::Child<QLabel>(*book, "lblCopied").isVisible());
    EXPECT_FALSE(fbwtest::Child<QTimer>(*book, "tmrMessage").isActive());

    // The next confirmation starts a new wait.
    QTest::mouseClick(&fbwtest::Child<QPushButton>(*book, "cmdCopy"), Qt::LeftButton);
    EXPECT_TRUE(fbwtest::Child<QLabel>(*book, "lblCopied").isVisible());
    EXPECT_TRUE(fbwtest::Child<QTimer>(*book, "tmrMessage").isActive());
    EXPECT_EQ(fbwtest::Child<QTimer>(*book, "tmrMessage").interval(), 2500);
    EXPECT_TRUE(errors.empty());
}

TEST_F(BookCommandsTest, PrintingCopiesOfARangeToPdf) {
    if (!HavePoppler())
        GTEST_SKIP() << "poppler's pdfinfo and pdftotext are not installed";
    OpenAtCommands(Story(700));
    fbwtest::TempDir out;

    // Cancelling prints nothing; the dialog offers the printer's pages.
    int count = 0;
    fbwtest::Commands(*book).ExecPrintDialog = [&](QPrinter& printer, int pageCount) {
        count = pageCount;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(out / "cancelled.pdf"));
        return false;
    };
    QTest::mouseClick(&fbwtest::Child<QPushButton>(*book, "cmdPrint"), Qt::LeftButton);
    EXPECT_FALSE(fs::exists(out / "cancelled.pdf"));
    EXPECT_FALSE(fbwtest::Child<QLabel>(*book, "lblPrinting").isVisible());
    ASSERT_GE(count, 3);

    // The whole tale once, as the reference.
    WatchedPrinter all(fbwtest::Child<QLabel>(*book, "lblPrinting"));
    all.setOutputFormat(QPrinter::PdfFormat);
    all.setOutputFileName(QString::fromStdString(out / "all.pdf"));
    ASSERT_TRUE(fbwtest::Commands(*book).PrintStory(all, 1, 1, count));
    EXPECT_EQ(PdfPages(out / "all.pdf"), count);
    EXPECT_EQ(all.shownAtSheets, std::vector<bool>(count - 1, true))
        << "the message stands while the job runs";
    EXPECT_FALSE(fbwtest::Child<QLabel>(*book, "lblPrinting").isVisible());
    std::vector<std::vector<int>> words;
    for (int p = 1; p <= count; ++p)
        words.push_back(Words(PdfPageText(out / "all.pdf", p)));
    EXPECT_EQ(words[0].front(), 1) << "page 1 starts the story";
    EXPECT_EQ(words[count - 1].back(), 700) << "the last page ends it";
    EXPECT_NE(PdfPageText(out / "all.pdf", 1).find("A Title"), std::string::npos);
    EXPECT_EQ(PdfTitle(out / "all.pdf"), "A Title") << "the story's title, not the tale's";

    // Three copies of pages 2 to 3 through the print dialog.
    fbwtest::Commands(*book).ExecPrintDialog = [&](QPrinter& printer, int) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(out / "range.pdf"));
        printer.setPrintRange(QPrinter::PageRange);
        printer.setFromTo(2, 3);
        printer.setCopyCount(3);
        return true;
    };
    QTest::mouseClick(&fbwtest::Child<QPushButton>(*book, "cmdPrint"), Qt::LeftButton);
    ASSERT_TRUE(errors.empty()) << errors[0];
    ASSERT_EQ(PdfPages(out / "range.pdf"), 6) << "no blank sheet at the end";
    for (int sheet = 1; sheet <= 6; ++sheet)
        EXPECT_EQ(Words(PdfPageText(out / "range.pdf", sheet)), words[sheet % 2 == 1 ? 1 : 2])
            << "sheet " << sheet;
    EXPECT_FALSE(fbwtest::Child<QLabel>(*book, "lblPrinting").isVisible());
    EXPECT_EQ(book->Book().MarginX, 8) << "the screen margins are back";

    // The program prints the copies; the printer's own count goes back to 1.
    WatchedPrinter copies(fbwtest::Child<QLabel>(*book, "lblPrinting"));
    copies.setOutputFormat(QPrinter::PdfFormat);
    copies.setOutputFileName(QString::fromStdString(out / "copies.pdf"));
    copies.setCopyCount(3);
    ASSERT_TRUE(fbwtest::Commands(*book).PrintStory(copies, 3, 2, 2));
    EXPECT_EQ(copies.copyCount(), 1);
    EXPECT_EQ(PdfPages(out / "copies.pdf"), 3);

    // A job that cannot start is ended with its message.
    fbwtest::Commands(*book).ExecPrintDialog = [&](QPrinter& printer, int) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(out / "no-such-folder/x.pdf"));
        return true;
    };
    QTest::mouseClick(&fbwtest::Child<QPushButton>(*book, "cmdPrint"), Qt::LeftButton);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], "Print: cannot write " + std::string(out / "no-such-folder/x.pdf"))
        << "the reason is shown";
    EXPECT_FALSE(fbwtest::Child<QLabel>(*book, "lblPrinting").isVisible());
    EXPECT_EQ(book->Book().MarginX, 8);
}

TEST_F(BookCommandsTest, APrintedPdfIsReplacedWholeOrKeptAsItWas) {
    OpenAtCommands(Story(200));
    fbwtest::TempDir out;
    const std::string pdf = out / "story.pdf";
    WriteBytes(pdf, "%PDF-1.4 printed before");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(pdf));

    // The print goes first to a file beside the old one; when that cannot be
    // made (here a folder stands in its place), the old file stays whole.
    const std::string partial = pdf + ".part";
    fs::create_directory(partial);
    std::string why;
    EXPECT_FALSE(fbwtest::Commands(*book).PrintStory(printer, 1, 0, 0, &why));
    EXPECT_EQ(why, "Print: cannot write " + pdf);
    EXPECT_FALSE(fbwtest::Child<QLabel>(*book, "lblPrinting").isVisible());
    fs::remove(partial);
    EXPECT_TRUE(ReadBytes(pdf) == "%PDF-1.4 printed before") << "the old file stays whole";

    // A print that ends well replaces the file, with nothing left beside it.
    ASSERT_TRUE(fbwtest::Commands(*book).PrintStory(printer, 1, 0, 0, &why)) << why;
    EXPECT_EQ(FromQString(printer.outputFileName()), pdf);
    EXPECT_EQ(ReadBytes(pdf).substr(0, 5), "%PDF-");
    EXPECT_FALSE(ReadBytes(pdf) == "%PDF-1.4 printed before");
    EXPECT_EQ(std::distance(fs::directory_iterator(out.Path()), fs::directory_iterator()), 1);
    if (HavePoppler())
        EXPECT_GE(PdfPages(pdf), 1);
}

TEST_F(BookCommandsTest, PrintDialogKeepsItsOptionsAndWithoutAPrinterPrintsToPdf) {
    OpenAtCommands(Story(700));
    ASSERT_FALSE(fs::exists(book->StoriesFolder));
    // The dialog as the print command prepares it, beside one left as Qt makes it.
    QPrinter printer(QPrinter::HighResolution);
    fbwtest::Commands(*book).PreparePrinter(printer);
    EXPECT_EQ(FromQString(printer.docName()), "A Title") << "the job is named by the story's title";
    QPrintDialog dlgPrint(&printer, book.get());
    TCommandsPart::PreparePrintDialog(dlgPrint, 7);
    QPrinter plainPrinter;
    const QPrintDialog plain(&plainPrinter);
    EXPECT_EQ(dlgPrint.options() & plain.options(), plain.options())
        << "every option the dialog offers by default stays";
    EXPECT_TRUE(dlgPrint.testOption(QAbstractPrintDialog::PrintToFile));
    EXPECT_TRUE(dlgPrint.testOption(QAbstractPrintDialog::PrintPageRange));
    EXPECT_EQ(dlgPrint.minPage(), 1);
    EXPECT_EQ(dlgPrint.maxPage(), 7);
    EXPECT_EQ(dlgPrint.fromPage(), 1);
    EXPECT_EQ(dlgPrint.toPage(), 7);
    EXPECT_EQ(dlgPrint.objectName(), "dlgPrint");

    if (!QPrinterInfo::availablePrinters().isEmpty())
        GTEST_SKIP() << "this machine has a printer: the PDF default is for machines without one";
    // No printer: the dialog offers the tale's PDF in the stories folder.
    EXPECT_EQ(printer.outputFormat(), QPrinter::PdfFormat);
    EXPECT_EQ(FromQString(printer.outputFileName()), book->StoriesFolder + "Goldilox.pdf");
    EXPECT_TRUE(fs::is_directory(book->StoriesFolder)) << "the dialog takes only a writable file";

    // Confirming it prints there.
    fs::remove(book->StoriesFolder);
    int pageCount = 0;
    fbwtest::Commands(*book).ExecPrintDialog = [&](QPrinter&, int count) {
        return (pageCount = count) > 0;
    };
    QTest::mouseClick(&fbwtest::Child<QPushButton>(*book, "cmdPrint"), Qt::LeftButton);
    ASSERT_TRUE(errors.empty()) << errors[0];
    ASSERT_TRUE(fs::exists(book->StoriesFolder + "Goldilox.pdf"));
    if (HavePoppler())
        EXPECT_EQ(PdfPages(book->StoriesFolder + "Goldilox.pdf"), pageCount);

    // A printer chosen but gone: the job does not start, and says why.
    QPrinter gone(QPrinter::HighResolution);
    gone.setOutputFormat(QPrinter::NativeFormat);
    std::string why;
    EXPECT_FALSE(fbwtest::Commands(*book).PrintStory(gone, 1, 0, 0, &why));
    EXPECT_EQ(why, "Print: no printer is installed");
    EXPECT_FALSE(fbwtest::Child<QLabel>(*book, "lblPrinting").isVisible());
}
