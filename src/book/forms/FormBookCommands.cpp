// TFormBook's commands: saving the story, reading a saved story back, copying
// it to the clipboard and printing it, with the short messages that confirm
// them.
#include "book/forms/FormBook.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QPageLayout>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <cstdio>
#include <stdexcept>

#include "book/PrintPlan.h"
#include "book/StoryText.h"
#include "platform/Files.h"
#include "platform/Tick.h"
#include "platform/qt/Latin1.h"
#include "platform/qt/QtCanvas.h"
#include "story/TaleTable.h"

namespace {

QRect PaperRect(QPrinter& printer) {
    return printer.pageLayout().paintRectPixels(printer.resolution());
}

// Why a print job on Printer, or into the PDF file File, could not start.
std::string WhyNotStarted(const QPrinter& printer, const QString& file) {
    const bool toFile = printer.outputFormat() == QPrinter::PdfFormat;
    if (toFile && !file.isEmpty())
        return "Print: cannot write " + FromQString(file);
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

} // namespace

void TFormBook::ShowMessageLabel(QLabel& label) {
    label.show();
    if (messageClock_.Start(plat::GetTickCount()) || !tmrMessage.isActive())
        tmrMessage.start();
}

void TFormBook::tmrMessageTimer() {
    lblSaved.hide();
    lblCopied.hide();
    lblBookMade.hide();
    tmrMessage.stop();
    messageClock_.Stop();
}

void TFormBook::cmdSaveClick() {
    const std::string path = SavedStoryPath();
    if (!QDir().mkpath(ToQString(StoriesFolder)))
        throw std::runtime_error("Save: cannot create the folder " + StoriesFolder);
    // Written whole to a temporary file and renamed, so a failed save keeps
    // the story saved before.
    if (!plat::WriteFileAtomic(path, MakeSavedStoryFile(story_)))
        throw std::runtime_error("Save: cannot write " + path);
    ShowMessageLabel(lblSaved);
}

void TFormBook::cmdReadSavedClick() {
    StopReading();
    const std::string path = SavedStoryPath();
    std::string bytes;
    if (!plat::ReadWholeFile(path, bytes))
        throw std::runtime_error("Read: cannot read " + path);
    story_ = ReadSavedStoryText(bytes);
    Layout();
    ShowPages(1);
}

void TFormBook::cmdCopyClick() {
    QApplication::clipboard()->setText(ToQString(MakeExportText(story_)));
    ShowMessageLabel(lblCopied);
}

void TFormBook::PreparePrinter(QPrinter& printer) {
    printer.setDocName(ToQString(book_.CoverText));
    if (QPrinterInfo::availablePrinters().isEmpty() && TTaleTable::IsTale(TaleNumber)) {
        // The dialog takes only a file it can write. When the folder cannot
        // be made, the dialog says so and asks for another file.
        QDir().mkpath(ToQString(StoriesFolder));
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(
            ToQString(StoriesFolder + TTaleTable::PrintedStoryFileName(TaleNumber)));
    }
}

void TFormBook::PreparePrintDialog(QPrintDialog& dlgPrint, int pageCount) {
    dlgPrint.setObjectName("dlgPrint");
    dlgPrint.setOption(QAbstractPrintDialog::PrintPageRange);
    dlgPrint.setMinMax(1, pageCount);
    dlgPrint.setFromTo(1, pageCount);
}

void TFormBook::cmdPrintClick() {
    QPrinter printer(QPrinter::HighResolution);
    PreparePrinter(printer);
    // The layout is made for the printer current before the dialog opens.
    int count = 0;
    {
        QImage scratch = plat::QtCanvas::MeasureImage(printer.resolution());
        QPainter painter(&scratch);
        plat::QtCanvas canvas(painter, letters_.Family(), pagePoints_);
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

std::unique_ptr<TPrintPlan> TFormBook::MakePrintPlan(QPrinter& printer, plat::Canvas& canvas) {
    const QRect paper = PaperRect(printer);
    return std::make_unique<TPrintPlan>(book_, canvas, story_.c_str(), paper.width(),
                                        paper.height(), pagePoints_, pbxLeftPage.width(),
                                        letters_.PrintBand());
}

bool TFormBook::PrintStory(QPrinter& printer, int copies, int fromPage, int toPage,
                           std::string* why) {
    return RunPrintJob(
        printer,
        [&](QPainter& painter) {
            plat::QtCanvas canvas(painter, letters_.Family(), pagePoints_);
            const std::unique_ptr<TPrintPlan> plan = MakePrintPlan(printer, canvas);
            const std::vector<int> sheets = plan->Sheets(copies, fromPage, toPage);
            for (std::size_t i = 0; i < sheets.size(); ++i) {
                if (i > 0)
                    printer.newPage();
                plan->DrawPage(book_, canvas, sheets[i]);
            }
        },
        why);
}

bool TFormBook::RunPrintJob(QPrinter& printer, const std::function<void(QPainter&)>& draw,
                            std::string* why) {
    // The copies are printed by Draw; a copy count left on the printer would
    // multiply them.
    printer.setCopyCount(1);
    printer.setDocName(ToQString(book_.CoverText));
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
                                 : "Print: cannot write " + FromQString(file);
    if (!file.isEmpty()) {
        printer.setOutputFileName(file);
        if (failure.empty() && std::rename(QFile::encodeName(partial).constData(),
                                           QFile::encodeName(file).constData()))
            failure = "Print: cannot write " + FromQString(file);
        if (!failure.empty())
            QFile::remove(partial);
    }
    lblPrinting.hide();
    if (why)
        *why = failure;
    return failure.empty();
}
