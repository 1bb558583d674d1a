// TTwistsPart: the storybook's twists. It owns "Show the twists" (a
// two-state button just left of "Read to me", their feet level; it reaches
// no higher than the page's bottom margin, so it never covers text), the
// swapped words of the story shown (TStoryTwists), the tint behind them (the
// page painter's twist layer), the tooltip of what the tale had there
// ("was: " and the plain word) and the click on a tinted word that swaps it
// again. "Book"/"ShowTwists" keeps the choice.
//
// The tinted words of the spread shown are one Tab stop: the page area that
// holds the word with the focus takes the keyboard focus (the other takes
// none), Left and Right move the focus from word to word in reading order,
// across to the other page too, and Space or Enter swaps it as a click does.
// The ring around it is drawn under the text by the page painter, which
// asks where it stands (PageFocus); screen readers find it as the page's selected text.
#pragma once
#include <QImage>
#include <QObject>
#include <QRect>
#include <array>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "book/BookSpread.h"
#include "book/StoryTwists.h"
#include "book/forms/PageLayer.h"
#include "ui/PaintBox.h"

class TBookHost;
class TStoryGenerator;

class TTwistsPart : public QObject, public TPageLayer {
public:
    // Host, Window and Generator outlive the part; the button is Window's
    // child. The part hears the page painter's page areas: their tooltip,
    // keys and focus (and the clicks the window passes on).
    TTwistsPart(TBookHost& host, QWidget& window, TStoryGenerator& generator);

    // The story shown changed: Joined is the generator's form of it.
    void Take(std::string_view joined);
    // The story shown was read from a file: it has no twists, and the
    // button says so.
    void TakeReadBack();
    const TStoryTwists& Twists() const { return twists_; }
    // Shows the button on story spreads, enabled when the story holds words
    // of the vocabulary.
    void Show(const TBookSpread::Controls& controls);
    // The page areas (the twist words), then the button.
    std::vector<QWidget*> TabStops();
    // Places the button where the painter's foot puts it.
    void Place();
    // Draws the button's picture over the book behind it.
    void Draw();

    // Turns the tint on or off and keeps the choice.
    void SetShowTwists(bool show);
    bool ShowTwists() const { return showTwists_; }
    void pbxShowTwistsClick();
    // The span under Pos of a page area (left when Left), -1 when none is
    // tinted there.
    int TwistAt(bool left, QPoint pos) const;
    // The tinted words of the left or right page as last drawn: where each
    // stands (page pixels) and its span.
    const std::vector<std::pair<QRect, int>>& WordRects(bool left) const {
        return rects_[left ? 0 : 1];
    }
    // Swaps the words of span I again and shows the spread that holds the
    // swapped word.
    void SwapTwist(int i);
    // A page area's click: false when Pos holds no tinted word (the click
    // then turns the page).
    bool TwistClick(bool left, QPoint pos);

    // The twist word with the focus (a span; -1 for none).
    int FocusWord() const { return focusWord_; }
    // Where the twist word with the focus stands in the text of the page on
    // the left area when Left (TPageText offsets, the end excluded); -1 and
    // -1 when it is not there.
    std::pair<int, int> FocusWordPlace(bool left) const;
    // The focus moved to a twist word on the left area when Left (the window
    // tells screen readers).
    std::function<void(bool left)> FocusWordMoved;
    // A page area (left when Left) took or lost the keyboard focus.
    void PageFocusChanged(bool left, bool in);
    // A key on a page area (left when Left): false when it is not the twist
    // words' (the key then goes to the window).
    bool PageKeyDown(bool left, int key);

    // The tint (TPageLayer), keeping the parts' rectangles.
    void DrawPageLayer(const TBook& book, plat::Canvas& canvas, int width, int page,
                       const char* text, bool left) override;
    // Where the twist word with the focus stands (TPageLayer): its parts.
    std::vector<TRect> PageFocus(const TBook& book, plat::Canvas& canvas, int width, int page,
                                 const char* text, bool left) override;

private:
    void TwistMouseMove(bool left, QPoint pos);
    // Names the button for what a press does now, or why it does nothing.
    void Name();
    // Finds the tinted words of the spread shown, keeps the focus word where
    // it still stands (else the first), and gives the Tab stop to its page.
    void PlaceWordStop();
    // Moves the focus word to span Span on the left page when Left.
    void FocusOn(int span, bool left);
    TPaintBox& PageArea(bool left) const { return left ? left_ : right_; }
    // A line of the page shown: its text and its rows [Top, Bottom) in page
    // pixels (none for a blank line).
    struct ShownLine {
        std::string text;
        int top = 0, bottom = 0;
        friend bool operator==(const ShownLine&, const ShownLine&) = default;
    };
    // The lines of the page on the left area when Left, as the book holds it now.
    std::vector<ShownLine> ShownLines(bool left) const;
    // After a swap: the page on the left area when Left showed Shown and is
    // shown again; its painter draws only the rows of the lines that
    // changed or moved (and, when the page gained or lost lines, all below
    // the first such).
    void KeepUnchangedLines(bool left, const std::vector<ShownLine>& shown);
    // How far above a word its focus ring and tint reach, in pixels.
    static constexpr int kRingReach = 8;

    TPaintBox pbxShowTwists; // "Show the twists"
    TBookHost& host_;
    TStoryGenerator& generator_;
    TPaintBox& left_;
    TPaintBox& right_;
    TStoryTwists twists_;
    bool showTwists_ = false;
    bool readBack_ = false;
    QImage image_; // the button over the book behind it
    // What image_ was drawn from: the book behind it, and whether it was on,
    // enabled and at which scale (drawn again only when one changes).
    QImage drawnBehind_;
    std::array<int, 3> drawnLook_{};
    // The tinted parts on each page area and the span each belongs to.
    std::vector<std::pair<QRect, int>> rects_[2];
    // The tinted words of the spread shown, in reading order: their spans
    // and whether each stands on the left page.
    std::vector<std::pair<int, bool>> words_;
    int focusWord_ = -1;
    bool focusLeft_ = true;
};
