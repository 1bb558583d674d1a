// TCommandsPart: saving the story, copying it to the clipboard and printing
// it (as pages or as a folded booklet), with the short messages that confirm
// them.
#include "book/forms/CommandsPart.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QPageLayout>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QVBoxLayout>
#include <cstdio>
#include <stdexcept>

#include "book/Book.h"
#include "book/BookGeometry.h"
#include "book/BookLetters.h"
#include "book/StoryOrigin.h"
#include "book/forms/BookAccess.h"
#include "book/forms/BookHost.h"
#include "book/forms/LettersPart.h"
#include "book/forms/PagePainter.h"
#include "book/qt/QtBookBox.h"
#include "keepsake/BookletImposition.h"
#include "keepsake/PictureBookPlan.h"
#include "keepsake/PrintPlan.h"
#include "keepsake/qt/QtPictureBook.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/TextCodec.h"
#include "platform/Tick.h"
#include "platform/qt/Latin1.h"
#include "platform/qt/LocalPath.h"
#include "platform/qt/QtCanvas.h"
#include "reading/ReadingPace.h"
#include "shelf/SavedStory.h"
#include "story/StoryText.h"
#include "story/TaleTable.h"
#include "ui/CommandGlyph.h"
#include "ui/RunHandler.h"
#include "ui/TileBG.h"

namespace {

// The command panel: for each command, the red message over its button, the
// button and its text, stacked from the top (the keepsakes' row below). Text heights fit the texts
// in the panel's Arial at its column's width.
constexpr int kColumnLeft = 13, kColumnWidth = 200, kPanelWidth = 216, kPanelHeight = 316;
constexpr int kMessageLeft = 23, kMessageWidth = 129, kMessageHeight = 15;
constexpr int kButtonWidth = 149, kButtonHeight = 29;

constexpr const char* kTurnStack =
    "The fronts of the sheets are printed. Turn the printed stack over, put it back into the "
    "printer, and click OK to print the backs.";

QRect PaperRect(QPrinter& printer) {
    return printer.pageLayout().paintRectPixels(printer.resolution());
}

// Why a print job on Printer, or into the PDF file File, could not start.
std::string WhyNotStarted(const QPrinter& printer, const QString& file) {
    const bool toFile = printer.outputFormat() == QPrinter::PdfFormat;
    if (toFile && !file.isEmpty())
        return "Print: cannot write " + plat::PathText(PathFromQString(file));
    // Without printers Qt turns the printer into an unnamed PDF file.
    if (QPrinterInfo::availablePrinters().isEmpty())
        return "Print: no printer is installed";
    if (toFile)
        return "Print: no file was named to print to";
    if (!printer.isValid())
        return "Print: the printer " + FromQString(printer.printerName()) + " is not available";
    return "Print: the printer " + FromQString(printer.printerName()) +
           " cannot start the print job";
}

// The picture book's letters: those chosen for the story's pages.
QtPictureBook::Letters BookLetters(const TBookLetters& chosen) {
    return {QString(chosen.Family()), chosen.Points()};
}

} // namespace

TCommandsPart::TCommandsPart(TBookHost& host, QWidget& window, TRL8Library& library)
    : QObject(&window), pnlCommands(&window), lblPrinting(&pnlCommands), lblSaved(&pnlCommands),
      lblCopied(&pnlCommands), cmdPrint(&pnlCommands), cmdSave(&pnlCommands), cmdCopy(&pnlCommands),
      lblPrintText(&pnlCommands), lblSaveText(&pnlCommands), lblCopyText(&pnlCommands),
      tmrMessage(&window), pnlBooklet(&window), chkBooklet(&pnlBooklet), chkOneSided(&pnlBooklet),
      host_(host), window_(window) {
    setObjectName("CommandsPart");
    Build();
    tiles_ = std::make_unique<TileBG::TTileBG>(&pnlCommands, library, "bktile3");
    ExecPrintDialog = [this](QPrinter& printer, int pageCount) {
        QPrintDialog dlgPrint(&printer, &window_);
        PreparePrintDialog(dlgPrint, pageCount);
        dlgPrint.setOptionTabs({&pnlBooklet});
        const bool confirmed = dlgPrint.exec() == QDialog::Accepted;
        pnlBooklet.setParent(&window_);
        pnlBooklet.hide();
        return confirmed;
    };
    Clock = [] { return QDateTime::currentDateTime(); };
    for (QWidget* w : TabStops())
        host_.RingControl(*w);
}

std::vector<QWidget*> TCommandsPart::TabStops() {
    return {&cmdPrint, &cmdSave, &cmdCopy};
}

void TCommandsPart::Show(const TBookSpread::Controls& controls) {
    pnlCommands.setVisible(controls.commands);
}

TCommandsPart::~TCommandsPart() = default;

void TCommandsPart::Build() {
    pnlCommands.setObjectName("pnlCommands");
    pnlCommands.setAccessibleName("Keep the story");
    pnlCommands.resize(kPanelWidth, kPanelHeight);
    struct Row {
        QLabel& message;
        const char* messageName;
        const char* messageText;
        QPushButton& button;
        const char* glyph;
        const char* buttonName;
        const char* buttonText;
        QLabel& text;
        const char* textName;
        const char* textText;
        int top, textHeight;
    };
    for (const Row& r :
         {Row{lblPrinting, "lblPrinting", "Now printing story...", cmdPrint, "print", "cmdPrint",
              "Print story", lblPrintText, "lblPrintText", "Print this story.", 0, 14},
          Row{lblSaved, "lblSaved", "Story saved!", cmdSave, "save", "cmdSave", "Save story",
              lblSaveText, "lblSaveText",
              "Save the story as a text file. Read it again by clicking \"Read saved story\" "
              "next time you pick the current title.",
              62, 42},
          Row{lblCopied, "lblCopied", "Story copied!", cmdCopy, "copy", "cmdCopy", "Copy story",
              lblCopyText, "lblCopyText",
              "Copy the story to the clipboard so that you can paste it into another program.", 152,
              42}}) {
        // Registered before it has text or a name: either could make Qt's
        // own interface for it.
        TBookAccess::Register(r.message, TBookAccess::Alert());
        r.message.setObjectName(r.messageName);
        r.message.setText(r.messageText);
        r.message.setAccessibleName(r.messageText);
        QPalette red = r.message.palette();
        red.setColor(QPalette::WindowText, Qt::red);
        r.message.setPalette(red);
        r.message.setAlignment(Qt::AlignCenter);
        r.message.setWordWrap(true);
        r.message.hide();
        if (&r.message != &lblPrinting) // shown while a job prints
            AddMessage(r.message);
        r.message.setGeometry(kMessageLeft, r.top, kMessageWidth, kMessageHeight);
        r.button.setObjectName(r.buttonName);
        r.button.setText(r.buttonText);
        r.button.setGeometry(kColumnLeft, r.top + kMessageHeight, kButtonWidth, kButtonHeight);
        StyleCommand(r.button, r.glyph);
        r.text.setObjectName(r.textName);
        r.text.setText(r.textText);
        r.text.setGeometry(kColumnLeft, r.top + kMessageHeight + kButtonHeight + 2, kColumnWidth,
                           r.textHeight);
        r.text.setWordWrap(true);
        r.text.setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }
    const ErrorSink& errors = host_.Errors();
    connect(&cmdPrint, &QPushButton::clicked, this,
            [this, &errors] { RunHandler(errors, [this] { cmdPrintClick(); }); });
    connect(&cmdSave, &QPushButton::clicked, this,
            [this, &errors] { RunHandler(errors, [this] { cmdSaveClick(); }); });
    connect(&cmdCopy, &QPushButton::clicked, this, [this] { cmdCopyClick(); });

    tmrMessage.setObjectName("tmrMessage");
    tmrMessage.setInterval(int(TMessageClock::kInterval));
    connect(&tmrMessage, &QTimer::timeout, this, [this] { tmrMessageTimer(); });

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
}

void TCommandsPart::SetScale(int scale) {
    // Taken at the first scale, when the keepsakes' row is on the panel too.
    if (!panelTaken_ && scale != 1) {
        scaled_.Add(pnlCommands);
        panelTaken_ = true;
    }
    scaled_.Apply(scale);
}

void TCommandsPart::Place(const TBookBox& rightPage, int w, int h) {
    pnlCommands.move(TBookGeometry::CentredLeft(rightPage, pnlCommands.width()) - 15,
                     rightPage.top + (rightPage.height - pnlCommands.height()) / 2);
    // The panel's tiles would hide the corner of the forward arrow it reaches
    // down to: that corner is left out of the panel and of its opaque tiles.
    const QRegion area =
        QRegion(pnlCommands.rect()) -
        QRegion(ToQRect(host_.Painter().Foot().ForwardArrow()).translated(-pnlCommands.pos()));
    pnlCommands.setMask(area);
    tiles_->setMask(area);
}

// ---------------------------------------------------------------------------
// Messages, saving and copying

void TCommandsPart::ShowMessageLabel(QLabel& label) {
    label.show();
    if (messageClock_.Start(plat::GetTickCount()) || !tmrMessage.isActive())
        tmrMessage.start();
}

void TCommandsPart::tmrMessageTimer() {
    for (QLabel* message : messages_)
        message->hide();
    tmrMessage.stop();
    messageClock_.Stop();
}

void TCommandsPart::cmdSaveClick() {
    if (!QDir().mkpath(PathToQString(host_.Folder())))
        throw std::runtime_error("Save: cannot create the folder " +
                                 plat::PathText(host_.Folder()));
    const std::string bytes = MakeSavedStoryFile(host_.StoryText());
    const TSavedStory::Source& file = host_.Origin().file;
    const std::string tale = TTaleTable::ShortName(host_.Tale());
    const TSavedStory::Saved saved =
        TSavedStory::Save(host_.Folder(), tale, bytes, file.path.empty() ? nullptr : &file,
                          Clock().toMSecsSinceEpoch() * 1000000);
    host_.StorySaved(saved.path, bytes);
    ShowMessageLabel(lblSaved);
    if (saved.detour)
        plat::ShowMessage(
            plat::MsgKind::Information,
            "\"" + tale +
                ".txt\" in your stories folder is not a story file, so the story "
                "was saved as \"" +
                plat::PathText(saved.path.substr(plat::ExtractFilePath(saved.path).size())) + "\".",
            plat::MsgButtons::Ok, "Save story");
}

void TCommandsPart::cmdCopyClick() {
    QApplication::clipboard()->setText(ToQString(MakeExportText(host_.StoryText())));
    ShowMessageLabel(lblCopied);
}

// ---------------------------------------------------------------------------
// Printing

void TCommandsPart::PreparePrinter(QPrinter& printer) {
    printer.setDocName(ToQString(StoryTitle(host_.StoryText())));
    if (QPrinterInfo::availablePrinters().isEmpty() && TTaleTable::IsTale(host_.Tale())) {
        // The dialog takes only a file it can write. When the folder cannot
        // be made, the dialog says so and asks for another file.
        QDir().mkpath(PathToQString(host_.Folder()));
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(
            PathToQString(host_.Folder() + TTaleTable::PrintedStoryFileName(host_.Tale())));
    }
}

void TCommandsPart::PreparePrintDialog(QPrintDialog& dlgPrint, int pageCount) {
    dlgPrint.setObjectName("dlgPrint");
    dlgPrint.setOption(QAbstractPrintDialog::PrintPageRange);
    dlgPrint.setMinMax(1, pageCount);
    dlgPrint.setFromTo(1, pageCount);
}

void TCommandsPart::cmdPrintClick() {
    QPrinter printer(QPrinter::HighResolution);
    PreparePrinter(printer);
    // The layout is made for the printer current before the dialog opens.
    int count = 0;
    {
        QImage scratch = plat::QtCanvas::MeasureImage(printer.resolution());
        QPainter painter(&scratch);
        plat::QtCanvas canvas(painter, host_.LettersPart().Letters().Family(),
                              host_.LettersPart().PagePoints());
        count = MakePrintPlan(printer, canvas)->PageCount();
    }
    if (count < 1 || !ExecPrintDialog(printer, count))
        return;
    const bool range = printer.printRange() == QPrinter::PageRange;
    std::string why;
    if (chkBooklet.isChecked()) {
        if (!PrintBooklet(printer, printer.copyCount(), range ? printer.fromPage() : 0,
                          range ? printer.toPage() : 0, chkOneSided.isChecked(), &why))
            throw std::runtime_error(why);
        return;
    }
    if (!PrintStory(printer, printer.copyCount(), range ? printer.fromPage() : 0,
                    range ? printer.toPage() : 0, &why))
        throw std::runtime_error(why);
}

std::unique_ptr<TPrintPlan> TCommandsPart::MakePrintPlan(QPrinter& printer, plat::Canvas& canvas) {
    const QRect paper = PaperRect(printer);
    const TLettersPart& letters = host_.LettersPart();
    return std::make_unique<TPrintPlan>(host_.Book(), canvas, host_.StoryText().c_str(),
                                        paper.width(), paper.height(), letters.PagePoints(),
                                        host_.PageWidth(), letters.Letters().PrintBand());
}

bool TCommandsPart::PrintStory(QPrinter& printer, int copies, int fromPage, int toPage,
                               std::string* why) {
    return RunPrintJob(
        printer,
        [&](QPainter& painter) {
            plat::QtCanvas canvas(painter, host_.LettersPart().Letters().Family(),
                                  host_.LettersPart().PagePoints());
            const std::unique_ptr<TPrintPlan> plan = MakePrintPlan(printer, canvas);
            const std::vector<int> sheets = plan->Sheets(copies, fromPage, toPage);
            for (std::size_t i = 0; i < sheets.size(); ++i) {
                if (i > 0)
                    printer.newPage();
                plan->DrawPage(host_.Book(), canvas, sheets[i]);
            }
        },
        why);
}

bool TCommandsPart::RunPrintJob(QPrinter& printer, const std::function<void(QPainter&)>& draw,
                                std::string* why) {
    // The copies are printed by Draw; a copy count left on the printer would
    // multiply them.
    printer.setCopyCount(1);
    printer.setDocName(ToQString(StoryTitle(host_.StoryText())));
    // A PDF is written beside its file and takes the file's place whole once
    // printed: a print that fails keeps the file printed before.
    const QString file =
        printer.outputFormat() == QPrinter::PdfFormat ? printer.outputFileName() : QString();
    const QString partial = file.isEmpty() ? QString() : file + ".part";
    if (!file.isEmpty())
        printer.setOutputFileName(partial);
    lblPrinting.show();
    lblPrinting.repaint();
    std::string failure;
    QPainter painter;
    try {
        if (!painter.begin(&printer))
            throw std::runtime_error(WhyNotStarted(printer, file));
        draw(painter);
    } catch (const std::exception& e) {
        failure = e.what();
    } catch (...) {
        failure = "Print: the story could not be printed";
    }
    if (painter.isActive() && !painter.end() && failure.empty())
        failure = file.isEmpty() ? "Print: the print job could not be finished"
                                 : "Print: cannot write " + plat::PathText(PathFromQString(file));
    if (!file.isEmpty()) {
        printer.setOutputFileName(file);
        if (failure.empty() && std::rename(QFile::encodeName(partial).constData(),
                                           QFile::encodeName(file).constData()))
            failure = "Print: cannot write " + plat::PathText(PathFromQString(file));
        if (!failure.empty())
            QFile::remove(partial);
    }
    lblPrinting.hide();
    if (why)
        *why = failure;
    return failure.empty();
}

// ---------------------------------------------------------------------------
// The folded booklet

bool TCommandsPart::PrintBooklet(QPrinter& printer, int copies, int fromSheet, int toSheet,
                                 bool oneSided, std::string* why) {
    // Two book pages side by side on each landscape sheet, printed over the
    // whole paper at the books' resolution.
    printer.setFullPage(true);
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setResolution(QtPictureBook::kDpi);
    printer.setDuplex(oneSided ? QPrinter::DuplexNone : QPrinter::DuplexShortSide);
    const bool toFile = printer.outputFormat() == QPrinter::PdfFormat;
    const QImage picture = host_.Painter().StoryPicture(host_.Origin().twistLevel);
    return RunPrintJob(
        printer,
        [&](QPainter& painter) {
            QtPictureBook book(painter, host_.StoryText(),
                               BookLetters(host_.LettersPart().Letters()), printer.width() / 2,
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
