// TFormBook's "Read to me": the button and the pace control on story spreads,
// the timer that lights the word heard, and the reader's requests to show a
// spread, repaint a page or a word and show its state.
#include <QPainter>
#include <algorithm>

#include "book/ReadHighlight.h"
#include "book/forms/FormBook.h"
#include "data/InitGame.h"
#include "image/RL8ImageData.h"
#include "image/RL8Library.h"
#include "platform/SpeechSynth.h"
#include "platform/qt/QtCanvas.h"
#include "platform/qt/QtDrawTarget.h"
#include "ui/Cursors.h"

namespace {
// How soon the timer looks at the voice again: as soon as the next word is
// due, but no sooner than kFollowMinMs (the audio output reports its position
// in steps) and no later than kFollowMaxMs (a sound that has not begun yet).
constexpr int kFollowMinMs = 4;
constexpr int kFollowMaxMs = 40;
} // namespace

void TFormBook::BuildReadAlong(TRL8Library& library) {
    pbxReadPace.setObjectName("pbxReadPace");
    pbxReadPace.resize(TReadingPace::kWidth, TReadingPace::kHeight);
    pbxReadPace.setCursor(ScreenCursor(kCursorActivate));
    pbxReadPace.OnPaint = [this](QPainter& c, const QRegion& damage) {
        for (const QRect& r : damage)
            c.drawImage(r, readPaceImage_, r);
    };
    pbxReadPace.OnMouseDown = [this](QPoint pos, Qt::MouseButton b) {
        if (b == Qt::LeftButton)
            pbxReadPaceClick(pos.x());
    };
    pbxReadPace.OnMouseMove = [this](QPoint pos) {
        pbxReadPace.setToolTip(TReadingPace::Tip(TReadingPace::PaceAt(pos.x())));
    };
    pbxReadPace.setToolTip(TReadingPace::Tip(TReadingPace::Pace::Normal));
    pbxReadPace.setMouseTracking(true);
    pbxReadPace.hide();
    tmrReadAlong.setObjectName("tmrReadAlong");
    tmrReadAlong.setSingleShot(true);
    connect(&tmrReadAlong, &QTimer::timeout, this, [this] { tmrReadAlongTimer(); });

    pace_ = TReadingPace::Load(SettingsFileName);
    pbxReadPace.setAccessibleDescription(TReadingPace::Tip(pace_));
    reader_->SetPace(TReadingPace::Stretch(pace_));
    // Without its picture the book has no pace control: the pace stays.
    if (library.ImageExists("readpace")) {
        try {
            readPacePicture_ =
                TLibraryImage(library, "readpace", TLibraryImage::SurfaceNeed::Required);
        } catch (const std::exception&) {
            readPacePicture_.Reset();
        }
    }
}

void TFormBook::SetWaveManager(TWaveMan* manager) {
    StopReading();
    waveManager_ = manager;
    UpdateReadToMe();
}

void TFormBook::SetSpeechSynth(std::unique_ptr<plat::SpeechSynth> synth) {
    StopReading();
    reader_ = std::make_unique<TReadAloud>(*this, std::move(synth));
    reader_->SetPace(TReadingPace::Stretch(pace_));
    UpdateReadToMe();
}

void TFormBook::StopReading() {
    if (reader_)
        reader_->Stop();
}

void TFormBook::UpdateReadToMe() {
    const bool show = SpreadControls().readToMe;
    if (show && readToMeImage_.isNull())
        DrawReadToMe();
    pbxReadToMe.setVisible(show && !readToMeImage_.isNull());
    pbxReadPace.setVisible(show && !readToMeImage_.isNull() && !readPaceImage_.isNull());
}

void TFormBook::DrawReadToMe() {
    if (!readToMePicture_.Surface() || bookImage_.isNull() || !library_ || !library_->IsOpen() ||
        !library_->GetHPal()) {
        readToMeImage_ = QImage();
        readPaceImage_ = QImage();
        return;
    }
    // The picture has transparent corners: the book behind it shows.
    readToMeImage_ = bookImage_.copy(pbxReadToMe.geometry());
    plat::QtDrawTarget target(readToMeImage_);
    const plat::LogPalette* previous = target.SelectPalette(library_->GetHPal());
    const int sx = static_cast<int>(reader_ ? reader_->State() : TReadState::Idle) * kReadToMeWidth;
    readToMePicture_.Surface()->DisplayRect(target, TPoint{0, 0},
                                            TRect{sx, 0, sx + kReadToMeWidth, kReadToMeHeight});
    target.SelectPalette(previous);
    pbxReadToMe.update();
    DrawReadPace();
}

void TFormBook::DrawReadPace() {
    if (!readPacePicture_.Surface() || bookImage_.isNull() || !library_ || !library_->IsOpen() ||
        !library_->GetHPal()) {
        readPaceImage_ = QImage();
        return;
    }
    // Each cell is its pace's picture, the chosen one from the lit half.
    readPaceImage_ = bookImage_.copy(pbxReadPace.geometry());
    plat::QtDrawTarget target(readPaceImage_);
    const plat::LogPalette* previous = target.SelectPalette(library_->GetHPal());
    constexpr int cell = TReadingPace::kCellWidth;
    for (int i = 0; i < 3; ++i) {
        const int sx = i * cell + (i == static_cast<int>(pace_) ? 3 * cell : 0);
        readPacePicture_.Surface()->DisplayRect(target, TPoint{i * cell, 0},
                                                TRect{sx, 0, sx + cell, TReadingPace::kHeight});
    }
    target.SelectPalette(previous);
    pbxReadPace.update();
}

void TFormBook::pbxReadToMeClick() {
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
    if (waveManager_ && !story_.empty() && currentPage_ >= 1)
        reader_->Start(*waveManager_, book_, story_.c_str(), currentPage_);
}

void TFormBook::pbxReadPaceClick(int x) {
    const TReadingPace::Pace pace = TReadingPace::PaceAt(x);
    if (pace == pace_)
        return;
    pace_ = pace;
    reader_->SetPace(TReadingPace::Stretch(pace));
    TReadingPace::Save(pace, SettingsFileName);
    pbxReadPace.setAccessibleDescription(TReadingPace::Tip(pace));
    DrawReadPace();
}

void TFormBook::StepReadingPace() {
    const int next = (static_cast<int>(pace_) + 1) % 3;
    pbxReadPaceClick(next * TReadingPace::kCellWidth + TReadingPace::kCellWidth / 2);
}

void TFormBook::tmrReadAlongTimer() {
    const int64_t next = reader_->Follow();
    if (reader_->State() != TReadState::Speaking)
        return;
    tmrReadAlong.start(
        next < 0 ? kFollowMaxMs
                 : static_cast<int>(std::clamp<int64_t>(next, kFollowMinMs, kFollowMaxMs)));
}

void TFormBook::ReadAloudShowSpread(int leftPage) {
    ShowPages(leftPage);
}

void TFormBook::ReadAloudRepaintPage(int page) {
    if (currentPage_ < 1)
        return;
    if (page == currentPage_) {
        DrawPageInto(leftImage_, leftStore_, TBookGeometry::LeftPage(width(), height()), page);
        ++leftDraws_;
        pbxLeftPage.update();
    } else if (page == currentPage_ + 1) {
        DrawPageInto(rightImage_, rightStore_, TBookGeometry::RightPage(width(), height()), page);
        pbxRightPage.update();
    }
}

QRect TFormBook::RedrawPagePart(QImage& image, const TBookBox& box, int page,
                                const TLinePart& part) {
    if (image.isNull() || story_.empty())
        return {};
    QPainter painter(&image);
    plat::QtCanvas canvas(painter, kPageFont, kPagePoints);
    const TRect r = TReadHighlight::PartRect(book_, canvas, box.width, part, story_.c_str());
    const QRect area = QRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top) &
                       QRect(0, 0, box.width, box.height);
    if (area.isEmpty())
        return {};
    // What DrawPageInto draws, only here: the book behind, the highlight,
    // and the lines of text that reach into it.
    painter.setClipRect(area);
    if (bookImage_.isNull())
        painter.fillRect(area, Qt::white);
    else
        painter.drawImage(area, bookImage_, area.translated(box.left, box.top));
    const plat::LogPalette* previous = nullptr;
    const plat::LogPalette* palette =
        library_ && library_->IsOpen() ? library_->GetHPal() : nullptr;
    if (palette)
        previous = canvas.Target()->SelectPalette(palette);
    reader_->DrawHighlight(book_, canvas, box.width, page, story_.c_str());
    book_.DrawPageRowsFrom(&book_.Pages, &canvas, box.width, page, story_.c_str(), area.top(),
                           area.bottom() + 1);
    if (palette)
        canvas.Target()->SelectPalette(previous);
    return area;
}

void TFormBook::ReadAloudRepaintParts(const std::vector<TLinePart>& parts) {
    if (currentPage_ < 1)
        return;
    for (const TLinePart& part : parts) {
        if (part.Page == currentPage_) {
            const QRect r = RedrawPagePart(leftImage_, TBookGeometry::LeftPage(width(), height()),
                                           part.Page, part);
            if (!r.isEmpty())
                pbxLeftPage.update(r);
        } else if (part.Page == currentPage_ + 1) {
            const QRect r = RedrawPagePart(rightImage_, TBookGeometry::RightPage(width(), height()),
                                           part.Page, part);
            if (!r.isEmpty())
                pbxRightPage.update(r);
        }
    }
}

void TFormBook::ReadAloudStateChanged(TReadState state) {
    switch (state) {
    case TReadState::Idle:
        pbxReadToMe.setToolTip("Read to me");
        tmrReadAlong.stop();
        break;
    case TReadState::Speaking:
        pbxReadToMe.setToolTip("Pause reading");
        tmrReadAlong.start(kFollowMinMs);
        break;
    case TReadState::Paused:
        pbxReadToMe.setToolTip("Go on reading");
        tmrReadAlong.stop();
        break;
    }
    DrawReadToMe();
}
