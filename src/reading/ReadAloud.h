// TReadAloud: reads the story of the book aloud, one sentence after another,
// and tells its owner (the storybook window) which line parts to highlight,
// when to repaint and when to turn the page. Each sentence is synthesized into
// PCM and played by the program's wave manager as a sound node like any game
// sound; the next sentence is synthesized on a worker thread while the
// current one plays. Everything else runs on the user-interface thread.
//
// Reading starts from the first sentence on the left page of the spread shown
// (on page 1 the title first; a sentence that began on the page before is
// read whole). When a sentence has been heard (its done message) the next one
// starts at once; when that one begins beyond the spread shown, the owner is
// asked to show the next spread. After the last sentence the reader stops,
// on the spread with the commands (turning to it when the story ends on a
// right-hand page). Stop ends the sound and the highlight at once.
//
// The word being spoken is lit inside the sentence's highlight: the words
// the synthesizer says (with their times) are mapped onto the sentence's
// words on the page (TWordTimes), and Follow, called by the window's timer,
// asks the sound's played position and lights the word heard. A sentence
// whose words cannot be mapped keeps its sentence highlight alone.
//
// Pause ends the voice at once and keeps the sentence and the lit word lit;
// GoOn reads again from the start of that sentence. The sound of the
// sentence being read (its parts, with their word times) is kept while it is
// read, so going on plays it again at once, without synthesizing it again,
// unless the pace changed while paused. Stop ends a paused reading too. The
// pace (SetPace) takes effect from the next sentence: the sentence
// synthesized ahead is made again at the new pace.
//
// Starting or ending a sound may run the event loop (an audio server's output
// can wait for its stream to close), so the player's next press, a page turn
// or a done message may arrive in the middle of a Start, Stop or the step to
// the next sentence. The reader takes its new state before it calls into the
// wave manager; a Stop that arrives while a sound is being started is carried
// out once it has started. Quick presses thus end as the last one asked.
//
// So that the voice starts soon, a long first sentence is spoken in two parts,
// split after an early comma or semicolon, where a short pause belongs; the
// second part is synthesized while the first plays.
//
// Wiring in the window:
//   reader shown:    HasVoice() on story spreads, pressable when Available(WaveManager)
//   button:          Speaking: Pause(); Paused: GoOn(); idle: Start(*WaveManager, Book,
//                    text, CurrentPage)
//   page painting:   DrawHighlight(Book, canvas, width, page, text) before DrawPage
//   player actions:  Stop() (turning, new story, saved story, closing)
//   new layout:      Relayout(Book) after Paginate with the same text
//   while speaking:  Follow() from a timer, again after the time it returns
#pragma once
#include <cstdint>
#include <future>
#include <memory>
#include <mutex>
#include <vector>

#include "book/Book.h"
#include "platform/Canvas.h"
#include "platform/SpeechSynth.h"
#include "reading/ReadAloudOwner.h"
#include "reading/StorySentences.h"
#include "reading/WordTimes.h"
#include "sound/WaveDoneListener.h"
#include "sound/WaveMan.h"

class TReadAloud : public TWaveDoneListener {
public:
    // Sound ids of the sentences: kFirstSoundId onwards, kSoundIds in turn.
    static constexpr uint16_t kFirstSoundId = 0xF000;
    static constexpr uint16_t kSoundIds = 256;
    // A first sentence longer than this is split after its first comma or
    // semicolon that has kSplitMin to kSplitMax characters before it.
    static constexpr std::size_t kSplitLonger = 80;
    static constexpr std::size_t kSplitMin = 16;
    static constexpr std::size_t kSplitMax = 60;

    // Owner outlives the reader. Synth may be nullptr (no speech engine):
    // the reader is then never available.
    TReadAloud(TReadAloudOwner& owner, std::unique_ptr<plat::SpeechSynth> synth);
    // Stops, then waits for a synthesis still running on the worker.
    ~TReadAloud() override;
    TReadAloud(const TReadAloud&) = delete;
    TReadAloud& operator=(const TReadAloud&) = delete;

    // A speech engine exists.
    bool HasVoice() const { return synth_ != nullptr; }
    // A speech engine exists and Manager can play a sound the player asked
    // for (TWaveMan::CanPlayAsked: a device, whether the sound switch is on
    // or off). While sound is wanted but had no device, Manager looks for
    // one again (TWaveMan::LookAgain): the window asks this whenever "Read
    // to me" may be shown, so an audio output that comes later is found then.
    bool Available(TWaveMan* manager) const;
    // Reading, speaking or paused.
    bool Reading() const { return reading_; }
    bool Paused() const { return reading_ && paused_; }
    TReadState State() const {
        return !reading_ ? TReadState::Idle : paused_ ? TReadState::Paused : TReadState::Speaking;
    }

    // Starts reading Text, laid out in Book's pages, from the spread whose
    // left page is LeftPage (1, 3, 5, ...), stopping any reading first.
    // Manager must outlive the reading (Stop ends it). False, and not
    // reading, when the reader is not available, the spread holds nothing to
    // read, the first sentence cannot be spoken or played, or a Stop came
    // while it started. Called while a sound is being started, or when a
    // reading began while the one before ended, it leaves that reading and
    // returns Reading(). The reader keeps copies of what it needs: Text and
    // Book may change after Stop.
    bool Start(TWaveMan& manager, const TBook& book, const char* text, int leftPage);
    // Ends the sound and the highlight at once (the owner is asked to repaint
    // the pages that were lit). Nothing when not reading, or while the owner
    // is showing a spread for the reader; while a sound is being started, it
    // ends the reading as soon as the sound has started.
    void Stop();
    // Ends the voice at once and keeps the highlight and the lit word.
    // Nothing unless speaking; while a sound is being started, it pauses as
    // soon as the sound has started.
    void Pause();
    // Reads on from the start of the paused sentence, from its kept sound
    // when it was made at the pace asked for now. False, and stopped,
    // when it cannot be spoken or played; false, and nothing done, when not
    // paused.
    bool GoOn();
    // Stretch of the voice's sounds for the sentences synthesized from now on.
    void SetPace(float stretch);
    float Pace() const { return stretch_; }
    // Lights the word heard at the sound's played position. Returns the
    // milliseconds until the lit word may change next; -1 when that is not
    // known (nothing being spoken, no position, no word times, or past the
    // last word of the sound).
    int64_t Follow();
    // The played position of the sound being spoken, in milliseconds; -1
    // when nothing plays or the device cannot tell.
    int64_t Position() const;
    // The word times of the sound being spoken.
    const TWordTimes& Times() const { return times_; }
    // The book was laid out again from the same text: the highlight follows
    // the new lines, and the owner is asked to show the spread that holds
    // the sentence being read.
    void Relayout(const TBook& book);

    // Line parts of the sentence being read; empty when not reading.
    const std::vector<TLinePart>& Highlight() const;
    // The lit word, an index into the sentence's words (-1 for none), and
    // its line parts (empty for none).
    int LitWord() const { return litWord_; }
    const std::vector<TLinePart>& LitParts() const;
    // Fills the highlight of page Page behind its text, the lit word over
    // the sentence's: call before Book.DrawPage with the same canvas, width,
    // margins and text.
    void DrawHighlight(const TBook& book, plat::Canvas& canvas, int width, int page,
                       const char* text) const;

    // Index (into the sentences) of the sentence being read; -1 when none.
    int CurrentSentence() const { return reading_ ? units_[current_].sentence : -1; }
    const TStorySentences& Sentences() const { return sentences_; }
    // Left page of the spread the reader is on.
    int LeftPage() const { return leftPage_; }

    // From the wave manager: a sound has been heard.
    void WaveSoundDone(uint16_t id) override;

private:
    // What is spoken as one sound: a sentence, or a part of the first one.
    struct Unit {
        int sentence = 0;
        std::string text;
        int firstWord = 0; // of the sentence's words, the first this text holds
        int wordCount = 0;
    };
    // Units_ from sentence First on, the first one split.
    void BuildUnits(int first);
    // Text in the parts it is spoken in when it is the first sentence read.
    static std::vector<std::string> SplitFirst(const std::string& text);
    struct Spoken {
        int index = -1;
        bool ok = false;
        float stretch = 0;
        plat::SpeechPcm pcm;
    };
    // Synthesizes Text as unit Index at Stretch (on any thread).
    Spoken Synthesize(int index, const std::string& text, float stretch);
    // The first unit from Index on that can be spoken (synthesized here
    // unless it is the one synthesized ahead); index -1 when none is left.
    Spoken NextSpoken(int index);
    void SpeakAhead(int index);
    // Spoken, made already, as the one ahead.
    void AheadMade(const Spoken& spoken);
    void DropAhead();
    bool Play(const Spoken& spoken);
    // Play with Starting set: the reader's state is taken already.
    bool PlayUnit(const Spoken& spoken);
    // Carries out a Stop or Pause that came while a sound started.
    void StopIfWanted();
    // Plays the first unit that can be spoken, as Start and GoOn do; false,
    // with the state as it was, when none can be.
    bool Begin();
    // Plays the kept sound of the paused sentence from its start, as Begin.
    bool Replay();
    // The kept sound can be played for the pace asked for now.
    bool CanReplay() const;
    // A unit has begun: its word times, and no word lit until it is heard;
    // its sound is kept with the rest of its sentence's.
    void UnitStarted(Spoken&& spoken);
    void SetLit(int word);
    void Finish(bool toCommands);
    void RepaintParts(const std::vector<TLinePart>& parts);
    void ShowSpread(int leftPage);
    static int SpreadOf(int page) { return page < 1 ? 1 : page - (page + 1) % 2; }

    TReadAloudOwner& owner_;
    std::unique_ptr<plat::SpeechSynth> synth_;
    std::mutex synthMutex_;       // one synthesis at a time (the worker and Start)
    TWaveMan* manager_ = nullptr; // while reading
    TStorySentences sentences_;
    int pageCount_ = 0;
    int leftPage_ = 1;
    std::vector<Unit> units_; // from the first sentence read on
    int current_ = -1;        // index into units_
    bool reading_ = false;
    bool showing_ = false;  // inside the owner's ReadAloudShowSpread
    bool starting_ = false; // inside Play: the wave manager may run the event loop
    enum class Wanted { None, Stop, Pause };
    Wanted wanted_ = Wanted::None; // a Stop or Pause came while starting_
    bool paused_ = false;
    float stretch_ = plat::SpeechSynth::kNormalStretch;
    TWordTimes times_; // of the unit playing
    // The units of the sentence being read that have begun, in order: what
    // going on after a pause plays again.
    std::vector<Spoken> said_;
    int litWord_ = -1;
    uint16_t soundId_ = 0; // of the sentence being read
    uint16_t nextSerial_ = 0;
    std::future<Spoken> ahead_;                // the next sentence, being synthesized
    std::vector<std::future<Spoken>> dropped_; // syntheses no longer wanted
};
