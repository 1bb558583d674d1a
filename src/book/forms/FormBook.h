// TFormBook: the storybook window, created once and shown modally by the
// main window's OpenTale. It shows one tale as an open book: the cover spread
// with the twist, name and new-story controls, the story spreads, and after
// the last page the commands that print, save and copy the story. On story
// spreads a "Read to me" button reads the story aloud (TReadAloud), lighting
// the sentence and the word being read and turning the pages as the voice
// goes on; pressed again it pauses and goes on, and the pace control beside
// it picks how quickly the voice reads.
#pragma once
#include <QButtonGroup>
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
#include "book/BookSpread.h"
#include "book/MessageClock.h"
#include "book/ReadAloud.h"
#include "book/ReadAloudOwner.h"
#include "book/ReadingPace.h"
#include "image/LibraryImage.h"
#include "image/LibraryRef.h"
#include "ui/ImageStore.h"
#include "ui/PaintBox.h"

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
    static constexpr const char* kPageFont = "Times New Roman";
    static constexpr int kPagePoints = 12; // 16 px at 96 dpi
    // The "Read to me" button: a third of the library image "readtome" (idle
    // at x 0, speaking at x 50, paused at x 100), standing between the page
    // arrows.
    static constexpr int kReadToMeWidth = 50;
    static constexpr int kReadToMeHeight = 25;

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
    TPaintBox pbxReadToMe{this}; // "Read to me"
    TPaintBox pbxReadPace{this}; // the reading pace, right of "Read to me"
    QTimer tmrReadAlong{this};   // lights the word heard while the voice speaks
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
    void pbxReadPaceClick(int x); // X within the control
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
    QImage BookPicture() const { return bookImage_.convertToFormat(QImage::Format_RGB32); }
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
    // Turns the page for Key (Left, Right, Page Up, Page Down) where the arrows
    // would; false when the key is not for turning here.
    bool TurnByKey(int key);
    void PlaceControls();
    TBookSpread::Controls SpreadControls() const;
    // The story laid out for Printer's paper, measured on Canvas.
    std::unique_ptr<TPrintPlan> MakePrintPlan(QPrinter& printer, plat::Canvas& canvas);
    void FormPaint();
    // Makes Image the picture of page area Box: the book behind it as it is
    // now, and page Page (none when negative) drawn over it, at the screen's
    // pixel ratio. Drawn again whenever the book behind it changes.
    // Image's memory is kept in Store.
    void DrawPageInto(QImage& image, TImageStore& store, const TBookBox& box, int page);
    // Paints the Damage of a page area from its picture Layer.
    void PaintPage(QPainter& c, const QRegion& damage, const QImage& layer) const;
    QImage PagePicture(const QWidget& area, const QImage& layer) const;
    void RenderPages();
    // Draws the button's picture over the book behind it, and the pace
    // control's.
    void DrawReadToMe();
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
    QImage bookImage_; // the assembled book, premultiplied as the window paints it
    QImage bookSheet_; // the whole of "book" in the colours of bookSheetPalette_
    const plat::LogPalette* bookSheetPalette_ = nullptr;
    QImage leftImage_, rightImage_; // the pages' pictures (DrawPageInto)
    QImage readToMeImage_;          // the button over the book behind it
    QImage readPaceImage_;          // the pace control over the book behind it
    TReadingPace::Pace pace_ = TReadingPace::Pace::Normal;
    int leftDraws_ = 0;
    QCursor surfaceCursor_;
    bool laidOut_ = false;
    TWaveMan* waveManager_ = nullptr;
    // Last member: goes first, while the window it calls back is whole.
    std::unique_ptr<TReadAloud> reader_;
};
