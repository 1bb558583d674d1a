// TPagePainter: the storybook's pictures and the one routine that draws a
// page. It owns the book behind the pages (the library's "book" picture,
// composed once per window size and palette, with the page interiors left
// out), the tale's cover picture, and the two page pictures with the memory
// kept for them across resize steps.
//
// A page picture holds the book behind the page, then on story pages the
// parts' layers in a fixed order (Layer: the twists' tint, then the
// read-aloud highlight with its lit word, the sentence record mode is on),
// then the text in the page's
// letters; under the text of a page area that has the keyboard focus, the
// focus ring (TFocusFrame::DrawPage): around what a part marks (the twist
// word with the focus) or along the page's edge. Drawing a part of a page (a lit word, the cover's
// picture) runs the same routine clipped to that part, so it gives the pixels a whole drawing
// gives. Pictures are at the screen's pixel ratio; rectangles are in page-area pixels, right and
// bottom edges exclusive.
#pragma once
#include <QImage>
#include <QRect>
#include <QRegion>
#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "book/Book.h"
#include "book/BookFoot.h"
#include "image/LibraryImage.h"
#include "image/LibraryRef.h"
#include "ui/ImageStore.h"

class QPainter;
class QWidget;
class TPageLayer;
class TPaintBox;
class TRL8Library;
namespace plat {
class Canvas;
class LogPalette;
} // namespace plat

class TPagePainter {
public:
    // The cover page's letters, whatever is chosen for the story's pages.
    static constexpr const char* kCoverFont = "Times New Roman";
    static constexpr int kCoverPoints = 12; // 16 px at 96 dpi

    enum class Side { Left, Right };
    // The layers under the text, in the order they are drawn.
    enum class Layer { TwistTint, ReadHighlight, RecordSentence, Count };

    // Window, the book and the library ref outlive the painter, whose page
    // areas ("pbxLeftPage", "pbxRightPage"; TBookAccess names them for
    // screen readers) are Window's children. Library gives the "book" picture (none
    // when it lacks one).
    TPagePainter(QWidget& window, TBook& book, const TLibraryRef& library,
                 TRL8Library& bookLibrary);
    ~TPagePainter();

    // The page area on Side: it shows that page's picture.
    TPaintBox& Area(Side side) { return side == Side::Left ? *left_ : *right_; }

    // Layer Which is drawn by Part (not owned; nullptr for none).
    void SetLayer(Layer which, TPageLayer* part);
    // The story's pages are drawn in Family at Points (the cover keeps its
    // own letters).
    void SetStoryLetters(const QString& family, int points);
    QString Family(int page) const;
    int Points(int page) const;

    // The tale's cover picture at twist Level (0..2), or none; the book's
    // Picture follows it.
    void LoadTalePicture(const std::string& name, int level);
    void ReleaseTalePicture();
    TRL8ImageData* TalePicture() const { return talePicture_.Surface(); }
    // The tale's picture at twist Level (0..2) in the library's palette,
    // one pixel per picture pixel; null without one.
    QImage StoryPicture(int level) const;

    // The whole-number scale the window shows its controls at (at least 1):
    // ComposeBook draws them so.
    void SetScale(int scale) { scale_ = scale < 1 ? 1 : scale; }
    // The painted controls for the window's size and scale.
    TBookFoot Foot() const;
    // Composes the book behind the pages for the window's size; nothing
    // without the library or its "book" picture.
    void ComposeBook();
    // Draws the arrows in their state (enabled when BackOn / ForwardOn) into
    // the book and damages them, unless the book shows them so already;
    // Realize first realises the library's palette (the whole window is
    // repainted when that changed it).
    void DrawArrows(bool backOn, bool forwardOn, bool realize);
    // The window's paint event: the book, rectangle by rectangle.
    void PaintWindow(QPainter& painter, const QRegion& region);

    // Draws both page pictures again for the spread whose left page is
    // Current (the right area shows nothing on the cover spread) and damages
    // the page areas: only the pixels that changed when the pictures keep
    // their size.
    void Render(int current, const char* text);
    // Side's focus ring was given or taken: its page of the spread whose left
    // page is Current is drawn again (what changed damaged), unless a
    // Batch holds the drawing for the whole spread, drawn after it.
    void RedrawFocus(Side side, int current, const char* text);
    // Holds the drawing of focus changes while the spread's controls are
    // shown; the holder renders the spread after.
    class Batch {
    public:
        explicit Batch(TPagePainter& painter) : painter_(painter) { ++painter_.holds_; }
        ~Batch() { --painter_.holds_; }
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        TPagePainter& painter_;
    };
    // The next Render draws only Rows of Side's page, half-open ranges of
    // page pixel rows [first, second) in any order, where its caller knows
    // the rest of the page still shows what it showed (a twist swapped);
    // none: the page stays as it is. Forgotten after that Render, and
    // overruled by a new size, ratio, palette or arrows.
    using Rows = std::vector<std::pair<int, int>>;
    void RedrawOnly(Side side, Rows rows);
    // Draws page Page (shown on Side) again whole and damages its area.
    void RedrawPage(Side side, int page, const char* text);
    // Draws the part Area of page Page (shown on Side) again and damages
    // it; Area is cut to the page.
    void RedrawPart(Side side, int page, const char* text, const QRect& area);
    // A page area's paint event: its Damage from its picture.
    void PaintPage(Side side, QPainter& painter, const QRegion& damage) const;
    // A painted control's paint event: its Damage from Picture (the
    // control's size), and the focus ring along its edge while it has the
    // keyboard focus (TFocusFrame::DrawControl).
    static void PaintControl(const QWidget& control, QPainter& painter, const QRegion& damage,
                             const QImage& picture);

    // The book behind Area (window pixels) as the window shows it: for the
    // painted buttons, whose pictures have transparent corners.
    QImage BookBehind(const QRect& area) const { return bookImage_.copy(area); }
    bool HasBook() const { return !bookImage_.isNull(); }
    // Runs Measure with a canvas in page Page's letters (measuring as the
    // page is drawn) and the width of Side's page.
    void Measure(Side side, int page,
                 const std::function<void(plat::Canvas& canvas, int width)>& measure) const;
    // The library's palette; nullptr without the library.
    const plat::LogPalette* Palette() const;

    // For the tests: the whole book as shown, a page area as shown, a page
    // picture itself.
    QImage BookPicture() const;
    QImage PagePicture(Side side) const;
    const QImage& Picture(Side side) const { return pages_[Index(side)].image; }

private:
    struct Page {
        QImage image;      // over Store's memory once drawn whole
        TImageStore store; // the picture shown
        TImageStore spare; // the next picture, drawn while this one shows
        int page = -2;     // the page the picture shows (-1: none; -2: not drawn yet)
    };
    static int Index(Side side) { return side == Side::Left ? 0 : 1; }
    const TPaintBox& Area(Side side) const { return side == Side::Left ? *left_ : *right_; }
    // Where Side's page area stands in the window at its size now.
    QRect Box(Side side) const;
    // Draw: page Page (none when negative) drawn into Side's picture, whole
    // (Clip null: the picture made for the area's size first) or only inside
    // Clip. DrawInto is the one routine: the page over the book behind it
    // into Image, a picture for Side's area at the screen's ratio.
    void Draw(Side side, int page, const char* text, const QRect& clip);
    void DrawInto(QImage& image, Side side, int page, const char* text, const QRect& clip);
    // A picture for Side's area at the screen's ratio over Store's memory.
    QImage FreshPicture(Side side, TImageStore& store) const;
    // Draws page Page on Side whole into the spare picture, shows it and
    // damages what changed.
    void RenderSide(Side side, int page, const char* text);
    // What of the pages the book picture leaves out.
    QRegion PageInteriors() const;
    // The book's pieces inside Area (window pixels) onto a painter whose
    // origin is Area's top-left corner; white before the book is composed.
    void PaintBookBehind(QPainter& painter, const QRect& area) const;
    // Damages what differs between Before and Side's picture. Before holds
    // the whole picture, or (FromRow >= 0) its rows from FromRow on, in
    // device pixels.
    void DamageChanged(Side side, const QImage& before, int fromRow = -1) const;

    QWidget& window_;
    std::unique_ptr<TPaintBox> left_, right_;
    TBook& book_;
    const TLibraryRef& library_;
    std::array<TPageLayer*, static_cast<int>(Layer::Count)> layers_{};
    QString storyFamily_ = kCoverFont;
    int storyPoints_ = kCoverPoints;
    TLibraryImage bookPicture_; // "book": every piece of the book
    TLibraryImage talePicture_; // the tale's three cover pictures; may be empty
    bool backOn_ = false, forwardOn_ = false;
    bool arrowsShown_ = false; // bookImage_ shows the arrows as backOn_ and forwardOn_ say
    TImageStore bookStore_;
    QImage bookImage_; // the book but PageInteriors(), premultiplied as the window paints it
    QImage bookSheet_; // the whole of "book" in the colours of bookSheetPalette_
    const plat::LogPalette* bookSheetPalette_ = nullptr;
    std::array<Page, 2> pages_;
    int holds_ = 0;                                 // Batch objects alive
    int scale_ = 1;                                 // the controls' whole-number scale
    std::array<std::optional<Rows>, 2> redrawOnly_; // RedrawOnly's rows
};
