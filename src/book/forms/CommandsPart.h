// TCommandsPart: the commands spread after the story's last page. It owns
// the command panel (print, save, copy, make a picture book, each with its
// text and the short red message that confirms it for 2.5 seconds), the
// message timer, and the booklet choices the print dialog offers.
//
// Saving writes the story back to the file it was read from, or else the
// tale's file, whole (written beside it and renamed), keeping bytes it held
// that would be lost under their dated name (TSavedStory);
// printing lays the story out for the printer current before the dialog
// opens (TPrintPlan) or, with "Print as a folded booklet" ticked, prints the
// picture book imposed two pages to a side (TBookletImposition). "Make a
// picture book" writes the story's PDF picture book into the stories folder
// under a name of its own (TPictureBookPlan::FileName), never over a file,
// and offers to open it. "Make a talking book", the small button beside it
// (five commands do not fit the panel), does the same with the story's EPUB
// talking book (TTalkingBook): the voice reads the whole story at the pace
// chosen in the book while the wait cursor shows, and a progress bar over the
// row's text once that takes longer than half a second.
#pragma once
#include <QCheckBox>
#include <QDateTime>
#include <QLabel>
#include <QObject>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>

#include "book/MessageClock.h"

class QPainter;
class QPrintDialog;
class QPrinter;
class TBookHost;
class TPrintPlan;
class TRL8Library;
struct TBookBox;
namespace plat {
class Canvas;
class SpeechSynth;
} // namespace plat
namespace TileBG {
class TTileBG;
}

class TCommandsPart : public QObject {
public:
    // Host and Window (the storybook, whose children the components are)
    // outlive the part. Library gives the panel's tiles.
    TCommandsPart(TBookHost& host, QWidget& window, TRL8Library& library);
    ~TCommandsPart() override;

    QWidget pnlCommands;
    QLabel lblPrinting, lblSaved, lblCopied, lblBookMade, lblTalkingBookMade;
    QPushButton cmdPrint, cmdSave, cmdCopy, cmdPictureBook, cmdTalkingBook;
    QLabel lblPrintText, lblSaveText, lblCopyText, lblPictureBookText;
    // How much of the talking book's voice is made, while it is made.
    QProgressBar prgTalkingBook;
    QTimer tmrMessage;
    // The booklet choices, a page of the print dialog's options.
    QWidget pnlBooklet;
    QCheckBox chkBooklet, chkOneSided;

    // Places the panel, centred on the right page, for a window W x H.
    void Place(const TBookBox& rightPage, int w, int h);

    // Handlers.
    void cmdSaveClick();
    void cmdCopyClick();
    void cmdPrintClick();
    void cmdPictureBookClick(); // shows its own errors
    void cmdTalkingBookClick(); // shows its own errors
    void tmrMessageTimer();

    // Prints Copies of pages FromPage..ToPage of the story on Printer (a
    // page number below 1 prints every page); the dialog-free part of
    // cmdPrintClick. The printer's own copy count is set to 1 first. A PDF
    // file is replaced whole once the story is in it, and kept as it was
    // when printing fails. Returns false when the job could not start or
    // drawing failed, with the reason in Why when given.
    bool PrintStory(QPrinter& printer, int copies, int fromPage, int toPage,
                    std::string* why = nullptr);
    // Prints the picture book as a folded booklet on Printer: Copies of
    // sheets FromSheet..ToSheet (below 1: all), two-sided, or with OneSided
    // the fronts, then (asking the player to turn the stack) the backs. A
    // PDF file gets the fronts, then the backs, and is replaced whole.
    // False with the reason in Why when the job could not start or failed.
    bool PrintBooklet(QPrinter& printer, int copies, int fromSheet, int toSheet, bool oneSided,
                      std::string* why = nullptr);
    // Writes the story's picture book into the stories folder under a name
    // of its own, never over a file, and returns its path; raises with the
    // reason, leaving nothing written, when it cannot.
    std::string MakePictureBook();
    // Writes the story's talking book (.epub) into the stories folder under
    // a name of its own, never over a file, and returns its path; raises
    // with the reason, leaving nothing written, when it cannot (no voice
    // engine among the reasons).
    std::string MakeTalkingBook();

    // Readies Printer for the story before the layout and the dialog: the
    // job's title, and when no printer is installed, PDF output to the tale's
    // file in the stories folder (<Tale>.pdf, the folder made for it), so the
    // dialog has something to print on.
    void PreparePrinter(QPrinter& printer);
    // Readies the print dialog: every option it offers by default (printing
    // to a file among them) and the page range, pages 1 to PageCount, all of
    // them chosen.
    static void PreparePrintDialog(QPrintDialog& dlgPrint, int pageCount);
    // Opens the print dialog on Printer; true when confirmed (replaced in tests).
    std::function<bool(QPrinter&, int pageCount)> ExecPrintDialog;
    // Opens a file with the desktop's viewer; false when none took it
    // (replaced in tests).
    std::function<bool(const std::string& path)> OpenDocument;
    // The local time now (replaced in tests).
    std::function<QDateTime()> Clock;
    // A voice for the talking book; nullptr when there is none (replaced in
    // tests).
    std::function<std::unique_ptr<plat::SpeechSynth>()> MakeVoice;

private:
    void Build();
    void ShowMessageLabel(QLabel& label);
    // Runs one print job on Printer with "Now printing story..." showing:
    // Draw paints it on a painter begun on Printer. A PDF file is replaced
    // whole once the job ends well, and kept as it was otherwise. False with
    // the reason in Why when the job could not start or Draw raised.
    bool RunPrintJob(QPrinter& printer, const std::function<void(QPainter&)>& draw,
                     std::string* why);
    // The story laid out for Printer's paper, measured on Canvas.
    std::unique_ptr<TPrintPlan> MakePrintPlan(QPrinter& printer, plat::Canvas& canvas);
    // The tale's picture at the story's twist; null without one.
    QImage StoryPicture() const;
    // Writes Bytes into the stories folder under a fresh name for the
    // moment now with Extension; What names the command in its errors.
    std::string WriteKeepsake(const std::string& bytes, const char* extension,
                              const std::string& what);
    // Runs Make with the wait cursor, then shows Made and offers to open the
    // file it wrote: What ("Picture book") names the offer and the errors,
    // Kind the file in the offer's text.
    void MakeAndOffer(const std::function<std::string()>& make, QLabel& made,
                      const std::string& what, const std::string& kind);

    TBookHost& host_;
    QWidget& window_;
    std::unique_ptr<TileBG::TTileBG> tiles_;
    TMessageClock messageClock_;
};
