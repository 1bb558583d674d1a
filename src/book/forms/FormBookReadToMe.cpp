// TFormBook's "Read to me": the button on story spreads, and the reader's
// requests to show a spread, repaint a page and show its state.
#include "book/forms/FormBook.h"

#include "image/RL8ImageData.h"
#include "image/RL8Library.h"
#include "platform/SpeechSynth.h"
#include "platform/qt/QtDrawTarget.h"

void TFormBook::SetWaveManager(TWaveMan* manager) {
    StopReading();
    waveManager_ = manager;
    UpdateReadToMe();
}

void TFormBook::SetSpeechSynth(std::unique_ptr<plat::SpeechSynth> synth) {
    StopReading();
    reader_ = std::make_unique<TReadAloud>(*this, std::move(synth));
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
}

void TFormBook::DrawReadToMe() {
    if (!readToMePicture_.Surface() || bookImage_.isNull() || !library_ || !library_->IsOpen() ||
        !library_->GetHPal()) {
        readToMeImage_ = QImage();
        return;
    }
    // The picture has transparent corners: the book behind it shows.
    readToMeImage_ = bookImage_.copy(pbxReadToMe.geometry());
    plat::QtDrawTarget target(readToMeImage_);
    const plat::LogPalette* previous = target.SelectPalette(library_->GetHPal());
    const int sx = reader_ && reader_->Reading() ? kReadToMeWidth : 0;
    readToMePicture_.Surface()->DisplayRect(target, TPoint{0, 0},
                                            TRect{sx, 0, sx + kReadToMeWidth, kReadToMeHeight});
    target.SelectPalette(previous);
    pbxReadToMe.update();
}

void TFormBook::pbxReadToMeClick() {
    if (reader_->Reading()) {
        reader_->Stop();
        return;
    }
    if (waveManager_ && !story_.empty() && currentPage_ >= 1)
        reader_->Start(*waveManager_, book_, story_.c_str(), currentPage_);
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

void TFormBook::ReadAloudStateChanged(bool reading) {
    pbxReadToMe.setToolTip(reading ? "Stop reading" : "Read to me");
    DrawReadToMe();
}
