// The picture book drawn with Qt: a TPictureBookPlan painted page by page, or
// two pages to a side of a folded booklet's sheet, on a painter begun on a
// QPdfWriter or a QPrinter, through the book's own canvas (QtCanvas). The
// cover's picture is the tale's, each of its pixels a block of whole device
// pixels, never smoothed; the device keeps it lossless.
//
// Usage:
//   QPainter painter(&writer);
//   QtPictureBook book(painter, story, letters, width, height, dpi, picture);
//   for (int n = 1; n <= book.Plan().PageCount(); ++n) { ...newPage...; book.DrawPage(n); }
#pragma once
#include <QByteArray>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QString>
#include <memory>
#include <string>
#include <vector>

#include "keepsake/BookletImposition.h"
#include "keepsake/PictureBookPlan.h"
#include "platform/qt/QtCanvas.h"

class TRL8ImageData;
struct TRect;

namespace plat {
class LogPalette;
}

class QtPictureBook {
public:
    // The device resolution the books are made at.
    static constexpr int kDpi = 300;

    // The face and size (in points) of the book's letters.
    struct Letters {
        QString face;
        int points = 12;
    };

    // Lays Story (Latin-1 story text, kept unchanged while the book is used)
    // out for pages of Width x Height device pixels at Dpi on Painter (begun
    // on its device, outliving this object). Picture: the tale's picture at
    // one pixel per picture pixel (PictureImage), or null for none.
    QtPictureBook(QPainter& painter, const std::string& story, const Letters& letters, int width,
                  int height, int dpi, const QImage& picture);
    ~QtPictureBook();
    QtPictureBook(const QtPictureBook&) = delete;
    QtPictureBook& operator=(const QtPictureBook&) = delete;

    TPictureBookPlan& Plan() { return *plan_; }

    // Draws page N of the book with its top-left corner at (Left, 0).
    void DrawPage(int n, int left = 0);
    // Draws a booklet's side: its left page, then its right one beside it
    // (blank pages stay empty).
    void DrawSide(const TBookletImposition::Side& side);

    // The part Rect of Surface in Palette's colours, one pixel a pixel.
    static QImage PictureImage(TRL8ImageData& surface, const TRect& rect,
                               const plat::LogPalette* palette);
    // Picture (PictureImage) as the bytes of a PNG file, each of its pixels
    // a block of Scale x Scale; empty for a null picture.
    static QByteArray PicturePng(const QImage& picture, int scale);
    // Whether the system's locale uses Letter paper (its measurement system
    // is the US one).
    static bool LocaleUsesLetter();
    // The page of Paper, and the sheet that holds two of them side by side.
    static QPageSize PageSize(TPictureBookPlan::Paper paper);
    static QPageSize SheetSize(TPictureBookPlan::Paper paper);

    // The picture book of Story as the bytes of a PDF file on pages of Paper,
    // its title the story's, its fonts embedded. Booklet: the folded booklet
    // instead, two pages to a landscape sheet of SheetSize, each sheet's
    // front followed by its back. Raises std::runtime_error on failure.
    static QByteArray MakePdf(const std::string& story, const Letters& letters,
                              TPictureBookPlan::Paper paper, const QImage& picture,
                              bool booklet = false);

private:
    QPainter& painter_;
    std::unique_ptr<plat::QtCanvas> canvas_;
    std::unique_ptr<TPictureBookPlan> plan_;
    QImage picture_; // scaled to the cover's picture, whole pixels
};
