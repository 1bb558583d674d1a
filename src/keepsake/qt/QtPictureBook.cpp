// The picture book and the folded booklet painted with Qt.
#include "keepsake/qt/QtPictureBook.h"

#include <QBuffer>
#include <QLocale>
#include <QPageLayout>
#include <QPdfWriter>
#include <stdexcept>

#include "image/RL8ImageData.h"
#include "platform/Rect.h"
#include "platform/qt/Latin1.h"
#include "platform/qt/QtDrawTarget.h"
#include "story/StoryText.h"

QtPictureBook::QtPictureBook(QPainter& painter, const std::string& story, const Letters& letters,
                             int width, int height, int dpi, const QImage& picture)
    : painter_(painter),
      canvas_(std::make_unique<plat::QtCanvas>(painter, letters.face, letters.points)) {
    plan_ = std::make_unique<TPictureBookPlan>(*canvas_, story.c_str(), width, height, dpi,
                                               letters.points);
    if (!picture.isNull()) {
        const TRect& r = plan_->CoverGeometry().picture;
        // Each picture pixel a block: scaled without smoothing, by a whole
        // number, so no pixel is blended with its neighbour.
        picture_ = picture.scaled(r.Right - r.Left, r.Bottom - r.Top, Qt::IgnoreAspectRatio,
                                  Qt::FastTransformation);
    }
}

QtPictureBook::~QtPictureBook() = default;

void QtPictureBook::DrawPage(int n, int left) {
    painter_.save();
    painter_.translate(left, 0);
    painter_.setClipRect(0, 0, plan_->Width(), plan_->Height());
    plan_->DrawPage(*canvas_, n);
    if (plan_->At(n).kind == TPictureBookPlan::Page::Kind::Cover && !picture_.isNull()) {
        const TRect& r = plan_->CoverGeometry().picture;
        painter_.setRenderHint(QPainter::SmoothPixmapTransform, false);
        painter_.setRenderHint(QPainter::LosslessImageRendering, true);
        painter_.drawImage(QPoint(r.Left, r.Top), picture_);
    }
    painter_.restore();
}

void QtPictureBook::DrawSide(const TBookletImposition::Side& side) {
    DrawPage(side.left, 0);
    DrawPage(side.right, plan_->Width());
}

QImage QtPictureBook::PictureImage(TRL8ImageData& surface, const TRect& rect,
                                   const plat::LogPalette* palette) {
    QImage image(rect.Right - rect.Left, rect.Bottom - rect.Top, QImage::Format_RGB32);
    if (image.isNull())
        return image;
    image.fill(Qt::white);
    plat::QtDrawTarget target(image);
    const plat::LogPalette* previous = palette ? target.SelectPalette(palette) : nullptr;
    surface.DisplayRect(target, TPoint{0, 0}, rect);
    if (palette)
        target.SelectPalette(previous);
    return image;
}

QByteArray QtPictureBook::PicturePng(const QImage& picture, int scale) {
    QByteArray bytes;
    if (picture.isNull() || scale < 1)
        return bytes;
    const QImage scaled = picture.scaled(picture.width() * scale, picture.height() * scale,
                                         Qt::IgnoreAspectRatio, Qt::FastTransformation);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!scaled.save(&buffer, "PNG"))
        bytes.clear();
    return bytes;
}

bool QtPictureBook::LocaleUsesLetter() {
    return QLocale::system().measurementSystem() == QLocale::ImperialUSSystem;
}

QPageSize QtPictureBook::PageSize(TPictureBookPlan::Paper paper) {
    // Statement is half a Letter sheet, 5.5 x 8.5 inches.
    return QPageSize(paper == TPictureBookPlan::Paper::A5 ? QPageSize::A5 : QPageSize::Statement);
}

QPageSize QtPictureBook::SheetSize(TPictureBookPlan::Paper paper) {
    return QPageSize(paper == TPictureBookPlan::Paper::A5 ? QPageSize::A4 : QPageSize::Letter);
}

QByteArray QtPictureBook::MakePdf(const std::string& story, const Letters& letters,
                                  TPictureBookPlan::Paper paper, const QImage& picture,
                                  bool booklet) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(kDpi);
    writer.setPageLayout(QPageLayout(booklet ? SheetSize(paper) : PageSize(paper),
                                     booklet ? QPageLayout::Landscape : QPageLayout::Portrait,
                                     QMarginsF()));
    writer.setTitle(ToQString(StoryTitle(story)));
    writer.setCreator("Fablewhirl");
    QPainter painter;
    if (!painter.begin(&writer))
        throw std::runtime_error("Picture book: the PDF could not be started");
    QtPictureBook book(painter, story, letters, booklet ? writer.width() / 2 : writer.width(),
                       writer.height(), kDpi, picture);
    bool first = true;
    auto next = [&] {
        if (!first && !writer.newPage())
            throw std::runtime_error("Picture book: the PDF could not take another page");
        first = false;
    };
    if (booklet) {
        const TBookletImposition sheets(book.Plan().PageCount());
        for (const auto& job : sheets.Jobs(false, 1, 0, 0))
            for (const TBookletImposition::Side& side : job) {
                next();
                book.DrawSide(side);
            }
    } else {
        for (int n = 1; n <= book.Plan().PageCount(); ++n) {
            next();
            book.DrawPage(n);
        }
    }
    if (!painter.end())
        throw std::runtime_error("Picture book: the PDF could not be finished");
    return bytes;
}
