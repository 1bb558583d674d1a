// TFormBook: the storybook window, created once and shown modally by the
// main window's OpenTale. It shows one tale as an open book: the cover spread
// with the twist, name and new-story controls, the story spreads, and after
// the last page the commands that print, save and copy the story. On story
// spreads a "Read to me" button reads the story aloud (TReadAloud), lighting
// the sentence and the word being read and turning the pages as the voice
// goes on; pressed again it pauses and goes on, and the pace control beside
// it picks how quickly the voice reads. On its other side "Show the twists"
// tints the words the vocabulary put in, tells what the tale had there and
// swaps one again when it is clicked (TStoryTwists).
#pragma once
#include <QButtonGroup>
#include <QCheckBox>
#include <QDateTime>
#include <QDialog>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <functional>
#include <memory>
#include <string>

#include "book/Book.h"
#include "book/BookGeometry.h"
#include "book/BookLetters.h"
#include "book/BookSpread.h"
#include "book/MessageClock.h"
#include "book/ReadAloud.h"
#include "book/ReadAloudOwner.h"
#include "book/ReadingPace.h"
#include "book/StoryTwists.h"
#include "image/LibraryImage.h"
#include "image/LibraryRef.h"
#include "ui/ImageStore.h"
#include "ui/PaintBox.h"

class QAccessibleEvent;
class QPainter;
class QPrintDialog;
class QPrinter;
class TPrintPlan;
class TImageNode;
class TRL8ImageData;
class TRL8Library;
class TStoryGenerator;
class TWaveMan;
namespace plat {
class Canvas;
class SpeechSynth;
class LogPalette;
} // namespace plat
namespace TileBG {
class TTileBG;
}

class TFormBook : public QDialog, public TReadAloudOwner {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 592;
    static constexpr int kClientHeight = 418;
    // The cover page's letters; the story's pages are in the letters chosen
    // (TBookLetters).
    static constexpr const char* kPageFont = "Times New Roman";
    static constexpr int kPagePoints = 12; // 16 px at 96 dpi
    // The "Read to me" button: a third of the library image "readtome" (idle
    // at x 0, speaking at x 50, paused at x 100), standing between the page
    // arrows.
    static constexpr int kReadToMeWidth = 50;
    static constexpr int kReadToMeHeight = 25;
    // "Show the twists": a two-state button just left of "Read to me", their
    // feet level; it reaches no higher than the page's bottom margin, so it
    // never covers text.
    static constexpr int kShowTwistsWidth = 30;
    static constexpr int kShowTwistsHeight = 18;
    static constexpr int kShowTwistsGap = 6;

    // Generator and Library belong to the main window and outlive this window
    // (FormCreate).
    TFormBook(TStoryGenerator& generator, TRL8Library& library, QWidget* parent = nullptr);
    // FormDestroy.
    ~TFormBook() override;

    // Text: the story's lines joined by CR LF (Latin-1). Empty clears the book.
    void SetStory(const std::string& text);
    int TaleNumber = 0; // 1..10, set before the window is shown

    // The wave manager the voice plays through (the main window's; not
    // owned, nullptr for none). Without one the story is not read aloud.
    // Stops any reading.
    void SetWaveManager(TWaveMan* manager);
    // Replaces the speech engine (nullptr for none); stops any reading.
    void SetSpeechSynth(std::unique_ptr<plat::SpeechSynth> synth);
    TReadAloud& Reader() { return *reader_; }

    // Where saved stories lie, ending with a separator: "<Documents>/Fablewhirl
    // Stories/" unless replaced; created when a story is first saved.
    std::string StoriesFolder;
    // The start-up library, realised when the window becomes active (not owned).
    TRL8Library* StartLibrary = nullptr;

    // Components.
    QPushButton cmdPrevPage, cmdNextPage, cmdCloseBook;
    TPaintBox pbxLeftPage, pbxRightPage, pbxClose;
    TPaintBox pbxReadToMe{this};   // "Read to me"
    TPaintBox pbxShowTwists{this}; // "Show the twists", left of "Read to me"
    TPaintBox pbxReadPace{this};   // the reading pace, right of "Read to me"
    QTimer tmrReadAlong{this};     // lights the word heard while the voice speaks
    QFrame pnlTwist;
    QLabel lblTwist;
    QToolButton sbNone, sbHalf, sbFull;
    QButtonGroup grpTwist;
    QFrame pnlHero;
    QLabel lblHero;
    QLineEdit txtHero;
    QFrame pnlHeroine;
    QLabel lblHeroine;
    QLineEdit txtHeroine;
    QPushButton cmdNewStory, cmdReadSaved;
    QWidget pnlCommands;
    QLabel lblPrinting, lblSaved, lblCopied;
    QPushButton cmdPrint, cmdSave, cmdCopy;
    QLabel lblPrintText, lblSaveText, lblCopyText;
    QLabel lblTurnPage;
    QTimer tmrMessage;
    // The letters of the story's pages, on the cover spread.
    QFrame pnlLetters{this};
    QToolButton sbClassicLetters{&pnlLetters}, sbEasyLetters{&pnlLetters},
        sbBigLetters{&pnlLetters};
    QButtonGroup grpLetters{this};
    // The keepsake (FormBookKeepsake.cpp): the picture book command on the
    // command panel, and the booklet choices the print dialog offers.
    QPushButton cmdPictureBook{&pnlCommands};
    QLabel lblBookMade{&pnlCommands}, lblPictureBookText{&pnlCommands};
    QWidget pnlBooklet{this};
    QCheckBox chkBooklet{&pnlBooklet}, chkOneSided{&pnlBooklet};

    // Operations.
    void ShowPages(int n);
    void UpdateControls();
    void UpdateTurnPageHint(int r);
    void LoadTalePicture();
    static std::string TaleName(int n);
    std::string SavedStoryFileName() const;
    // The saved story's full path in StoriesFolder.
    std::string SavedStoryPath() const;
    void DrawPageArrows(bool realize);
    // Shows or hides the "Read to me" button for the spread shown and paints
    // its picture (idle or speaking).
    void UpdateReadToMe();

    // Shows or hides "Show the twists" for the spread shown, enabled when the
    // story holds words of the vocabulary, and paints its picture.
    void UpdateShowTwists();
    // Turns the tint of the vocabulary's words on or off and keeps the choice
    // ("yarns.ini", "Book", "ShowTwists").
    void SetShowTwists(bool show);
    bool ShowTwists() const { return showTwists_; }
    // The tinted parts on a page area (left when Left) and their spans.
    const std::vector<std::pair<QRect, int>>& TwistRects(bool left) const {
        return left ? leftTwists_ : rightTwists_;
    }
    const TStoryTwists& Twists() const { return twists_; }
    // Swaps the words of span I again, lays the story out again and shows the
    // spread that holds the swapped word, repainting only what changed.
    void SwapTwist(int i);
    // The span under Pos of a page area (left when Left), -1 when none is
    // tinted there.
    int TwistAt(bool left, QPoint pos) const;

    // Handlers.
    void FormShow();
    void FormResize();
    void FormMouseMove(QPoint pos);
    void FormClick();
    void pbxLeftPageClick();
    void pbxRightPageClick();
    void cmdPrevPageClick();
    void cmdNextPageClick();
    void cmdNewStoryClick();
    void rbTwistClick(int tag);
    void txtHeroChange();
    void txtHeroineChange();
    void cmdSaveClick();
    void cmdReadSavedClick();
    void cmdCopyClick();
    void cmdPrintClick();
    void tmrMessageTimer();
    void pbxReadToMeClick();
    // A letters button was pressed: the choice of the three buttons.
    void sbLettersClick();

    // The letters of the story's pages: the story is laid out again in them
    // and the choice kept in the settings.
    void SetLetters(const TBookLetters& letters);
    const TBookLetters& Letters() const { return letters_; }
    // The size the story's pages are laid out and drawn in (the chosen one,
    // smaller when the page is too narrow for it).
    int PagePoints() const { return pagePoints_; }

    // For screen readers: the page shown on Area (pbxLeftPage or
    // pbxRightPage; -1 for none, so also on any other widget), and where
    // characters Start to End - 1 of its line Line (1-based) stand, in
    // Area's pixels (empty when nowhere; the cover's words are not placed).
    int ShownPage(const QWidget& area) const;
    QRect ShownLinePart(const QWidget& area, int line, int start, int end);
    // Tells the screen readers of an event (replaced in tests); none set:
    // Qt's accessibility, while a reader listens.
    std::function<void(QAccessibleEvent&)> TellReaders;
    void pbxShowTwistsClick();
    void cmdPictureBookClick();   // shows its own errors through ShowError
    void pbxReadPaceClick(int x); // X within the control
    // The next pace after the one chosen, quick going round to slow (the
    // control's press for screen readers).
    void StepReadingPace();
    void tmrReadAlongTimer();

    // The reader's requests (TReadAloudOwner).
    void ReadAloudShowSpread(int leftPage) override;
    void ReadAloudRepaintPage(int page) override;
    void ReadAloudRepaintParts(const std::vector<TLinePart>& parts) override;
    void ReadAloudStateChanged(TReadState state) override;

    // Prints Copies of pages FromPage..ToPage of the story on Printer (a
    // page number below 1 prints every page); the dialog-free part of
    // cmdPrintClick. The printer's own copy count is set to 1 first. A PDF
    // file is replaced whole once the story is in it, and kept as it was
    // when printing fails. Returns false when the job could not start or
    // drawing failed, with the reason in Why when given.
    bool PrintStory(QPrinter& printer, int copies, int fromPage, int toPage,
                    std::string* why = nullptr);

    // State, for the tests and the main window.
    TBook& Book() { return book_; }
    const std::string& StoryText() const { return story_; }
    int CurrentPage() const { return currentPage_; }
    int TwistLevel() const { return twistLevel_; }
    bool HasHero() const { return hasHero_; }
    bool HasHeroine() const { return hasHeroine_; }
    // The assembled book behind the pages and the two page pictures.
    QImage BookPicture() const;
    QImage LeftPagePicture() const { return PagePicture(pbxLeftPage, leftImage_); }
    QImage RightPagePicture() const { return PagePicture(pbxRightPage, rightImage_); }
    // The left page's picture, at the screen's pixel ratio.
    const QImage& LeftPageLayer() const { return leftImage_; }
    // What the "Read to me" button and the pace control show.
    const QImage& ReadToMePicture() const { return readToMeImage_; }
    const QImage& ReadPacePicture() const { return readPaceImage_; }
    TReadingPace::Pace ReadingPace() const { return pace_; }
    // How often each page picture was drawn whole.
    int LeftPageDraws() const { return leftDraws_; }
    // The window's own cursor (FormMouseMove).
    const QCursor& SurfaceCursor() const { return surfaceCursor_; }

    // Readies Printer for the story before the layout and the dialog: the
    // job's title, and when no printer is installed, PDF output to the tale's
    // file in StoriesFolder (<Tale>.pdf, the folder made for it), so the
    // dialog has something to print on.
    void PreparePrinter(QPrinter& printer);
    // Readies the print dialog: every option it offers by default (printing
    // to a file among them) and the page range, pages 1 to PageCount, all of
    // them chosen.
    static void PreparePrintDialog(QPrintDialog& dlgPrint, int pageCount);
    // Opens the print dialog on Printer; true when confirmed (replaced in tests).
    std::function<bool(QPrinter&, int pageCount)> ExecPrintDialog;

    // Writes the story's picture book into StoriesFolder under a name of its
    // own (TPictureBookPlan::FileName), never over a file, and returns its
    // path; raises with the reason, leaving nothing written, when it cannot.
    std::string MakePictureBook();
    // Prints the picture book as a folded booklet on Printer: Copies of
    // sheets FromSheet..ToSheet (below 1: all), two-sided, or with OneSided
    // the fronts, then (asking the player to turn the stack) the backs. A
    // PDF file gets the fronts, then the backs, and is replaced whole.
    // False with the reason in Why when the job could not start or failed.
    bool PrintBooklet(QPrinter& printer, int copies, int fromSheet, int toSheet, bool oneSided,
                      std::string* why = nullptr);
    // Opens a file with the desktop's viewer; false when none took it
    // (replaced in tests).
    std::function<bool(const std::string& path)> OpenDocument;
    // The local time now (replaced in tests).
    std::function<QDateTime()> Clock;
    // Shows an error message (replaced in tests).
    std::function<void(const std::string&)> ShowError;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildForm();
    // The letters panel, and the choice read from the settings.
    void BuildLetters();
    // The family and size page Page is drawn in: the cover keeps its own.
    QString PageFamily(int page) const;
    int PageSize(int page) const;
    void BuildKeepsake();
    // Puts the booklet choices into the print dialog's options, and takes
    // them back once it has closed.
    void OfferBookletChoices(QPrintDialog& dlgPrint);
    void TakeBackBookletChoices();
    // Turns the page for Key (Left, Right, Page Up, Page Down) where the arrows
    // would; false when the key is not for turning here.
    bool TurnByKey(int key);
    void PlaceControls();
    TBookSpread::Controls SpreadControls() const;
    // Runs one print job on Printer with "Now printing story..." showing:
    // Draw paints it on a painter begun on Printer. A PDF file is replaced
    // whole once the job ends well, and kept as it was otherwise. False with
    // the reason in Why when the job could not start or Draw raised.
    bool RunPrintJob(QPrinter& printer, const std::function<void(QPainter&)>& draw,
                     std::string* why);
    // The story laid out for Printer's paper, measured on Canvas.
    std::unique_ptr<TPrintPlan> MakePrintPlan(QPrinter& printer, plat::Canvas& canvas);
    void FormPaint();
    // Makes Image the picture of page area Box: the book behind it as it is
    // now, and page Page (none when negative) drawn over it, at the screen's
    // pixel ratio. Drawn again whenever the book behind it changes.
    // Image's memory is kept in Store.
    void DrawPageInto(QImage& image, TImageStore& store, const TBookBox& box, int page);
    // What of the pages the book picture leaves out: each page's pictures
    // hold the book behind them. The rows of the arrows and of the controls
    // between them stay in the book picture.
    QRegion PageInteriors() const;
    // The book's pieces inside Area (client coordinates), painted onto a
    // painter whose origin is Area's top-left corner; white before the book
    // is loaded.
    void PaintBookBehind(QPainter& painter, const QRect& area) const;
    // Paints the Damage of a page area from its picture Layer.
    void PaintPage(QPainter& c, const QRegion& damage, const QImage& layer) const;
    QImage PagePicture(const QWidget& area, const QImage& layer) const;
    void RenderPages();
    // Tells screen readers of the page areas whose text changed since they
    // were last told.
    void AnnouncePages();
    // Gives Qt's accessibility the interfaces of the painted parts; before
    // any widget of the first book is made, so none is looked up without it.
    static void InstallReaderInterfaces();
    // Gives the book's controls their names for screen readers.
    void NameControls();
    // Draws the button's picture over the book behind it.
    void DrawReadToMe();
    void BuildShowTwists();
    void DrawShowTwists();
    // Tints the twists of Page on Canvas and keeps their rectangles for the
    // page area (left when Left).
    void DrawTwists(plat::Canvas& canvas, bool left, int width, int page);
    // Draws both page pictures again and repaints only the pixels that
    // changed.
    void RepaintChangedPages();
    // A page area's click or pointing at a tinted word; false when Pos holds
    // none (a click then turns the page).
    bool TwistClick(bool left, QPoint pos);
    void TwistMouseMove(bool left, QPoint pos);
    // The pace control's picture over the book behind it.
    void DrawReadPace();
    // The pace control, its picture and the pace from the settings (in the
    // constructor, before the library is registered).
    void BuildReadAlong(TRL8Library& library);
    // Draws again the part of the picture of page area Box (page Page) that
    // Part covers; returns that rectangle in the area (empty for none).
    QRect RedrawPagePart(QImage& image, const TBookBox& box, int page, const TLinePart& part);
    // Ends the reading, if any (every player action that changes the book).
    void StopReading();
    void Layout();
    void ReleaseTalePicture();
    void ShowMessageLabel(QLabel& label);
    bool SavedStoryExists() const;

    TStoryGenerator& generator_;
    TLibraryRef library_; // the game library; empty once it has gone
    std::vector<std::unique_ptr<TileBG::TTileBG>> tiles_;
    TBook book_;
    std::string story_;
    int currentPage_ = 0;
    int twistLevel_ = 2;
    TBookLetters letters_;
    int pagePoints_ = TBookLetters::kNormalPoints;
    int storyTwistLevel_ = 2; // the twist level the story shown was made with
    bool hasHero_ = false;
    bool hasHeroine_ = false;
    TLibraryImage bookPicture_;     // "book": every piece of the book
    TLibraryImage talePicture_;     // the tale's three cover pictures; may be empty
    TLibraryImage readToMePicture_; // "readtome"; empty without it
    TLibraryImage readPacePicture_; // "readpace"; empty without it
    TBookGeometry geometry_;
    TMessageClock messageClock_;
    // The memory of the book's picture and of the pages' pictures, kept
    // across resize steps.
    TImageStore bookStore_, leftStore_, rightStore_;
    QImage
        bookImage_; // the assembled book but PageInteriors(), premultiplied as the window paints it
    QImage bookSheet_; // the whole of "book" in the colours of bookSheetPalette_
    const plat::LogPalette* bookSheetPalette_ = nullptr;
    QImage leftImage_, rightImage_; // the pages' pictures (DrawPageInto)
    QImage readToMeImage_;          // the button over the book behind it
    QImage readPaceImage_;          // the pace control over the book behind it
    TReadingPace::Pace pace_ = TReadingPace::Pace::Normal;
    int leftDraws_ = 0;
    std::string announced_[2]; // the texts screen readers were last told of
    QCursor surfaceCursor_;
    bool laidOut_ = false;
    TWaveMan* waveManager_ = nullptr;
    TStoryTwists twists_;
    bool showTwists_ = false;
    QImage showTwistsImage_; // the button over the book behind it
    // The tinted parts on each page area and the span each belongs to.
    std::vector<std::pair<QRect, int>> leftTwists_, rightTwists_;
    // Last member: goes first, while the window it calls back is whole.
    std::unique_ptr<TReadAloud> reader_;
};
