// TFormBook: the storybook window, created once and shown modally by the
// main window's OpenTale. It shows one tale as an open book: the cover spread
// with the twist, name and new-story controls, the story spreads, and after
// the last page the commands that keep the story.
//
// The window holds the story, its layout (TBook), the spread shown and its
// parts (DESIGN.md draws them), which own their widgets, state, settings and
// timers and reach the window through TBookHost. Every change of what the
// pages show goes through ShowPages, which has each part show what the spread
// holds (TBookSpread::Controls). Every control is a Tab stop in reading order
// (OrderTabs); after a new or read-back story the focus is on "Read to me",
// or where there is none, on the right page.
#pragma once
#include <QDialog>
#include <functional>
#include <memory>
#include <string>

#include "book/Book.h"
#include "book/BookSpread.h"
#include "book/StoryOrigin.h"
#include "book/forms/BookHost.h"
#include "image/LibraryRef.h"
#include "platform/Settings.h"

class TBookAccess;
class TCommandsPart;
class TCoverPart;
class TFocusFrame;
class TFormShelf;
class TKeepsakesPart;
class TLettersPart;
class TPagePainter;
class TPageTurnPart;
class TReadAloud;
class TReadToMePart;
class TRecordVoicePart;
class TRL8Library;
class TStoryGenerator;
class TTwistsPart;
class TWaveMan;
namespace plat {
class AudioInput;
class SpeechSynth;
} // namespace plat

class TFormBook : public QDialog, public TBookHost {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 592;
    static constexpr int kClientHeight = 418;

    // Generator and Library belong to the main window and outlive this one.
    TFormBook(TStoryGenerator& generator, TRL8Library& library, QWidget* parent = nullptr);
    // Stops the voice and keeps whether the window is maximized.
    ~TFormBook() override;

    int TaleNumber = 0; // 1..10, set before the window is shown
    // Where saved stories lie, ending with a separator ("<Documents>/Fablewhirl
    // Stories/" unless replaced); a path in the system's encoding.
    std::string StoriesFolder;
    // The start-up library, realised when the window becomes active (not owned).
    TRL8Library* StartLibrary = nullptr;
    // Shows an error message (replaced in tests).
    ErrorSink ShowError;
    // Shows the shelf modally (replaced in tests).
    std::function<void(TFormShelf&)> ExecShelf;

    // The reader, and the wave manager (not owned) and speech engine it reads
    // with (nullptr for none). Each stops any reading.
    TReadAloud& Reader();
    void SetWaveManager(TWaveMan* manager);
    void SetSpeechSynth(std::unique_ptr<plat::SpeechSynth> synth);
    // The microphone record mode records from (the system's unless given).
    void SetMicrophone(std::unique_ptr<plat::AudioInput> microphone);
    // The screen readers' side.
    TBookAccess& Access() { return *access_; }

    // The one way a story comes into the book, from whatever origin: Text
    // is its lines joined by CR LF (Latin-1; empty clears the book).
    void SetStory(const std::string& text, const TStoryOrigin& origin);
    // Reads the story file at Path back for Tale (1..10), that tale's cover
    // first, and shows its first spread; letters it cannot show, it says so.
    // A talking book (".epub") is read as ReadTalkingBook does.
    void ReadStoryFile(int tale, const std::string& path);
    // Reads the talking book at Path back for Tale as ReadStoryFile does a
    // story, to be read aloud in the book's own voice and words' times
    // (TTalkingBookReader, TBookVoice); raises with the reason, the book as
    // it was, when it is no talking book the game can play.
    void ReadTalkingBook(int tale, const std::string& path);
    // Reads the story file at Path when the window is next shown, in place
    // of the cover (the main window's shelf opens a story so).
    void ReadOnShow(const std::string& path) { readOnShow_ = path; }
    // The saved story's full path in StoriesFolder.
    std::string SavedStoryPath() const;

    // Handlers.
    void FormShow();
    void FormResize();
    void cmdNewStoryClick();
    void cmdReadSavedClick();
    // Opens "My stories" on this tale (ExecShelf shows it).
    void cmdMyStoriesClick();

    // TBookHost.
    TBook& Book() override { return book_; }
    const std::string& StoryText() const override { return story_; }
    int CurrentPage() const override { return currentPage_; }
    // A story the generator told, at the cover's twist level.
    void SetStory(const std::string& text) override;
    void Relayout() override;
    void ShowPages(int n) override;
    TPagePainter& Painter() override { return *painter_; }
    const ErrorSink& Errors() const override { return ShowError; }
    const plat::Settings& Settings() const override { return settings_; }
    void RingControl(QWidget& control) override;
    int Tale() const override { return TaleNumber; }
    const std::string& Folder() const override { return StoriesFolder; }
    const TStoryOrigin& Origin() const override { return origin_; }
    TLettersPart& LettersPart() override { return *letters_; }
    TReadingPace::Pace ReadingPace() const override;
    int PageWidth() const override;
    void StorySaved(const std::string& path, const std::string& bytes) override;
    void PlayTalkingBook(const std::string& path) override { ReadTalkingBook(TaleNumber, path); }

    // Closed, the window gives its window-system window back: it leaves the
    // application's windows (and screen readers' tree) until shown again.
    void setVisible(bool visible) override;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void BuildForm();
    // The Tab order: the cover's controls top to bottom, then the spreads'.
    void OrderTabs();
    // ShowPages, and with FocusStory the focus to the story just shown.
    void ShowSpread(int n, bool focusStory);
    // The controls spread Page (0 the cover) shows.
    TBookSpread::Controls SpreadControls(int page) const;
    // Lays the story out for the page size and letters now.
    void Layout();
    // The cover's picture, line and names for TaleNumber.
    void ShowCover();

    TStoryGenerator& generator_;
    TLibraryRef library_; // the game library; empty once it has gone
    plat::Settings settings_;
    TBook book_;
    std::string story_;
    TStoryOrigin origin_;
    int currentPage_ = 0;
    bool laidOut_ = false;
    std::string readOnShow_;
    // The parts. Reading goes first, while the window it calls back is
    // whole; the focus frame last, after the controls it rings.
    std::unique_ptr<TFocusFrame> focusFrame_;
    std::unique_ptr<TPagePainter> painter_;
    std::unique_ptr<TPageTurnPart> turner_;
    std::unique_ptr<TLettersPart> letters_;
    std::unique_ptr<TCoverPart> cover_; // tiles the letters panel: goes first
    std::unique_ptr<TCommandsPart> commands_;
    std::unique_ptr<TKeepsakesPart> keepsakes_;
    std::unique_ptr<TTwistsPart> twists_;
    std::unique_ptr<TBookAccess> access_;
    // Lends the reader its voice: goes after it.
    std::unique_ptr<TRecordVoicePart> recordVoice_;
    std::unique_ptr<TReadToMePart> reading_;
};
