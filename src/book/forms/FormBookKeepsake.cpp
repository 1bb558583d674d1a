// TFormBook's keepsake: "Make a picture book", which writes the story's
// picture book (TPictureBookPlan, drawn by QtPictureBook) into the
// stories folder and offers to open it, and the folded booklet the print
// command prints when the player chooses it in the print dialog.
#include "book/forms/FormBook.h"

#include <QDesktopServices>
#include <QDir>
#include <QPrintDialog>
#include <QPrinter>
#include <QUrl>
#include <QVBoxLayout>
#include <stdexcept>

#include "book/BookLetters.h"
#include "book/BookletImposition.h"
#include "book/PictureBookPlan.h"
#include "book/qt/QtPictureBook.h"
#include "image/RL8Library.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/qt/Latin1.h"
#include "story/TaleTable.h"
#include "ui/RunHandler.h"

namespace {

// The command panel with four commands: for each, the red message over its
// button, the button and its text, stacked from the top. Text heights fit
// the texts in the panel's Arial at its column's width.
constexpr int kColumnLeft = 13, kColumnWidth = 200, kPanelWidth = 216, kPanelHeight = 316;
constexpr int kMessageLeft = 23, kMessageWidth = 129, kMessageHeight = 15;
constexpr int kButtonWidth = 149, kButtonHeight = 29;

constexpr const char* kTurnStack =
    "The fronts of the sheets are printed. Turn the printed stack over, put it back into the "
    "printer, and click OK to print the backs.";

// The picture book's letters: those chosen for the story's pages.
QtPictureBook::Letters BookLetters(const TBookLetters& chosen) {
    return {QString(chosen.Family()), chosen.Points()};
}

// The tale's picture at twist Level; null without one.
QImage StoryPicture(TRL8ImageData* surface, int level, TRL8Library* library) {
    if (!surface)
        return {};
    const int side = TPictureBookPlan::kPictureSide;
    return QtPictureBook::PictureImage(
        *surface, TRect{0, level * side, side, level * side + side},
        library && library->IsOpen() ? library->GetHPal() : nullptr);
}

} // namespace

void TFormBook::BuildKeepsake() {
    cmdPictureBook.setObjectName("cmdPictureBook");
    cmdPictureBook.setText("Make a picture book");
    lblPictureBookText.setObjectName("lblPictureBookText");
    lblPictureBookText.setText(
        "Make a picture book of this story that you can keep, print or send.");
    lblBookMade.setObjectName("lblBookMade");
    lblBookMade.setText("Picture book made!");
    QPalette red = lblBookMade.palette();
    red.setColor(QPalette::WindowText, Qt::red);
    lblBookMade.setPalette(red);
    lblBookMade.setAlignment(Qt::AlignCenter);
    lblBookMade.hide();

    pnlCommands.resize(kPanelWidth, kPanelHeight);
    struct Row {
        QLabel& message;
        QPushButton& button;
        QLabel& text;
        int top, textHeight;
    };
    for (const Row& r : {Row{lblPrinting, cmdPrint, lblPrintText, 0, 14},
                         Row{lblSaved, cmdSave, lblSaveText, 62, 42},
                         Row{lblCopied, cmdCopy, lblCopyText, 152, 42},
                         Row{lblBookMade, cmdPictureBook, lblPictureBookText, 242, 28}}) {
        r.message.setGeometry(kMessageLeft, r.top, kMessageWidth, kMessageHeight);
        r.button.setGeometry(kColumnLeft, r.top + kMessageHeight, kButtonWidth, kButtonHeight);
        r.text.setGeometry(kColumnLeft, r.top + kMessageHeight + kButtonHeight + 2, kColumnWidth,
                           r.textHeight);
        r.text.setWordWrap(true);
        r.text.setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }
    connect(&cmdPictureBook, &QPushButton::clicked, this, [this] {
        RunHandler(
            ShowError, [this] { cmdPictureBookClick(); }, HandlerCursor::Wait);
    });

    // The booklet choices, a page of the print dialog's options.
    pnlBooklet.setObjectName("pnlBooklet");
    pnlBooklet.setWindowTitle("Folded booklet");
    chkBooklet.setObjectName("chkBooklet");
    chkBooklet.setText("Print as a folded booklet");
    chkOneSided.setObjectName("chkOneSided");
    chkOneSided.setText("My printer prints one side only");
    chkOneSided.setEnabled(false);
    connect(&chkBooklet, &QCheckBox::toggled, &chkOneSided, &QWidget::setEnabled);
    auto* column = new QVBoxLayout(&pnlBooklet); // owned by the panel
    column->addWidget(&chkBooklet);
    column->addWidget(&chkOneSided);
    auto* note = new QLabel("Two pages of the picture book on each side of a sheet: fold the "
                            "printed sheets in half, and they make a little book. The page "
                            "range and the copies then count sheets.",
                            &pnlBooklet); // owned by the panel
    note->setWordWrap(true);
    column->addWidget(note);
    column->addStretch();
    pnlBooklet.hide();

    OpenDocument = [](const std::string& path) {
        return QDesktopServices::openUrl(QUrl::fromLocalFile(ToQString(path)));
    };
    Clock = [] { return QDateTime::currentDateTime(); };
}

void TFormBook::OfferBookletChoices(QPrintDialog& dlgPrint) {
    dlgPrint.setOptionTabs({&pnlBooklet});
}

void TFormBook::TakeBackBookletChoices() {
    pnlBooklet.setParent(this);
    pnlBooklet.hide();
}

std::string TFormBook::MakePictureBook() {
    const std::string tale = TTaleTable::ShortName(TaleNumber);
    const QByteArray pdf =
        QtPictureBook::MakePdf(story_, BookLetters(letters_),
                               TPictureBookPlan::PaperFor(QtPictureBook::LocaleUsesLetter()),
                               StoryPicture(book_.Picture, storyTwistLevel_, library_.Get()));
    if (!QDir().mkpath(ToQString(StoriesFolder)))
        throw std::runtime_error("Picture book: cannot create the folder " + StoriesFolder);
    const QDateTime now = Clock();
    const TPictureBookPlan::Moment moment{now.date().year(), now.date().month(), now.date().day(),
                                          now.time().hour(), now.time().minute()};
    const std::string_view bytes(pdf.constData(), static_cast<std::size_t>(pdf.size()));
    // A fresh name each time: the moment, then " (2)" and on.
    for (int copy = 1;; ++copy) {
        const std::string path = StoriesFolder + TPictureBookPlan::FileName(tale, moment, copy);
        switch (plat::WriteNewFileAtomic(path, bytes)) {
        case plat::NewFile::Written:
            return path;
        case plat::NewFile::Exists:
            if (copy < 1000)
                continue;
            [[fallthrough]];
        case plat::NewFile::Failed:
            throw std::runtime_error("Picture book: cannot write " + path);
        }
    }
}

void TFormBook::cmdPictureBookClick() {
    // The wait cursor stands while the book is made, not while the player
    // answers the offer to open it.
    std::string path;
    if (!RunHandler(
            ShowError,
            [&] {
                path = MakePictureBook();
                ShowMessageLabel(lblBookMade);
                lblBookMade.repaint();
            },
            HandlerCursor::Wait))
        return;
    RunHandler(ShowError, [&] {
        const std::string name = path.substr(StoriesFolder.size());
        if (plat::ShowMessage(
                plat::MsgKind::Question,
                "Your picture book is in your stories folder as \"" + name + "\".\n\nOpen it now?",
                plat::MsgButtons::YesNo, "Picture book made!") == plat::MsgAnswer::Yes &&
            !OpenDocument(path))
            throw std::runtime_error("Picture book: no program was found to open " + path);
    });
}

bool TFormBook::PrintBooklet(QPrinter& printer, int copies, int fromSheet, int toSheet,
                             bool oneSided, std::string* why) {
    // Two book pages side by side on each landscape sheet, printed over the
    // whole paper at the books' resolution.
    printer.setFullPage(true);
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setResolution(QtPictureBook::kDpi);
    printer.setDuplex(oneSided ? QPrinter::DuplexNone : QPrinter::DuplexShortSide);
    const bool toFile = printer.outputFormat() == QPrinter::PdfFormat;
    const QImage picture = StoryPicture(book_.Picture, storyTwistLevel_, library_.Get());
    return RunPrintJob(
        printer,
        [&](QPainter& painter) {
            QtPictureBook book(painter, story_, BookLetters(letters_), printer.width() / 2,
                               printer.height(), printer.resolution(), picture);
            const TBookletImposition booklet(book.Plan().PageCount());
            const auto jobs = booklet.Jobs(oneSided, copies, fromSheet, toSheet);
            if (jobs.empty())
                throw std::runtime_error("Print: the booklet has " +
                                         std::to_string(booklet.Sheets()) + " sheets");
            bool first = true;
            for (std::size_t j = 0; j < jobs.size(); ++j) {
                // A printer prints the fronts once their job ends; a file
                // takes the backs after them.
                if (j > 0 && !toFile) {
                    if (!painter.end())
                        throw std::runtime_error("Print: the print job could not be finished");
                    if (plat::ShowMessage(plat::MsgKind::Information, kTurnStack,
                                          plat::MsgButtons::OkCancel,
                                          "Print as a folded booklet") != plat::MsgAnswer::Ok)
                        return;
                    if (!painter.begin(&printer))
                        throw std::runtime_error("Print: the backs could not be printed");
                    first = true;
                }
                for (const TBookletImposition::Side& side : jobs[j]) {
                    if (!first && !printer.newPage())
                        throw std::runtime_error("Print: the printer took no new sheet");
                    first = false;
                    book.DrawSide(side);
                }
            }
        },
        why);
}
