// TRecordVoicePart: a grown-up records the story in their own voice, sentence
// by sentence, and the book reads it back in that voice. It owns "Record my
// voice" (cmdRecordVoice, on story spreads left of the twists' button), the
// record mode's panel along the foot (pnlRecordVoice: Back, Record, Stop,
// Listen, Again, Next sentence, Done and the level meter prgRecordLevel), the
// microphone, the story's voice store while recording, and the game's voice,
// which it lends to the reader and to the alignment of each take.
//
// "Record my voice" is faded, its tooltip and description saying why, where
// the microphone is not available or the story is not saved yet (the
// recordings lie beside the story's file). Pressed, it opens record mode on
// the first sentence of the spread shown, lit on the page (its own page
// layer, drawn as the reader lights a sentence). Record starts a take, the
// meter following the microphone's level; Stop keeps it as the sentence's
// recording (TSentenceRecorder); Again records the sentence once more;
// Listen plays its recording; Next sentence and Back move along the story,
// turning the spread where the sentence lies on another. Done or Escape
// leaves record mode.
//
// Reading aloud uses the recorded voice: the reader's speech engine is a
// TRecordedVoiceSynth over the game's voice wherever the story shown has a
// voice folder, and the pace control is then faded for the whole story.
#pragma once
#include "book/BookSpread.h"
#include "book/forms/PageLayer.h"
#include "reading/StorySentences.h"
#include <QFrame>
#include <QObject>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class TBookHost;
class TListenAhead;
class TReadToMePart;
class TSentenceRecorder;
class TVoiceStore;
class TWaveMan;
namespace plat {
class AudioInput;
class LoudnessMeter;
class OpusCodec;
class SpeechSynth;
} // namespace plat

class TRecordVoicePart : public QObject, public TPageLayer {
public:
    // The game's voice as the part lends it: each borrower keeps it for as
    // long as it holds it, and one borrower speaks at a time.
    struct SharedVoice {
        std::unique_ptr<plat::SpeechSynth> synth;
        std::mutex turn;
    };
    // The sound id Listen plays under (apart from the reader's).
    static constexpr uint16_t kListenSoundId = 0xF100;

    // Host, Window and Reading outlive the part; the components are Window's
    // children. The microphone is the system's until SetMicrophone.
    TRecordVoicePart(TBookHost& host, QWidget& window, TReadToMePart& reading);
    ~TRecordVoicePart() override;
    TRecordVoicePart(const TRecordVoicePart&) = delete;
    TRecordVoicePart& operator=(const TRecordVoicePart&) = delete;

    // Replaces the microphone (tests give their own); leaves record mode.
    void SetMicrophone(std::unique_ptr<plat::AudioInput> microphone);
    // The game's voice (nullptr for none): the reader reads with it, mixed
    // with the story's recordings where it has some.
    void SetSpeechSynth(std::unique_ptr<plat::SpeechSynth> voice);
    // The wave manager Listen plays through (not owned, nullptr for none).
    void SetWaveManager(TWaveMan* manager) { waveManager_ = manager; }
    // The story shown, or the file it lies in, changed: leaves record mode
    // and gives the reader the voice for it.
    void StoryChanged();

    // Shows "Record my voice" on story spreads (Controls) and hides it
    // elsewhere; in record mode, moves the sentence onto the spread shown.
    void Show(const TBookSpread::Controls& controls);
    // "Record my voice", then the record mode's buttons.
    std::vector<QWidget*> TabStops();
    // Places the controls where the painter's foot leaves room.
    void Place();
    // The book was laid out again (a new window size): in record mode the
    // sentence keeps its place, lit where it now stands, its spread shown.
    void Relayout();

    bool RecordMode() const { return active_; }
    // The sentence record mode is on (an index into Sentences), -1 outside.
    int Sentence() const { return active_ ? sentence_ : -1; }
    const TStorySentences& Sentences() const { return sentences_; }

    // Handlers.
    void cmdRecordVoiceClick();
    void cmdRecordClick();
    void cmdStopRecordingClick();
    void cmdListenClick();
    void cmdAgainClick();
    void cmdNextSentenceClick();
    void cmdBackSentenceClick();
    void cmdDoneClick();

    // The record mode's sentence behind the text (TPageLayer).
    void DrawPageLayer(const TBook& book, plat::Canvas& canvas, int width, int page,
                       const char* text, bool left) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The story's file; "" when it is not saved.
    std::string StoryPath() const;
    // Asks the microphone whether it is there.
    void AskMicrophone();
    // Fades "Record my voice" with the reason it cannot be pressed.
    void NameRecordVoice();
    // Gives the reader the game's voice, over the story's recordings where
    // it has some.
    void GiveReaderVoice();
    // Moves to sentence I and shows its spread.
    void GoTo(int i);
    // The buttons enabled for the take and the sentence now.
    void ShowButtons();
    void StopListening();
    // Leaves record mode, the take not kept forgotten, without showing the
    // spread again.
    void Leave();
    // Takes the Tab from the window's controls the panel lies over (the
    // foot's: Read to me, the pace, the twists' button...), so that in
    // record mode it goes through the panel; Uncover gives it back.
    void Cover();
    void Uncover();

    QPushButton cmdRecordVoice; // "Record my voice"
    QFrame pnlRecordVoice;      // record mode's controls
    QPushButton cmdBackSentence, cmdRecord, cmdStopRecording, cmdListen, cmdAgain, cmdNextSentence,
        cmdDone;
    QProgressBar prgRecordLevel; // the microphone's level while recording

    TBookHost& host_;
    QWidget& window_;
    TReadToMePart& reading_;
    TWaveMan* waveManager_ = nullptr;
    std::unique_ptr<plat::AudioInput> microphone_;
    std::unique_ptr<plat::OpusCodec> codec_;
    std::unique_ptr<plat::LoudnessMeter> meter_;
    std::shared_ptr<SharedVoice> voice_; // lent to the reader and the recorder
    bool active_ = false;
    // The microphone's answer, asked when the book opens or the control
    // first shows after (not at every story or page turn: asking the sound
    // server takes a connection's round trips).
    std::optional<std::string> noMicrophone_; // why not; "" when there is one
    int sentence_ = 0;
    TStorySentences sentences_;
    // While in record mode: the story's voice, the microphone as the
    // recorder sees it (the meter told its level), the recorder.
    std::unique_ptr<TVoiceStore> store_;
    std::unique_ptr<plat::AudioInput> metered_;
    std::unique_ptr<plat::SpeechSynth> recorderVoice_; // the game's voice, borrowed
    std::unique_ptr<TSentenceRecorder> recorder_;
    std::unique_ptr<TListenAhead> listenAhead_; // the sentence's recording for Listen
    // The controls Cover took the Tab from, and the focus each took.
    std::vector<std::pair<QPointer<QWidget>, Qt::FocusPolicy>> covered_;
};
