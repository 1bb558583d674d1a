// TFormBook: the storybook window, created once and shown modally by the
// main window's OpenTale. It shows one tale as an open book: the cover spread
// with the twist, name and new-story controls, the story spreads, and after
// the last page the commands that keep the story.
//
// The window holds the story, its layout (TBook), the spread shown and the
// cover's controls; its parts own their widgets, state, settings and timers:
// the page painter (TPagePainter), the cover's controls (TCoverPart),
// reading aloud (TReadToMePart), the twists (TTwistsPart), the letters
// (TLettersPart), the commands spread (TCommandsPart) and the screen
// readers' side (TBookAccess). The parts
// reach the window through TBookHost; every change of what the pages show
// goes through ShowPages.
//
// Every control is a Tab stop in reading order (the cover's top to bottom;
// on a story spread the twist words, the commands, then "Show the twists",
// "Read to me" and the pace) with a focus ring in the book's ink
// (TFocusRing): the widgets' from TFocusFrame, the painted ones' in their
// paint path. The twist level's buttons are one choice, a Tab stop whose
// arrow keys move it. After a new or read-back story the focus is on "Read to
// me", or where there is none, on the right page.
#pragma once
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <functional>
#include <memory>
#include <string>

#include "book/Book.h"
#include "book/BookGeometry.h"
#include "book/BookSpread.h"
#include "book/StoryOrigin.h"
#include "book/forms/BookHost.h"
#include "image/LibraryRef.h"
#include "ui/PaintBox.h"

class TBookAccess;
class TFormShelf;
class TCommandsPart;
class TCoverPart;
class TFocusFrame;
class TLettersPart;
class TPagePainter;
class TReadToMePart;
class TReadAloud;
class TRL8Library;
class TStoryGenerator;
class TTwistsPart;
class TWaveMan;
namespace plat {
class SpeechSynth;
}

class TFormBook : public QDialog, public TBookHost {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 592;
    static constexpr int kClientHeight = 418;

    // Generator and Library belong to the main window and outlive this
    // window. The window takes its letters and whether it was maximized from
    // the settings file.
    TFormBook(TStoryGenerator& generator, TRL8Library& library, QWidget* parent = nullptr);
    // Stops the voice and keeps whether the window is maximized.
    ~TFormBook() override;

    int TaleNumber = 0; // 1..10, set before the window is shown
    // Where saved stories lie, ending with a separator: "<Documents>/Fablewhirl
    // Stories/" unless replaced; created when a story is first saved. A path
    // in the system's encoding (PathToQString), not Latin-1 text.
    std::string StoriesFolder;
    // The start-up library, realised when the window becomes active (not owned).
    TRL8Library* StartLibrary = nullptr;
    // Shows an error message (replaced in tests).
    ErrorSink ShowError;
    // The screen's free area the window may grow into, in the co-ordinates
    // of its geometry: the available area of the window's screen unless
    // replaced (tests). An empty area lets it grow nowhere.
    std::function<QRect()> ScreenArea;

    // Components: the book's own.
    QPushButton cmdPrevPage, cmdNextPage;
    TPaintBox pbxLeftPage, pbxRightPage, pbxClose;
    QLabel lblTurnPage;

    // The parts.
    TPagePainter& Painter() override { return *painter_; }
    TCoverPart& Cover() { return *cover_; }
    TReadToMePart& ReadToMe() { return *reading_; }
    TTwistsPart& TwistsPart() { return *twists_; }
    TLettersPart& LettersPart() override { return *letters_; }
    TCommandsPart& Commands() { return *commands_; }
    TBookAccess& Access() { return *access_; }
    TFocusFrame& FocusFrame() { return *focusFrame_; }
    // The reader, and the wave manager and speech engine it reads with (the
    // main window's manager, not owned; nullptr for none). Each stops any
    // reading.
    TReadAloud& Reader();
    void SetWaveManager(TWaveMan* manager);
    void SetSpeechSynth(std::unique_ptr<plat::SpeechSynth> synth);

    // Operations. Text: the story's lines joined by CR LF (Latin-1); empty
    // clears the book. The one way a story comes into the book, from
    // whatever origin; reading stops and the story is laid out again.
    void SetStory(const std::string& text, const TStoryOrigin& origin);
    // A story the generator told, at the cover's twist level.
    void SetStory(const std::string& text) override;
    // Where the story shown came from (the keepsakes' picture, where Save
    // writes).
    const TStoryOrigin& Origin() const override { return origin_; }
    // The story shown was saved as Bytes at Path: saving it again goes there.
    void StorySaved(const std::string& path, const std::string& bytes) override;
    int Tale() const override { return TaleNumber; }
    const std::string& Folder() const override { return StoriesFolder; }
    TReadingPace::Pace ReadingPace() const override;
    int PageWidth() const override { return pbxLeftPage.width(); }
    void ShowPages(int n) override;
    void Relayout() override;
    void UpdateControls();
    void DrawPageArrows(bool realize);
    void LoadTalePicture();
    std::string SavedStoryFileName() const;
    // The saved story's full path in StoriesFolder.
    std::string SavedStoryPath() const;

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
    void cmdReadSavedClick();
    // Opens "My stories" on this tale (ExecShelf shows it).
    void cmdMyStoriesClick();
    // Reads the story file at Path back for Tale (1..10) and shows its
    // first spread; another tale's cover takes that tale's place first. A
    // story with letters the book cannot show says so.
    void ReadStoryFile(int tale, const std::string& path);
    // Reads the story file at Path when the window is next shown, in place
    // of the cover (the main window's shelf opens a story so).
    void ReadOnShow(const std::string& path) { readOnShow_ = path; }
    // Shows the shelf modally (replaced in tests).
    std::function<void(TFormShelf&)> ExecShelf;

    // State, for the parts, the tests and the main window.
    TBook& Book() override { return book_; }
    const std::string& StoryText() const override { return story_; }
    int CurrentPage() const override { return currentPage_; }
    const ErrorSink& Errors() const override { return ShowError; }

    // Closed, the window gives its window-system window back, so that it is
    // no longer among the application's windows (nor in screen readers' tree)
    // until it shows again.
    void setVisible(bool visible) override;

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
    // The cover spread's controls, stacked upward from the foot of the right
    // page.
    void PlaceControls();
    // The Tab order: the cover's controls as they stand, top to bottom, then
    // the story spreads'.
    void OrderTabs();
    // The focus to a story just shown: "Read to me" where it can be pressed,
    // else the right page.
    void FocusStory();
    // The controls spread Page (0 the cover) shows.
    TBookSpread::Controls SpreadControls(int page) const;
    // Lays the story out for the page size and letters now.
    void Layout();
    // When the bigger letters need wider pages than the window has, grows
    // the window to the size where they stand whole, as far as ScreenArea
    // allows (the letters then step down to what fits). A maximized or full
    // screen window keeps its size, and nothing shrinks the window again.
    void GrowForLetters();
    bool SavedStoryExists() const;
    // The cover's picture, line and names for TaleNumber.
    void ShowCover();

    TStoryGenerator& generator_;
    TLibraryRef library_; // the game library; empty once it has gone
    TBook book_;
    std::string story_;
    TStoryOrigin origin_;
    int currentPage_ = 0;
    bool laidOut_ = false;
    std::string readOnShow_;
    TBookGeometry geometry_;
    QCursor surfaceCursor_; // the window's own (FormMouseMove)
    // The parts. Reading goes first, while the window it calls back is whole.
    std::unique_ptr<TPagePainter> painter_;
    std::unique_ptr<TLettersPart> letters_;
    std::unique_ptr<TCoverPart> cover_; // tiles the letters panel: goes first
    std::unique_ptr<TCommandsPart> commands_;
    std::unique_ptr<TTwistsPart> twists_;
    std::unique_ptr<TBookAccess> access_;
    std::unique_ptr<TReadToMePart> reading_;
    std::unique_ptr<TFocusFrame> focusFrame_;
};
