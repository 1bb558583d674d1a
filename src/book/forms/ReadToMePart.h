// TReadToMePart: the storybook's reading aloud. It owns the "Read to me"
// button (a third of the library image "readtome": idle at x 0, speaking at
// x 50, paused at x 100, standing between the page arrows), the pace control
// right of it ("readpace", three cells, the chosen one from the lit half;
// "Book"/"ReadingPace" keeps the pace), the timer that follows the voice,
// and the reader (TReadAloud). Both controls are Tab stops with the focus
// ring on their pictures: Space or Enter presses the button; the arrow keys
// choose the pace.
//
// While the voice speaks, tmrReadAlong asks TReadAloud::Follow, which reads
// the sound's played position and asks for a repaint of the parts of the word
// that went dark and the one lit; the part has the page painter draw those
// rectangles again (the same routine that draws a whole page, clipped). The
// timer comes back when the next word is due (4 to 40 ms). The highlight is
// the painter's read-highlight layer.
#pragma once
#include <QImage>
#include <QObject>
#include <QTimer>
#include <memory>
#include <vector>

#include "book/BookFoot.h"
#include "book/BookSpread.h"
#include "book/forms/PageLayer.h"
#include "image/LibraryImage.h"
#include "reading/ReadAloud.h"
#include "reading/ReadAloudOwner.h"
#include "reading/ReadingPace.h"
#include "ui/PaintBox.h"

class TBookHost;
class TRL8Library;
class TWaveMan;
namespace plat {
class SpeechSynth;
}

class TReadToMePart : public QObject, public TReadAloudOwner, public TPageLayer {
public:
    static constexpr int kWidth = TBookFoot::kReadToMeWidth; // the picture's cells
    static constexpr int kHeight = TBookFoot::kReadToMeHeight;

    // Host and Window outlive the part; the components are Window's
    // children. Library gives the pictures (no button without them).
    TReadToMePart(TBookHost& host, QWidget& window, TRL8Library& library);
    ~TReadToMePart() override;

    TReadAloud& Reader() { return *reader_; }
    // The wave manager the voice plays through (not owned, nullptr for
    // none); stops any reading.
    void SetWaveManager(TWaveMan* manager);
    // Replaces the speech engine (nullptr for none); stops any reading.
    // While a book's own voice reads, the engine is kept for after it.
    void SetSpeechSynth(std::unique_ptr<plat::SpeechSynth> synth);
    // Reads in Voice, a talking book's own (TBookVoice), until called with
    // nullptr, which brings the speech engine's reader back; stops any
    // reading. While the book's voice reads, the pace control shows faded,
    // saying that the book reads at its own pace.
    void UseBookVoice(std::unique_ptr<plat::SpeechSynth> voice);
    bool BookVoice() const { return ownReader_ != nullptr; }
    // The speech engine reads the story's recorded sentences in a grown-up's
    // voice (TRecordedVoiceSynth): the pace control shows faded, saying so,
    // from the next Show on.
    void SetRecordedVoice(bool recorded);
    // Whether the pace is the voice's own (a book's voice or a recorded one).
    bool OwnPace() const { return BookVoice() || recorded_; }
    // Ends the reading, if any.
    void Stop();
    // The player turns to the spread of LeftPage: a voice that was speaking
    // goes on from the first sentence of that spread; a paused one ends.
    void Turn(int leftPage);
    // Whether "Read to me" is offered: a voice, a wave manager and the
    // button's picture.
    bool CanRead() const;
    // Shows the controls on the spreads that offer them (Controls) and hides
    // them elsewhere. Shown, they can be pressed where an audio output
    // exists, whether the scene's sound is on or off; without one they show
    // faded, with the reason as their tooltip.
    void Show(const TBookSpread::Controls& controls);
    // "Read to me", then the pace.
    std::vector<QWidget*> TabStops();
    // Gives "Read to me" the keyboard focus where it can be pressed; false
    // when it cannot.
    bool TakeFocus();
    // Places the controls where the painter's foot puts them.
    void Place();
    // Draws the controls' pictures over the book behind them.
    void Draw();
    // The book was laid out again from the same text.
    void Relayout();

    // Handlers.
    void pbxReadToMeClick();
    void pbxReadPaceClick(int x); // X within the control shown at scale 1
    // A key on the pace control: Left or Up the slower pace, Right or Down
    // the quicker one (none past either end), Space or Enter the next pace
    // round; false for any other key.
    bool pbxReadPaceKeyDown(int key);
    // The next pace after the one chosen, quick going round to slow (the
    // control's press for screen readers).
    void StepReadingPace();
    void tmrReadAlongTimer();

    // What the button and the pace control show.
    const QImage& ReadToMePicture() const { return readToMeImage_; }
    const QImage& ReadPacePicture() const { return readPaceImage_; }
    TReadingPace::Pace ReadingPace() const { return pace_; }

    // The reader's requests (TReadAloudOwner).
    void ReadAloudShowSpread(int leftPage) override;
    void ReadAloudRepaintPage(int page) override;
    void ReadAloudRepaintParts(const std::vector<TLinePart>& parts) override;
    void ReadAloudStateChanged(TReadState state) override;
    // The highlight and the lit word (TPageLayer).
    void DrawPageLayer(const TBook& book, plat::Canvas& canvas, int width, int page,
                       const char* text, bool left) override;

private:
    void Show(bool show);
    // Starts reading at the spread shown.
    void ReadShownSpread();
    void DrawReadToMe();
    void DrawReadPace();
    // Names the button for what a press does now, or for why it cannot be
    // pressed.
    void NameReadToMe();
    // The pace control's tooltip and description for the voice now.
    void NamePace();

    TPaintBox pbxReadToMe; // "Read to me"
    TPaintBox pbxReadPace; // the reading pace, right of "Read to me"
    QTimer tmrReadAlong;   // lights the word heard while the voice speaks
    TBookHost& host_;
    QWidget& window_;
    TLibraryImage readToMePicture_; // "readtome"; empty without it
    TLibraryImage readPacePicture_; // "readpace"; empty without it
    QImage readToMeImage_;          // the button over the book behind it
    QImage readPaceImage_;          // the pace control over the book behind it
    TReadingPace::Pace pace_ = TReadingPace::Pace::Normal;
    TWaveMan* waveManager_ = nullptr;
    bool recorded_ = false; // the engine reads recorded sentences
    // The speech engine's reader, kept while a book's voice reads.
    std::unique_ptr<TReadAloud> ownReader_;
    // Last member: goes first, while the part it calls back is whole.
    std::unique_ptr<TReadAloud> reader_;
};
