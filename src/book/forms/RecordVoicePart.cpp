// TRecordVoicePart: recording the story in a grown-up's voice, and reading it
// back in that voice.
#include "book/forms/RecordVoicePart.h"

#include <QEvent>
#include <QKeyEvent>
#include <algorithm>
#include <mutex>

#include "book/StoryOrigin.h"
#include "book/forms/BookHost.h"
#include "book/forms/PagePainter.h"
#include "book/forms/ReadToMePart.h"
#include "platform/AudioInput.h"
#include "platform/LoudnessMeter.h"
#include "platform/OpusCodec.h"
#include "platform/SpeechSynth.h"
#include "platform/qt/SystemAudioInput.h"
#include "reading/ReadHighlight.h"
#include "shelf/StoryVoice.h"
#include "sound/SoundNode.h"
#include "sound/WaveMan.h"
#include "ui/RunHandler.h"
#include "voice/ListenAhead.h"
#include "voice/RecordedVoiceSynth.h"
#include "voice/SentenceRecorder.h"
#include "voice/VoiceStore.h"

namespace {

constexpr const char* kRecordVoice = "Record my voice";
constexpr const char* kSaveFirst = "Save the story first: the recordings are kept beside it";

// The game's voice lent to another owner: it says what the voice says, one
// borrower at a time (the reader's worker thread and the recorder's
// alignment share it), and goes without it.
class BorrowedVoice : public plat::SpeechSynth {
public:
    explicit BorrowedVoice(std::shared_ptr<TRecordVoicePart::SharedVoice> voice)
        : voice_(std::move(voice)) {}
    using plat::SpeechSynth::Synthesize;
    bool Synthesize(const std::string& text, float stretch, plat::SpeechPcm& out) override {
        const std::lock_guard<std::mutex> lock(voice_->turn);
        return voice_->synth->Synthesize(text, stretch, out);
    }

private:
    std::shared_ptr<TRecordVoicePart::SharedVoice> voice_;
};

// The system's voice, shared; none without one.
std::shared_ptr<TRecordVoicePart::SharedVoice> Share(std::unique_ptr<plat::SpeechSynth> synth) {
    if (!synth)
        return nullptr;
    auto voice = std::make_shared<TRecordVoicePart::SharedVoice>();
    voice->synth = std::move(synth);
    return voice;
}

// The microphone with its level also told to the meter: the recorder's
// handlers get everything as before.
class MeteredInput : public plat::AudioInput {
public:
    MeteredInput(plat::AudioInput& input, std::function<void(float)> level)
        : input_(input), level_(std::move(level)) {}
    bool Available(std::string* why = nullptr) override { return input_.Available(why); }
    bool Start(Handlers handlers, std::string* why = nullptr) override {
        handlers.Level = [inner = std::move(handlers.Level), level = level_](float peak) {
            if (inner)
                inner(peak);
            level(peak);
        };
        return input_.Start(std::move(handlers), why);
    }
    void Stop() override { input_.Stop(); }
    bool Recording() const override { return input_.Recording(); }

private:
    plat::AudioInput& input_;
    std::function<void(float)> level_;
};

} // namespace

TRecordVoicePart::TRecordVoicePart(TBookHost& host, QWidget& window, TReadToMePart& reading)
    : cmdRecordVoice(&window), pnlRecordVoice(&window), cmdBackSentence(&pnlRecordVoice),
      cmdRecord(&pnlRecordVoice), cmdStopRecording(&pnlRecordVoice), cmdListen(&pnlRecordVoice),
      cmdAgain(&pnlRecordVoice), cmdNextSentence(&pnlRecordVoice), cmdDone(&pnlRecordVoice),
      prgRecordLevel(&pnlRecordVoice), host_(host), window_(window), reading_(reading),
      microphone_(plat::CreateSystemAudioInput()), codec_(plat::CreateOpusCodec()),
      meter_(plat::CreateLoudnessMeter()), voice_(Share(plat::CreateSystemSpeechSynth())) {
    setParent(&window);
    setObjectName("RecordVoicePart");
    cmdRecordVoice.setObjectName("cmdRecordVoice");
    cmdRecordVoice.setText(kRecordVoice);
    cmdRecordVoice.setAccessibleName(kRecordVoice);
    cmdRecordVoice.setFocusPolicy(Qt::StrongFocus);
    cmdRecordVoice.hide();
    connect(&cmdRecordVoice, &QPushButton::clicked, this,
            [this] { RunHandler(host_.Errors(), [this] { cmdRecordVoiceClick(); }); });
    host_.RingControl(cmdRecordVoice);

    pnlRecordVoice.setObjectName("pnlRecordVoice");
    pnlRecordVoice.setAccessibleName("Recording my voice");
    pnlRecordVoice.setFrameShape(QFrame::StyledPanel);
    pnlRecordVoice.setAutoFillBackground(true);
    const struct {
        QPushButton& button;
        const char* name;
        const char* text;
        void (TRecordVoicePart::*click)();
    } buttons[] = {
        {cmdBackSentence, "cmdBackSentence", "Back", &TRecordVoicePart::cmdBackSentenceClick},
        {cmdRecord, "cmdRecord", "Record", &TRecordVoicePart::cmdRecordClick},
        {cmdStopRecording, "cmdStopRecording", "Stop", &TRecordVoicePart::cmdStopRecordingClick},
        {cmdListen, "cmdListen", "Listen", &TRecordVoicePart::cmdListenClick},
        {cmdAgain, "cmdAgain", "Again", &TRecordVoicePart::cmdAgainClick},
        {cmdNextSentence, "cmdNextSentence", "Next sentence",
         &TRecordVoicePart::cmdNextSentenceClick},
        {cmdDone, "cmdDone", "Done", &TRecordVoicePart::cmdDoneClick},
    };
    for (const auto& b : buttons) {
        b.button.setObjectName(b.name);
        b.button.setText(b.text);
        b.button.setAccessibleName(b.text);
        b.button.setFocusPolicy(Qt::StrongFocus);
        b.button.setAutoDefault(false);
        connect(&b.button, &QPushButton::clicked, this, [this, click = b.click] {
            RunHandler(host_.Errors(), [this, click] { (this->*click)(); });
        });
    }
    prgRecordLevel.setObjectName("prgRecordLevel");
    prgRecordLevel.setAccessibleName("Microphone level");
    prgRecordLevel.setRange(0, 100);
    prgRecordLevel.setTextVisible(false);
    pnlRecordVoice.hide();
    window_.installEventFilter(this); // Escape leaves record mode; the book opening
    GiveReaderVoice();                // the game's voice reads aloud
}

TRecordVoicePart::~TRecordVoicePart() {
    StopListening();
    recorder_.reset(); // stops the microphone while the meter is whole
    window_.removeEventFilter(this);
}

// ---------------------------------------------------------------------------
// The voice

void TRecordVoicePart::SetMicrophone(std::unique_ptr<plat::AudioInput> microphone) {
    cmdDoneClick();
    microphone_ = std::move(microphone);
    noMicrophone_.reset();
}

void TRecordVoicePart::SetSpeechSynth(std::unique_ptr<plat::SpeechSynth> voice) {
    cmdDoneClick();
    reading_.SetSpeechSynth(nullptr); // lets go of the voice before it goes
    voice_ = Share(std::move(voice));
    GiveReaderVoice();
}

void TRecordVoicePart::StoryChanged() {
    Leave(); // the caller shows a spread of the new story
    GiveReaderVoice();
}

std::string TRecordVoicePart::StoryPath() const {
    return host_.StoryText().empty() ? std::string() : host_.Origin().file.path;
}

void TRecordVoicePart::GiveReaderVoice() {
    if (!voice_) {
        reading_.SetSpeechSynth(nullptr);
        reading_.SetRecordedVoice(false);
        return;
    }
    const std::string path = StoryPath();
    const bool recorded = codec_ && !path.empty() && TStoryVoice::Has(path);
    auto game = std::make_unique<BorrowedVoice>(voice_);
    if (recorded)
        reading_.SetSpeechSynth(std::make_unique<TRecordedVoiceSynth>(
            std::move(game), std::make_unique<TVoiceStore>(path, codec_.get())));
    else
        reading_.SetSpeechSynth(std::move(game));
    reading_.SetRecordedVoice(recorded);
}

// ---------------------------------------------------------------------------
// Showing

void TRecordVoicePart::Show(const TBookSpread::Controls& controls) {
    // A talking book reads in the voice it was made with.
    const bool show = controls.twists && !host_.StoryText().empty() &&
                      host_.Origin().kind != TStoryOrigin::Kind::TalkingBook;
    cmdRecordVoice.setVisible(show && !active_);
    if (show)
        NameRecordVoice();
    if (!active_)
        return;
    if (!show) {
        cmdDoneClick();
        return;
    }
    // A page turned by the arrows' keys: the sentence follows the spread.
    const int page = sentences_.FirstPage(sentence_);
    const int left = host_.CurrentPage();
    if (page != left && page != left + 1) {
        const int first = sentences_.FirstFrom(left);
        if (first >= 0)
            sentence_ = first;
        ShowButtons();
    }
}

void TRecordVoicePart::AskMicrophone() {
    std::string why;
    if (microphone_ && microphone_->Available(&why))
        why.clear();
    else if (microphone_ && why.empty())
        why = "no microphone";
    noMicrophone_ = why;
}

void TRecordVoicePart::NameRecordVoice() {
    if (!noMicrophone_)
        AskMicrophone();
    std::string why = *noMicrophone_;
    bool can = microphone_ && why.empty() && voice_ && codec_;
    if (can && StoryPath().empty()) {
        can = false;
        why = kSaveFirst;
    } else if (!can && why.empty()) {
        why = codec_ ? "no voice to find the words with" : "no sound codec in this build";
    }
    cmdRecordVoice.setEnabled(can);
    const QString tip = can ? QString(kRecordVoice)
                            : QString::fromLatin1(kRecordVoice) + ": " + QString::fromLatin1(why);
    cmdRecordVoice.setToolTip(tip);
    cmdRecordVoice.setAccessibleDescription(can ? QString() : QString::fromLatin1(why));
}

std::vector<QWidget*> TRecordVoicePart::TabStops() {
    return {&cmdRecordVoice, &cmdBackSentence, &cmdRecord,       &cmdStopRecording,
            &cmdListen,      &cmdAgain,        &cmdNextSentence, &cmdDone};
}

void TRecordVoicePart::Place() {
    const TBookFoot foot = host_.Painter().Foot();
    // The controls' letters grow with the window's step, as the foot's do.
    QFont letters = window_.font();
    if (letters.pixelSize() > 0)
        letters.setPixelSize(letters.pixelSize() * foot.Scale());
    else
        letters.setPointSizeF(letters.pointSizeF() * foot.Scale());
    for (QWidget* w :
         {static_cast<QWidget*>(&cmdRecordVoice), static_cast<QWidget*>(&pnlRecordVoice)})
        w->setFont(letters);
    const TBookBox back = foot.BackArrow(), twists = foot.ShowTwists();
    const int gap = 6 * foot.Scale();
    // As tall as the twists' button beside it at most (clear of the page's
    // text above), its foot on the foot controls' line.
    const int height =
        std::min(cmdRecordVoice.sizeHint().height(), TBookFoot::kTwistsHeight * foot.Scale());
    const int left = back.Right() + gap;
    const int width =
        std::min(cmdRecordVoice.fontMetrics().horizontalAdvance(cmdRecordVoice.text()) + 16,
                 twists.left - gap - left);
    const int bottom = twists.top + twists.height;
    cmdRecordVoice.setGeometry(left, bottom - height, std::max(width, 0), height);
    // Record mode covers the foot between the window's edges: the buttons
    // left to right at their own widths, the meter taking what is left. It
    // reaches from a little above the foot's tallest controls (the arrows,
    // Read to me), but never over the pages' lines (the grown-up reads every
    // one), to near the window's foot, the buttons in its middle.
    const int margin = 4, step = 4;
    const int buttonHeight = cmdRecord.sizeHint().height();
    const TBookBox page = TBookGeometry::LeftPage(window_.width(), window_.height(), foot.Scale());
    const int top = std::max(std::min(back.top, foot.ReadToMe().top) - margin,
                             page.Bottom() - TBookGeometry::kMargin);
    const int panelHeight = std::max(window_.height() - 6 - top, buttonHeight + 2 * margin);
    pnlRecordVoice.setGeometry(8, window_.height() - panelHeight - 6, window_.width() - 16,
                               panelHeight);
    const int y = (panelHeight - buttonHeight) / 2;
    int x = margin;
    for (QPushButton* b : {&cmdBackSentence, &cmdRecord, &cmdStopRecording, &cmdListen, &cmdAgain,
                           &cmdNextSentence, &cmdDone}) {
        const int w = b->fontMetrics().horizontalAdvance(b->text()) + 16;
        b->setGeometry(x, y, w, buttonHeight);
        x += w + step;
    }
    prgRecordLevel.setGeometry(x, y + buttonHeight / 4,
                               std::max(pnlRecordVoice.width() - margin - x, 0), buttonHeight / 2);
    if (active_)
        Cover(); // where the panel lies now
}

void TRecordVoicePart::Relayout() {
    if (!active_)
        return;
    sentences_.Map(host_.Book().Pages);
    const int page = sentences_.FirstPage(sentence_);
    if (page > 0)
        host_.ShowPages((page - 1) | 1);
}

void TRecordVoicePart::Cover() {
    Uncover();
    const QRect panel = pnlRecordVoice.geometry();
    for (QWidget* w : window_.findChildren<QWidget*>()) {
        if (w == &pnlRecordVoice || pnlRecordVoice.isAncestorOf(w) ||
            !(w->focusPolicy() & Qt::TabFocus) ||
            !QRect(w->mapTo(&window_, QPoint(0, 0)), w->size()).intersects(panel))
            continue;
        covered_.emplace_back(w, w->focusPolicy());
        w->setFocusPolicy(Qt::NoFocus);
        if (w->hasFocus())
            cmdRecord.setFocus(Qt::OtherFocusReason);
    }
}

void TRecordVoicePart::Uncover() {
    for (const auto& [w, policy] : covered_)
        if (w)
            w->setFocusPolicy(policy);
    covered_.clear();
}

// ---------------------------------------------------------------------------
// Record mode

void TRecordVoicePart::cmdRecordVoiceClick() {
    const std::string path = StoryPath();
    if (active_ || path.empty() || !voice_ || !codec_)
        return;
    reading_.Stop();
    sentences_.Build(host_.StoryText().c_str(), host_.Book().Pages);
    const int first = sentences_.FirstFrom(host_.CurrentPage());
    if (first < 0)
        return;
    store_ = std::make_unique<TVoiceStore>(path, codec_.get());
    listenAhead_ = std::make_unique<TListenAhead>(plat::CreateOpusCodec());
    // The recorder's microphone is ours with the meter told its level.
    metered_ = std::make_unique<MeteredInput>(*microphone_, [this](float peak) {
        prgRecordLevel.setValue(static_cast<int>(peak * 100));
    });
    recorderVoice_ = std::make_unique<BorrowedVoice>(voice_);
    recorder_ =
        std::make_unique<TSentenceRecorder>(*metered_, *recorderVoice_, meter_.get(), *store_);
    active_ = true;
    cmdRecordVoice.hide();
    Place();
    pnlRecordVoice.show();
    pnlRecordVoice.raise();
    GoTo(first);
    cmdRecord.setFocus(Qt::OtherFocusReason);
}

void TRecordVoicePart::cmdRecordClick() {
    if (!recorder_ || recorder_->Recording())
        return;
    StopListening();
    reading_.Stop();
    std::string why;
    if (!recorder_->Record(&why))
        throw std::runtime_error("Record: " + why);
    ShowButtons();
}

void TRecordVoicePart::cmdStopRecordingClick() {
    if (!recorder_ || !recorder_->Recording())
        return;
    std::string why;
    const bool kept = recorder_->Stop(sentences_.Items[sentence_].Speech, &why);
    static_assert(plat::AudioInput::kSampleRate == plat::OpusCodec::kSampleRate);
    if (kept)
        listenAhead_->Keep(sentences_.Items[sentence_].Speech, recorder_->Kept());
    prgRecordLevel.setValue(0);
    ShowButtons();
    if (!kept)
        throw std::runtime_error("Record: " + why);
}

void TRecordVoicePart::cmdAgainClick() {
    cmdRecordClick();
}

void TRecordVoicePart::cmdListenClick() {
    if (!store_ || !waveManager_ || (recorder_ && recorder_->Recording()))
        return;
    std::string why;
    const std::vector<int16_t>* samples =
        listenAhead_->Sound(*store_, sentences_.Items[sentence_].Speech, why);
    if (!samples)
        throw std::runtime_error("Listen: " + why);
    StopListening();
    const uint32_t rate = plat::OpusCodec::kSampleRate;
    const plat::WaveFormat format{plat::kWaveFormatPcm, 1, rate, rate * 2, 2, 16, 0};
    waveManager_->Sounds.AddFirst(std::make_unique<TSoundNode>(format, samples->data(),
                                                               samples->size() * sizeof(int16_t),
                                                               sfAutoFree, kListenSoundId)
                                      .release());
    waveManager_->PlaySound(kListenSoundId, poStopSound | poStopLoop | poAsked, false);
}

void TRecordVoicePart::StopListening() {
    if (!waveManager_)
        return;
    if (TSoundNode* node = waveManager_->FindSound(kListenSoundId)) {
        if (node->Playing)
            waveManager_->StopPlaying();
        waveManager_->Sounds.Delete(node);
    }
}

void TRecordVoicePart::cmdNextSentenceClick() {
    if (active_ && sentence_ + 1 < static_cast<int>(sentences_.Items.size()))
        GoTo(sentence_ + 1);
}

void TRecordVoicePart::cmdBackSentenceClick() {
    if (active_ && sentence_ > 0)
        GoTo(sentence_ - 1);
}

void TRecordVoicePart::cmdDoneClick() {
    if (!active_)
        return;
    Leave();
    host_.ShowPages(host_.CurrentPage());
    if (cmdRecordVoice.isVisible())
        cmdRecordVoice.setFocus(Qt::OtherFocusReason);
}

void TRecordVoicePart::Leave() {
    if (!active_)
        return;
    StopListening();
    if (recorder_)
        recorder_->Cancel(); // a take not kept is forgotten
    recorder_.reset();
    metered_.reset();
    recorderVoice_.reset();
    listenAhead_.reset();
    store_.reset();
    active_ = false;
    pnlRecordVoice.hide();
    Uncover();
    prgRecordLevel.setValue(0);
    // The reader takes the recordings just made.
    GiveReaderVoice();
}

void TRecordVoicePart::GoTo(int i) {
    if (recorder_ && recorder_->Recording())
        recorder_->Cancel();
    StopListening();
    prgRecordLevel.setValue(0);
    sentence_ = i;
    if (store_)
        listenAhead_->Start(*store_, sentences_.Items[sentence_].Speech);
    ShowButtons();
    const int page = sentences_.FirstPage(i);
    host_.ShowPages(page > 0 ? ((page - 1) | 1) : host_.CurrentPage());
}

void TRecordVoicePart::ShowButtons() {
    const bool recording = recorder_ && recorder_->Recording();
    const bool has = store_ && store_->Find(sentences_.Items[sentence_].Speech);
    cmdRecord.setEnabled(!recording && !has);
    cmdAgain.setEnabled(!recording && has);
    cmdStopRecording.setEnabled(recording);
    cmdListen.setEnabled(!recording && has && waveManager_);
    cmdBackSentence.setEnabled(sentence_ > 0);
    cmdNextSentence.setEnabled(sentence_ + 1 < static_cast<int>(sentences_.Items.size()));
    // Between takes the meter says where the grown-up is and whether this
    // sentence has its recording.
    const QString where = QString("%1 of %2: %3")
                              .arg(sentence_ + 1)
                              .arg(sentences_.Items.size())
                              .arg(has ? "recorded" : "to record");
    prgRecordLevel.setFormat(where);
    prgRecordLevel.setTextVisible(!recording);
    prgRecordLevel.setAccessibleDescription(recording ? QString() : where);
    // A button that went faded gives the keyboard to the next one to press.
    if (QWidget* focused = window_.focusWidget();
        focused && focused->parentWidget() == &pnlRecordVoice && !focused->isEnabled())
        (recording ? cmdStopRecording : has ? cmdListen : cmdRecord).setFocus();
}

bool TRecordVoicePart::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &window_ && event->type() == QEvent::Show) {
        AskMicrophone(); // as the book opens, before a story is asked for
        if (!cmdRecordVoice.isHidden())
            NameRecordVoice();
    }
    if (active_ && watched == &window_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        RunHandler(host_.Errors(), [this] { cmdDoneClick(); });
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void TRecordVoicePart::DrawPageLayer(const TBook& book, plat::Canvas& canvas, int width, int page,
                                     const char* text, bool) {
    if (active_ && sentence_ < static_cast<int>(sentences_.Items.size()))
        TReadHighlight::Draw(book, canvas, width, page, sentences_.Items[sentence_].Parts, text);
}
