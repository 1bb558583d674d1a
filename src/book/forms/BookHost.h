// What the storybook window offers its parts: the story and its layout, the
// spread shown, the page painter, where errors go, the one path by which
// every change of what the pages show reaches the screen and screen readers,
// the book's settings, the focus ring for the parts' widget controls, and the
// context the commands and the keepsakes work in. No part sees the window
// beyond this.
#pragma once
#include <string>

#include "platform/Settings.h"
#include "reading/ReadingPace.h"
#include "ui/RunHandler.h"

class QWidget;
class TBook;
class TLettersPart;
class TPagePainter;
struct TStoryOrigin;

class TBookHost {
public:
    virtual ~TBookHost() = default;

    // The layout of the story shown (pages and lines).
    virtual TBook& Book() = 0;
    // The story shown (Latin-1, paragraph markers resolved); empty for none.
    virtual const std::string& StoryText() const = 0;
    // The left page of the spread shown: 0 the cover, odd for story spreads.
    virtual int CurrentPage() const = 0;
    // The story changed: Text is the generator's form (lines joined by CR
    // LF). Reading stops, the story is laid out again; the caller then shows
    // a spread.
    virtual void SetStory(const std::string& text) = 0;
    // The letters changed: the story is laid out again in them and its
    // spread shown (the commands spread when the story got shorter).
    virtual void Relayout() = 0;
    // Shows spread N: the one path of a change of what the pages show. The
    // controls follow the spread, both page pictures are drawn again through
    // the painter (only the pixels that changed are repainted), and screen
    // readers are told of each page whose text changed.
    virtual void ShowPages(int n) = 0;
    // The painter of the book and its pages.
    virtual TPagePainter& Painter() = 0;
    // Where the handlers' errors go.
    virtual const ErrorSink& Errors() const = 0;
    // The book's section of the settings: each part keeps its own choices
    // there.
    virtual const plat::Settings& Settings() const = 0;
    // Control, a widget control of a part that takes the keyboard focus,
    // gets the book's focus ring; a push button also lets the keys that
    // turn the page through to the book.
    virtual void RingControl(QWidget& control) = 0;

    // The context the commands and the keepsakes work in: the tale (1..10),
    // the stories folder (a path ending with a separator), where the story
    // came from, the letters and the reading pace chosen, and the width of a
    // page area in pixels (what printing scales the letters from).
    virtual int Tale() const = 0;
    virtual const std::string& Folder() const = 0;
    virtual const TStoryOrigin& Origin() const = 0;
    virtual TLettersPart& LettersPart() = 0;
    virtual TReadingPace::Pace ReadingPace() const = 0;
    virtual int PageWidth() const = 0;
    // The story shown was saved as Bytes at Path: saving it again goes there.
    virtual void StorySaved(const std::string& path, const std::string& bytes) = 0;
    // Opens the talking book at Path in the book, to be read in its own
    // voice; raises the reason when it is none the game can play.
    virtual void PlayTalkingBook(const std::string& path) = 0;
};
