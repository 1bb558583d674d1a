// TCommandsPart: the commands spread after the story's last page. It owns
// the command panel (print, save, copy, each with its text and the short red
// message that confirms it for 2.5 seconds; the keepsakes' row below them),
// the message timer, and the booklet choices the print dialog offers.
//
// Saving writes the story back to the file it was read from, or else the
// tale's file, whole (written beside it and renamed), keeping bytes it held
// that would be lost under their dated name (TSavedStory);
// printing lays the story out for the printer current before the dialog
// opens (TPrintPlan) or, with "Print as a folded booklet" ticked, prints the
// picture book imposed two pages to a side (TBookletImposition).
#pragma once
#include <QCheckBox>
#include <QDateTime>
#include <QLabel>
#include <QObject>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "book/BookSpread.h"
#include "book/MessageClock.h"
#include "ui/ScaledControls.h"

class QPainter;
class QPrintDialog;
class QPrinter;
class TBookHost;
class TPrintPlan;
class TRL8Library;
struct TBookBox;
namespace plat {
class Canvas;
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

    // Shows the panel, and all it holds, at Scale (the cover's and the
    // scene's whole-number scale for the window's size).
    void SetScale(int scale);
    // Places the panel, centred on the right page, for a window W x H.
    void Place(const TBookBox& rightPage, int w, int h);
    // Shows the panel on the spreads that hold the commands.
    void Show(const TBookSpread::Controls& controls);
    // Print, save, copy.
    std::vector<QWidget*> TabStops();
    // The panel, whose rows the keepsakes share.
    QWidget& Panel() { return pnlCommands; }
    // Message, a red message on the panel, shows for 2.5 seconds.
    void ShowMessageLabel(QLabel& message);
    // Message is one of the panel's messages: it goes with the others.
    void AddMessage(QLabel& message) { messages_.push_back(&message); }

    // Handlers.
    void cmdSaveClick();
    void cmdCopyClick();
    void cmdPrintClick();
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
    // The local time now (replaced in tests).
    std::function<QDateTime()> Clock;

private:
    void Build();
    // Runs one print job on Printer with "Now printing story..." showing:
    // Draw paints it on a painter begun on Printer. A PDF file is replaced
    // whole once the job ends well, and kept as it was otherwise. False with
    // the reason in Why when the job could not start or Draw raised.
    bool RunPrintJob(QPrinter& printer, const std::function<void(QPainter&)>& draw,
                     std::string* why);
    // The story laid out for Printer's paper, measured on Canvas.
    std::unique_ptr<TPrintPlan> MakePrintPlan(QPrinter& printer, plat::Canvas& canvas);

    QWidget pnlCommands;
    QLabel lblPrinting, lblSaved, lblCopied;
    QPushButton cmdPrint, cmdSave, cmdCopy;
    QLabel lblPrintText, lblSaveText, lblCopyText;
    QTimer tmrMessage;
    // The booklet choices, a page of the print dialog's options.
    QWidget pnlBooklet;
    QCheckBox chkBooklet, chkOneSided;
    TBookHost& host_;
    QWidget& window_;
    std::unique_ptr<TileBG::TTileBG> tiles_;
    TMessageClock messageClock_;
    std::vector<QLabel*> messages_; // hidden when the timer fires
    TScaledControls scaled_;        // the panel, once its rows are all built
    bool panelTaken_ = false;
};
