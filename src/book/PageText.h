// The text a page of the book shows, line by line, for those who read it by
// other means than the eye (a screen reader): the cover page's words one to
// a line, a story page's laid-out lines as drawn, the title included. Lines
// are joined by "\n"; a page the book does not have has no text. Offsets
// into the text map to a line and a column and back.
#pragma once
#include <string>
#include <vector>

class TBook;

class TPageText {
public:
    // Page of Book, laid out from Text (the story text, may be nullptr);
    // page 0 is the cover, any page the book does not have is empty.
    TPageText(const TBook& book, int page, const char* text);

    const std::string& Text() const { return text_; }
    int LineCount() const { return static_cast<int>(starts_.size()); }

    // Line (1-based) and column (0-based) of the character at Offset; an
    // offset at a line's end (its "\n" or the text's end) stands after its
    // last character. Line 0 when Offset lies outside the text.
    struct Place {
        int line = 0;
        int column = 0;
    };
    Place PlaceOf(int offset) const;
    // Offset of Column of Line (1-based), clamped to the line; -1 when there
    // is no such line.
    int OffsetOf(int line, int column) const;
    // Number of characters of Line (1-based), 0 when there is none.
    int LineLength(int line) const;

private:
    void AddLine(const std::string& line);

    std::string text_;
    std::vector<int> starts_; // offset of each line's first character
};
