// The read-aloud state machine.
#include "reading/ReadAloud.h"

#include <algorithm>
#include <chrono>
#include <exception>
#include <new>
#include <system_error>

#include "base/AbortException.h"
#include "platform/WaveTypes.h"
#include "reading/ReadHighlight.h"
#include "sound/SoundNode.h"

TReadAloud::TReadAloud(TReadAloudOwner& owner, std::unique_ptr<plat::SpeechSynth> synth)
    : owner_(owner), synth_(std::move(synth)) {}

TReadAloud::~TReadAloud() {
    showing_ = false;
    starting_ = false;
    Stop();
    DropAhead();
    for (std::future<Spoken>& f : dropped_)
        f.wait();
}

bool TReadAloud::Available(TWaveMan* manager) const {
    return synth_ && manager && manager->CanPlayAsked();
}

const std::vector<TLinePart>& TReadAloud::Highlight() const {
    static const std::vector<TLinePart> none;
    return reading_ ? sentences_.Items[units_[current_].sentence].Parts : none;
}

const std::vector<TLinePart>& TReadAloud::LitParts() const {
    static const std::vector<TLinePart> none;
    if (!reading_ || litWord_ < 0)
        return none;
    const TSentence& s = sentences_.Items[units_[current_].sentence];
    return litWord_ < static_cast<int>(s.Words.size()) ? s.Words[litWord_].Parts : none;
}

void TReadAloud::DrawHighlight(const TBook& book, plat::Canvas& canvas, int width, int page,
                               const char* text) const {
    if (!reading_)
        return;
    TReadHighlight::Draw(book, canvas, width, page, Highlight(), text);
    TReadHighlight::Draw(book, canvas, width, page, LitParts(), text, TReadHighlight::kWordColour);
}

bool TReadAloud::Start(TWaveMan& manager, const TBook& book, const char* text, int leftPage) {
    if (showing_)
        return false;
    if (starting_) // the reading being started stands
        return reading_;
    Stop();
    if (reading_) // a press handled while the last sound ended started one
        return true;
    if (!Available(&manager) || !text)
        return false;
    sentences_.Build(text, book.Pages);
    pageCount_ = book.PageCount();
    leftPage_ = SpreadOf(leftPage);
    const int first = sentences_.FirstFrom(leftPage_);
    if (first < 0)
        return false;
    said_.clear();
    BuildUnits(first);
    manager_ = &manager;
    if (!Begin()) {
        manager_ = nullptr;
        return false;
    }
    manager.AddListener(this);
    owner_.ReadAloudStateChanged(TReadState::Speaking);
    const int page = sentences_.FirstPage(units_[current_].sentence);
    if (page > leftPage_ + 1)
        ShowSpread(SpreadOf(page));
    RepaintParts(Highlight());
    StopIfWanted();
    return reading_;
}

void TReadAloud::BuildUnits(int first) {
    units_.clear();
    int firstWord = 0;
    for (const std::string& part : SplitFirst(sentences_.Items[first].Speech)) {
        const int count = TStorySentences::CountWords(part);
        units_.push_back(Unit{first, part, firstWord, count});
        firstWord += count;
    }
    for (int i = first + 1; i < static_cast<int>(sentences_.Items.size()); ++i) {
        const TSentence& s = sentences_.Items[i];
        units_.push_back(Unit{i, s.Speech, 0, static_cast<int>(s.Words.size())});
    }
}

bool TReadAloud::Begin() {
    Spoken spoken = NextSpoken(0);
    if (spoken.index < 0)
        return false;
    // Reading from here on, also for whatever the sound's start lets happen.
    reading_ = true;
    paused_ = false;
    current_ = spoken.index;
    litWord_ = -1;
    if (!PlayUnit(spoken)) {
        reading_ = false;
        current_ = -1;
        wanted_ = Wanted::None;
        return false;
    }
    UnitStarted(std::move(spoken));
    SpeakAhead(current_ + 1);
    return true;
}

bool TReadAloud::CanReplay() const {
    return !said_.empty() && std::all_of(said_.begin(), said_.end(),
                                         [&](const Spoken& s) { return s.stretch == stretch_; });
}

bool TReadAloud::Replay() {
    reading_ = true;
    paused_ = false;
    current_ = said_.front().index;
    litWord_ = -1;
    if (!PlayUnit(said_.front())) {
        reading_ = false;
        current_ = -1;
        wanted_ = Wanted::None;
        return false;
    }
    const Unit& unit = units_[current_];
    times_.Map(said_.front().pcm.Words, unit.firstWord, unit.wordCount);
    if (said_.size() > 1)
        AheadMade(said_[1]);
    else
        SpeakAhead(current_ + 1);
    return true;
}

void TReadAloud::UnitStarted(Spoken&& spoken) {
    const Unit& unit = units_[spoken.index];
    times_.Map(spoken.pcm.Words, unit.firstWord, unit.wordCount);
    if (!said_.empty() && units_[said_.front().index].sentence != unit.sentence)
        said_.clear();
    // A part kept already (played again after a pause) stays as it is.
    if (said_.empty() || said_.back().index < spoken.index)
        said_.push_back(std::move(spoken));
}

void TReadAloud::Stop() {
    if (!reading_ || showing_)
        return;
    if (starting_) {
        wanted_ = Wanted::Stop;
        return;
    }
    // The reader is stopped before the sound ends: ending it may run the
    // event loop, and a press handled there must find the reader idle. The
    // node is freed last, when nothing of this reading is left to do.
    TSoundNode* node = soundId_ ? manager_->FindSound(soundId_) : nullptr;
    if (node)
        manager_->Sounds.Remove(node);
    const std::unique_ptr<TSoundNode> gone(node); // ours once unlinked
    Finish(false);
}

void TReadAloud::Pause() {
    if (!reading_ || paused_ || showing_)
        return;
    if (starting_) {
        wanted_ = Wanted::Pause;
        return;
    }
    // As Stop: paused before the sound ends, the node freed last.
    paused_ = true;
    TSoundNode* node = soundId_ ? manager_->FindSound(soundId_) : nullptr;
    soundId_ = 0;
    if (node)
        manager_->Sounds.Remove(node);
    const std::unique_ptr<TSoundNode> gone(node);
    DropAhead();
    times_.Clear();
    owner_.ReadAloudStateChanged(TReadState::Paused);
}

bool TReadAloud::GoOn() {
    if (!reading_ || !paused_ || showing_ || starting_)
        return false;
    const std::vector<TLinePart> lit = LitParts();
    litWord_ = -1; // lit again when the voice comes to it
    int from = 0;  // the unit the paused sentence starts with
    bool began = false;
    if (CanReplay()) {
        from = said_.front().index;
        began = Replay();
    } else {
        said_.clear();
        BuildUnits(units_[current_].sentence);
        began = Begin();
    }
    if (!began) {
        reading_ = true; // stopped as a Stop does, from the paused sentence
        paused_ = false;
        current_ = from;
        Finish(false);
        return false;
    }
    owner_.ReadAloudRepaintParts(lit);
    owner_.ReadAloudStateChanged(TReadState::Speaking);
    StopIfWanted();
    return reading_ && !paused_;
}

void TReadAloud::SetPace(float stretch) {
    if (stretch == stretch_)
        return;
    stretch_ = stretch;
    // The sentence made ahead is made again, unless it is the rest of the
    // sentence being spoken.
    const int next = current_ + 1;
    if (reading_ && !paused_ && next < static_cast<int>(units_.size()) &&
        units_[next].sentence != units_[current_].sentence)
        SpeakAhead(next);
}

int64_t TReadAloud::Position() const {
    if (!reading_ || paused_ || !soundId_)
        return -1;
    TSoundNode* node = manager_->FindSound(soundId_);
    return node && node->Playing ? node->GetPosition() : -1;
}

int64_t TReadAloud::Follow() {
    if (!reading_ || paused_ || starting_ || !soundId_)
        return -1;
    int lit = -1;
    int64_t next = -1;
    if (times_.Matched()) {
        if (const int64_t ms = Position(); ms >= 0) {
            lit = times_.LitAt(ms);
            next = times_.NextChange(ms);
        }
    }
    SetLit(lit);
    return next;
}

void TReadAloud::SetLit(int word) {
    if (word == litWord_)
        return;
    const std::vector<TLinePart> dark = LitParts();
    litWord_ = word;
    std::vector<TLinePart> parts = dark;
    const std::vector<TLinePart>& lit = LitParts();
    parts.insert(parts.end(), lit.begin(), lit.end());
    owner_.ReadAloudRepaintParts(parts);
}

void TReadAloud::Relayout(const TBook& book) {
    if (!reading_)
        return;
    const std::vector<TLinePart> old = Highlight();
    sentences_.Map(book.Pages);
    pageCount_ = book.PageCount();
    const std::vector<TLinePart>& parts = Highlight();
    const bool shown = std::any_of(parts.begin(), parts.end(), [&](const TLinePart& p) {
        return p.Page == leftPage_ || p.Page == leftPage_ + 1;
    });
    if (!shown && !parts.empty())
        ShowSpread(SpreadOf(parts.front().Page));
    RepaintParts(old);
    RepaintParts(Highlight());
}

void TReadAloud::WaveSoundDone(uint16_t id) {
    if (!reading_ || starting_ || id != soundId_)
        return;
    Spoken spoken = NextSpoken(current_ + 1);
    if (spoken.index < 0) {
        Finish(true);
        return;
    }
    const int heard = current_;
    const std::vector<TLinePart> wasLit = LitParts();
    soundId_ = 0;
    current_ = spoken.index;
    litWord_ = -1;
    times_.Clear();
    if (!PlayUnit(spoken)) {
        current_ = heard; // its highlight is the one shown
        wanted_ = Wanted::None;
        Finish(false);
        return;
    }
    UnitStarted(std::move(spoken));
    const std::vector<TLinePart> old = sentences_.Items[units_[heard].sentence].Parts;
    const bool sameSentence = units_[current_].sentence == units_[heard].sentence;
    SpeakAhead(current_ + 1);
    if (sameSentence) {
        owner_.ReadAloudRepaintParts(wasLit);
    } else {
        const int page = sentences_.FirstPage(units_[current_].sentence);
        if (page > leftPage_ + 1)
            ShowSpread(SpreadOf(page));
        RepaintParts(old);
        RepaintParts(Highlight());
    }
    StopIfWanted();
}

bool TReadAloud::PlayUnit(const Spoken& spoken) {
    starting_ = true;
    const bool played = Play(spoken);
    starting_ = false;
    return played;
}

void TReadAloud::StopIfWanted() {
    const Wanted wanted = wanted_;
    wanted_ = Wanted::None;
    if (wanted == Wanted::Stop)
        Stop();
    else if (wanted == Wanted::Pause)
        Pause();
}

std::vector<std::string> TReadAloud::SplitFirst(const std::string& text) {
    if (text.size() > kSplitLonger) {
        for (std::size_t i = kSplitMin; i <= kSplitMax && i + 1 < text.size(); ++i) {
            if ((text[i] == ',' || text[i] == ';') && text[i + 1] == ' ') {
                const std::size_t rest = text.find_first_not_of(' ', i + 1);
                if (rest != std::string::npos)
                    return {text.substr(0, i + 1), text.substr(rest)};
            }
        }
    }
    return {text};
}

TReadAloud::Spoken TReadAloud::Synthesize(int index, const std::string& text, float stretch) {
    Spoken out;
    out.index = index;
    out.stretch = stretch;
    std::lock_guard<std::mutex> lock(synthMutex_);
    try {
        out.ok = synth_->Synthesize(text, stretch, out.pcm) && !out.pcm.Samples.empty() &&
                 out.pcm.SampleRate > 0;
    } catch (const std::exception&) { // out of memory: the sentence is passed over
        out.ok = false;
    }
    return out;
}

TReadAloud::Spoken TReadAloud::NextSpoken(int index) {
    const int count = static_cast<int>(units_.size());
    for (; index < count; ++index) {
        Spoken spoken;
        if (ahead_.valid()) {
            spoken = ahead_.get();
            if (spoken.index != index)
                spoken = Synthesize(index, units_[index].text, stretch_);
        } else {
            spoken = Synthesize(index, units_[index].text, stretch_);
        }
        // A sentence the engine cannot say (only punctuation) is passed over.
        if (spoken.ok)
            return spoken;
    }
    return Spoken{};
}

void TReadAloud::SpeakAhead(int index) {
    DropAhead();
    if (index >= static_cast<int>(units_.size()))
        return;
    try {
        ahead_ = std::async(std::launch::async,
                            [this, index, text = units_[index].text, stretch = stretch_] {
                                return Synthesize(index, text, stretch);
                            });
    } catch (const std::system_error&) {
        // No thread to be had: the sentence is synthesized when it is due.
    }
}

void TReadAloud::AheadMade(const Spoken& spoken) {
    DropAhead();
    try {
        std::promise<Spoken> made;
        made.set_value(spoken);
        ahead_ = made.get_future();
    } catch (const std::bad_alloc&) {
        // No room for a copy: the part is synthesized when it is due.
    }
}

void TReadAloud::DropAhead() {
    std::erase_if(dropped_, [](const std::future<Spoken>& f) {
        return f.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
    });
    if (ahead_.valid())
        dropped_.push_back(std::move(ahead_));
}

bool TReadAloud::Play(const Spoken& spoken) {
    const uint32_t rate = spoken.pcm.SampleRate;
    const plat::WaveFormat format{plat::kWaveFormatPcm, 1, rate, rate * 2, 2, 16, 0};
    const uint16_t id = kFirstSoundId + nextSerial_++ % kSoundIds;
    manager_->Sounds.Delete(manager_->FindSound(id)); // a sentence 256 sounds ago
    try {
        auto node = std::make_unique<TSoundNode>(format, spoken.pcm.Samples.data(),
                                                 spoken.pcm.Samples.size() * sizeof(int16_t),
                                                 sfAutoFree, id);
        // At the head of the list: ahead of any game sound waiting to play.
        manager_->Sounds.AddFirst(node.release());
    } catch (const EAbort&) {
        return false;
    }
    // A game sound that plays is stopped; a loop comes back after the reading.
    // The voice is the player's own request: the sound switch does not quiet it.
    if (!manager_->PlaySound(id, poStopSound | poStopLoop | poAsked, false)) {
        manager_->Sounds.Delete(manager_->FindSound(id)); // refused but kept
        return false;
    }
    soundId_ = id;
    return true;
}

void TReadAloud::Finish(bool toCommands) {
    const std::vector<TLinePart> old = Highlight();
    reading_ = false;
    paused_ = false;
    current_ = -1;
    litWord_ = -1;
    times_.Clear();
    said_.clear();
    soundId_ = 0;
    manager_->RemoveListener(this);
    manager_ = nullptr;
    DropAhead();
    RepaintParts(old);
    if (toCommands) {
        // The commands stand on the spread whose left page is the last page
        // (odd count) or the one after it (even count).
        const int commands = SpreadOf(pageCount_ + 1);
        if (commands != leftPage_)
            ShowSpread(commands);
    }
    owner_.ReadAloudStateChanged(TReadState::Idle);
}

void TReadAloud::RepaintParts(const std::vector<TLinePart>& parts) {
    int last = 0;
    for (const TLinePart& p : parts)
        if (p.Page != last) {
            owner_.ReadAloudRepaintPage(p.Page);
            last = p.Page;
        }
}

void TReadAloud::ShowSpread(int leftPage) {
    leftPage_ = leftPage;
    showing_ = true;
    owner_.ReadAloudShowSpread(leftPage);
    showing_ = false;
}
