// TReadToMePart: "Read to me", the pace control, the timer that lights the
// word heard, and the reader's requests to show a spread, repaint a page or
// a word and show its state.
#include "book/forms/ReadToMePart.h"

#include "book/forms/BookAccess.h"

#include <QPainter>
#include <algorithm>

#include "book/forms/BookHost.h"
#include "book/forms/PagePainter.h"
#include "book/qt/QtBookBox.h"
#include "image/RL8ImageData.h"
#include "image/RL8Library.h"
#include "platform/SpeechSynth.h"
#include "platform/qt/QtDrawTarget.h"
#include "reading/ReadHighlight.h"
#include "ui/Cursors.h"

namespace {
// How soon the timer looks at the voice again: as soon as the next word is
// due, but no sooner than kFollowMinMs (the audio output reports its position
// in steps) and no later than kFollowMaxMs (a sound that has not begun yet).
constexpr int kFollowMinMs = 4;
constexpr int kFollowMaxMs = 40;

// Library image Name, or an empty handle when the library lacks it or it
// cannot be drawn.
TLibraryImage OptionalPicture(TRL8Library& library, const char* name) {
    if (!library.ImageExists(name))
        return {};
    try {
        return TLibraryImage(library, name, TLibraryImage::SurfaceNeed::Required);
    } catch (const std::exception&) {
        return {};
    }
}
// Why "Read to me" cannot be pressed.
constexpr const char* kNoSoundOutput =
    "There is no sound output on this computer, so the story cannot be read aloud";
// Why the pace cannot be chosen while a talking book reads.
constexpr const char* kOwnPace = "This book reads in its own voice, at its own pace";
constexpr const char* kRecordedPace =
    "This story reads in a recorded voice, at the pace it was recorded";

// A control that cannot be pressed shows faded into the page.
void Fade(QImage& image) {
    QPainter painter(&image);
    painter.fillRect(image.rect(), QColor(255, 255, 255, 150));
}
} // namespace

TReadToMePart::TReadToMePart(TBookHost& host, QWidget& window, TRL8Library& library)
    : pbxReadToMe(&window), pbxReadPace(&window), tmrReadAlong(&window), host_(host),
      window_(window), readToMePicture_(OptionalPicture(library, "readtome")),
      readPacePicture_(OptionalPicture(library, "readpace")),
      reader_(std::make_unique<TReadAloud>(*this, nullptr)) {
    setParent(&window);
    setObjectName("ReadToMePart");
    TBookAccess::Register(pbxReadToMe, TBookAccess::Button([this] { pbxReadToMeClick(); }));
    TBookAccess::Register(pbxReadPace, TBookAccess::Button([this] { StepReadingPace(); }));
    pbxReadToMe.setObjectName("pbxReadToMe");
    pbxReadToMe.resize(kWidth, kHeight);
    pbxReadToMe.setCursor(ScreenCursor(kCursorActivate));
    pbxReadToMe.setToolTip("Read to me");
    pbxReadToMe.setAccessibleName("Read to me");
    pbxReadToMe.OnPaint = [this](QPainter& c, const QRegion& damage) {
        TPagePainter::PaintControl(pbxReadToMe, c, damage, readToMeImage_);
    };
    pbxReadToMe.setFocusPolicy(Qt::TabFocus);
    pbxReadToMe.OnKeyDown = [this](int key) {
        if (key != Qt::Key_Space && key != Qt::Key_Return && key != Qt::Key_Enter)
            return false;
        pbxReadToMeClick();
        return true;
    };
    pbxReadToMe.OnMouseDown = [this](QPoint, Qt::MouseButton b) {
        if (b == Qt::LeftButton)
            pbxReadToMeClick();
    };
    pbxReadToMe.hide();

    pbxReadPace.setObjectName("pbxReadPace");
    pbxReadPace.setAccessibleName("Reading pace");
    pbxReadPace.resize(TReadingPace::kWidth, TReadingPace::kHeight);
    pbxReadPace.setCursor(ScreenCursor(kCursorActivate));
    pbxReadPace.OnPaint = [this](QPainter& c, const QRegion& damage) {
        TPagePainter::PaintControl(pbxReadPace, c, damage, readPaceImage_);
    };
    pbxReadPace.setFocusPolicy(Qt::TabFocus);
    pbxReadPace.OnKeyDown = [this](int key) { return pbxReadPaceKeyDown(key); };
    pbxReadPace.OnMouseDown = [this](QPoint pos, Qt::MouseButton b) {
        if (b == Qt::LeftButton)
            pbxReadPaceClick(pos.x() / host_.Painter().Foot().Scale());
    };
    pbxReadPace.OnMouseMove = [this](QPoint pos) {
        if (!OwnPace())
            pbxReadPace.setToolTip(
                TReadingPace::Tip(TReadingPace::PaceAt(pos.x() / host_.Painter().Foot().Scale())));
    };
    pbxReadPace.setToolTip(TReadingPace::Tip(TReadingPace::Pace::Normal));
    pbxReadPace.setMouseTracking(true);
    pbxReadPace.hide();

    tmrReadAlong.setObjectName("tmrReadAlong");
    tmrReadAlong.setSingleShot(true);
    connect(&tmrReadAlong, &QTimer::timeout, this, [this] { tmrReadAlongTimer(); });

    pace_ = TReadingPace::Load(host_.Settings());
    pbxReadPace.setAccessibleDescription(TReadingPace::Tip(pace_));
    reader_->SetPace(TReadingPace::Stretch(pace_));
}

TReadToMePart::~TReadToMePart() {
    // The voice ends while the part it calls back is whole.
    Stop();
    reader_.reset();
}

void TReadToMePart::SetWaveManager(TWaveMan* manager) {
    Stop();
    waveManager_ = manager;
}

void TReadToMePart::SetSpeechSynth(std::unique_ptr<plat::SpeechSynth> synth) {
    Stop();
    (ownReader_ ? ownReader_ : reader_) = std::make_unique<TReadAloud>(*this, std::move(synth));
    (ownReader_ ? ownReader_ : reader_)->SetPace(TReadingPace::Stretch(pace_));
}

void TReadToMePart::UseBookVoice(std::unique_ptr<plat::SpeechSynth> voice) {
    Stop();
    if (voice) {
        if (!ownReader_)
            ownReader_ = std::move(reader_);
        reader_ = std::make_unique<TReadAloud>(*this, std::move(voice));
    } else if (ownReader_) {
        reader_ = std::move(ownReader_);
    }
    NamePace();
}

void TReadToMePart::SetRecordedVoice(bool recorded) {
    recorded_ = recorded;
    NamePace();
}

void TReadToMePart::NamePace() {
    const QString tip = BookVoice() ? QString(kOwnPace)
                        : recorded_ ? QString(kRecordedPace)
                                    : TReadingPace::Tip(pace_);
    pbxReadPace.setToolTip(tip);
    pbxReadPace.setAccessibleDescription(tip);
}

void TReadToMePart::Stop() {
    if (reader_)
        reader_->Stop();
}

bool TReadToMePart::CanRead() const {
    return reader_ && reader_->HasVoice() && waveManager_ && readToMePicture_.Surface();
}

void TReadToMePart::Show(const TBookSpread::Controls& controls) {
    Show(controls.readToMe);
}

std::vector<QWidget*> TReadToMePart::TabStops() {
    return {&pbxReadToMe, &pbxReadPace};
}

bool TReadToMePart::TakeFocus() {
    if (!pbxReadToMe.isVisibleTo(&window_) || !pbxReadToMe.isEnabled())
        return false;
    pbxReadToMe.setFocus(Qt::OtherFocusReason);
    return true;
}

void TReadToMePart::Show(bool show) {
    const bool audible = show && reader_->Available(waveManager_);
    const bool pace = audible && !OwnPace();
    if (show && (readToMeImage_.isNull() || audible != pbxReadToMe.isEnabled() ||
                 pace != pbxReadPace.isEnabled())) {
        pbxReadToMe.setEnabled(audible);
        pbxReadPace.setEnabled(pace);
        NameReadToMe();
        DrawReadToMe();
    }
    pbxReadToMe.setVisible(show && !readToMeImage_.isNull());
    pbxReadPace.setVisible(show && !readToMeImage_.isNull() && !readPaceImage_.isNull());
}

void TReadToMePart::Place() {
    const TBookFoot foot = host_.Painter().Foot();
    pbxReadToMe.setGeometry(ToQRect(foot.ReadToMe()));
    pbxReadPace.setGeometry(ToQRect(foot.ReadPace()));
}

void TReadToMePart::Draw() {
    DrawReadToMe();
}

void TReadToMePart::Relayout() {
    reader_->Relayout(host_.Book()); // may show the spread of the sentence being read
}

void TReadToMePart::DrawReadToMe() {
    TPagePainter& painter = host_.Painter();
    const plat::LogPalette* palette = painter.Palette();
    if (!readToMePicture_.Surface() || !painter.HasBook() || !palette) {
        readToMeImage_ = QImage();
        readPaceImage_ = QImage();
        return;
    }
    // The picture has transparent corners: the book behind it shows.
    readToMeImage_ = painter.BookBehind(pbxReadToMe.geometry());
    plat::QtDrawTarget target(readToMeImage_);
    const plat::LogPalette* previous = target.SelectPalette(palette);
    target.SetScale(host_.Painter().Foot().Scale());
    const int sx = static_cast<int>(reader_ ? reader_->State() : TReadState::Idle) * kWidth;
    readToMePicture_.Surface()->DisplayRect(target, TPoint{0, 0},
                                            TRect{sx, 0, sx + kWidth, kHeight});
    target.SelectPalette(previous);
    if (!pbxReadToMe.isEnabled())
        Fade(readToMeImage_);
    pbxReadToMe.update();
    DrawReadPace();
}

void TReadToMePart::DrawReadPace() {
    TPagePainter& painter = host_.Painter();
    const plat::LogPalette* palette = painter.Palette();
    if (!readPacePicture_.Surface() || !painter.HasBook() || !palette) {
        readPaceImage_ = QImage();
        return;
    }
    // Each cell is its pace's picture, the chosen one from the lit half.
    readPaceImage_ = painter.BookBehind(pbxReadPace.geometry());
    plat::QtDrawTarget target(readPaceImage_);
    const plat::LogPalette* previous = target.SelectPalette(palette);
    target.SetScale(host_.Painter().Foot().Scale());
    constexpr int cell = TReadingPace::kCellWidth;
    for (int i = 0; i < 3; ++i) {
        const int sx = i * cell + (i == static_cast<int>(pace_) ? 3 * cell : 0);
        readPacePicture_.Surface()->DisplayRect(target, TPoint{i * cell, 0},
                                                TRect{sx, 0, sx + cell, TReadingPace::kHeight});
    }
    target.SelectPalette(previous);
    if (!pbxReadPace.isEnabled())
        Fade(readPaceImage_);
    pbxReadPace.update();
}

void TReadToMePart::pbxReadToMeClick() {
    switch (reader_->State()) {
    case TReadState::Speaking:
        reader_->Pause();
        return;
    case TReadState::Paused:
        reader_->GoOn();
        return;
    case TReadState::Idle:
        break;
    }
    ReadShownSpread();
}

void TReadToMePart::ReadShownSpread() {
    if (waveManager_ && !host_.StoryText().empty() && host_.CurrentPage() >= 1)
        reader_->Start(*waveManager_, host_.Book(), host_.StoryText().c_str(), host_.CurrentPage());
}

void TReadToMePart::Turn(int leftPage) {
    const bool speaking = reader_->State() == TReadState::Speaking;
    Stop();
    host_.ShowPages(leftPage);
    if (speaking)
        ReadShownSpread();
}

void TReadToMePart::pbxReadPaceClick(int x) {
    const TReadingPace::Pace pace = TReadingPace::PaceAt(x);
    if (pace == pace_)
        return;
    pace_ = pace;
    reader_->SetPace(TReadingPace::Stretch(pace));
    TReadingPace::Save(pace, host_.Settings());
    pbxReadPace.setAccessibleDescription(TReadingPace::Tip(pace));
    DrawReadPace();
}

bool TReadToMePart::pbxReadPaceKeyDown(int key) {
    const int pace = static_cast<int>(pace_);
    int chosen = pace;
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Up:
        chosen = std::max(pace - 1, 0);
        break;
    case Qt::Key_Right:
    case Qt::Key_Down:
        chosen = std::min(pace + 1, 2);
        break;
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        StepReadingPace();
        return true;
    default:
        return false;
    }
    pbxReadPaceClick(chosen * TReadingPace::kCellWidth + TReadingPace::kCellWidth / 2);
    return true;
}

void TReadToMePart::StepReadingPace() {
    const int next = (static_cast<int>(pace_) + 1) % 3;
    pbxReadPaceClick(next * TReadingPace::kCellWidth + TReadingPace::kCellWidth / 2);
}

void TReadToMePart::tmrReadAlongTimer() {
    const int64_t next = reader_->Follow();
    if (reader_->State() != TReadState::Speaking)
        return;
    tmrReadAlong.start(
        next < 0 ? kFollowMaxMs
                 : static_cast<int>(std::clamp<int64_t>(next, kFollowMinMs, kFollowMaxMs)));
}

void TReadToMePart::ReadAloudShowSpread(int leftPage) {
    host_.ShowPages(leftPage);
}

void TReadToMePart::ReadAloudRepaintPage(int page) {
    const int current = host_.CurrentPage();
    if (current < 1)
        return;
    if (page == current)
        host_.Painter().RedrawPage(TPagePainter::Side::Left, page, host_.StoryText().c_str());
    else if (page == current + 1)
        host_.Painter().RedrawPage(TPagePainter::Side::Right, page, host_.StoryText().c_str());
}

void TReadToMePart::ReadAloudRepaintParts(const std::vector<TLinePart>& parts) {
    const int current = host_.CurrentPage();
    const std::string& text = host_.StoryText();
    if (current < 1 || text.empty())
        return;
    TPagePainter& painter = host_.Painter();
    for (const TLinePart& part : parts) {
        if (part.Page != current && part.Page != current + 1)
            continue;
        const auto side =
            part.Page == current ? TPagePainter::Side::Left : TPagePainter::Side::Right;
        TRect r{};
        painter.Measure(side, part.Page, [&](plat::Canvas& canvas, int width) {
            r = TReadHighlight::PartRect(host_.Book(), canvas, width, part, text.c_str());
        });
        painter.RedrawPart(side, part.Page, text.c_str(),
                           QRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top));
    }
}

void TReadToMePart::ReadAloudStateChanged(TReadState state) {
    if (state == TReadState::Speaking)
        tmrReadAlong.start(kFollowMinMs);
    else
        tmrReadAlong.stop();
    NameReadToMe();
    DrawReadToMe();
}

void TReadToMePart::NameReadToMe() {
    if (!pbxReadToMe.isEnabled()) {
        pbxReadToMe.setToolTip(kNoSoundOutput);
        pbxReadToMe.setAccessibleName("Read to me");
        pbxReadToMe.setAccessibleDescription(kNoSoundOutput);
        return;
    }
    pbxReadToMe.setAccessibleDescription(QString());
    switch (reader_ ? reader_->State() : TReadState::Idle) {
    case TReadState::Idle:
        pbxReadToMe.setToolTip("Read to me");
        pbxReadToMe.setAccessibleName("Read to me");
        break;
    case TReadState::Speaking:
        pbxReadToMe.setToolTip("Pause reading");
        pbxReadToMe.setAccessibleName("Pause");
        break;
    case TReadState::Paused:
        pbxReadToMe.setToolTip("Go on reading");
        pbxReadToMe.setAccessibleName("Go on");
        break;
    }
}

void TReadToMePart::DrawPageLayer(const TBook& book, plat::Canvas& canvas, int width, int page,
                                  const char* text, bool) {
    reader_->DrawHighlight(book, canvas, width, page, text);
}
