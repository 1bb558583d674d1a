// The storybook's painted controls for a client area W x H whose controls
// show at a whole-number Scale: the page-turn arrows at the foot's ends and,
// centred on the spine between them, "Read to me" with the twists button
// left of it and the reading pace right of it, all standing on one line 39
// pixels above the window's foot; and the close ribbon hanging over the
// book's right edge. Each is its picture's size times Scale. Boxes are in
// client pixels (TBookBox: left, top, width, height).
#pragma once
#include "book/BookGeometry.h"

class TBookFoot {
public:
    // The pictures' sizes at scale 1.
    static constexpr int kArrowWidth = 40, kArrowHeight = 25;
    static constexpr int kReadToMeWidth = 50, kReadToMeHeight = 25;
    static constexpr int kPaceCellWidth = 24, kPaceHeight = 20; // three cells
    static constexpr int kTwistsWidth = 30, kTwistsHeight = 18;
    static constexpr int kRibbonWidth = 40, kRibbonHeight = 80; // the piece of "book"

    TBookFoot(int w, int h, int scale) : w_(w), h_(h), s_(scale < 1 ? 1 : scale) {}

    int Scale() const { return s_; }
    TBookBox BackArrow() const {
        return {40, Line() - kArrowHeight * s_, Arrow().width, Arrow().height};
    }
    TBookBox ForwardArrow() const {
        return {w_ - 40 - kArrowWidth * s_, Line() - kArrowHeight * s_, Arrow().width,
                Arrow().height};
    }
    TBookBox ReadToMe() const {
        return {(w_ + 20) / 2 - kReadToMeWidth / 2 * s_, Line() - kReadToMeHeight * s_,
                kReadToMeWidth * s_, kReadToMeHeight * s_};
    }
    // Four pixels (times Scale) right of "Read to me", reaching 2 below it.
    TBookBox ReadPace() const {
        const TBookBox b = ReadToMe();
        return {b.Right() + 4 * s_, Line() - (kPaceHeight - 2) * s_, 3 * kPaceCellWidth * s_,
                kPaceHeight * s_};
    }
    // Six pixels (times Scale) left of "Read to me", its foot on the line.
    TBookBox ShowTwists() const {
        const TBookBox b = ReadToMe();
        return {b.left - (6 + kTwistsWidth) * s_, Line() - kTwistsHeight * s_, kTwistsWidth * s_,
                kTwistsHeight * s_};
    }
    // Where the ribbon's piece stands (its left 32 pixels times Scale show
    // inside the window) and the part of it that closes the book.
    TBookBox Ribbon() const { return {w_ - 32 * s_, 30, kRibbonWidth * s_, kRibbonHeight * s_}; }
    TBookBox Close() const { return {w_ - 23 * s_, 30 + 6 * s_, 19 * s_, 65 * s_}; }

private:
    int Line() const { return h_ - 39; } // the controls' feet
    TBookBox Arrow() const { return {0, 0, kArrowWidth * s_, kArrowHeight * s_}; }

    int w_, h_, s_;
};
