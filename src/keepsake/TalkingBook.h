// The talking book: a story as a reflowable EPUB 3 that reads itself aloud,
// each word lit while it is said (media overlays).
//
// The book's files, all under OEBPS/ but the container's:
//   mimetype, META-INF/container.xml   first, the mimetype stored
//   content.opf   the package: title, language en, a urn:uuid identifier,
//                 the modification date, each overlay's and the whole book's
//                 media:duration, the active class, accessibility metadata
//   nav.xhtml     the navigation document
//   title.xhtml   the cover picture and the story's title
//   story.xhtml   the story's paragraphs (one line end a line break, more
//                 a new paragraph) and "The End"
//   title.smil, story.smil   one overlay per content document that is said
//   book.css      the paper colour, the letters (the font embedded when
//                 given) and the class of the word being read
//   voice.mp3     the whole story said, TSpokenStory's track
//   cover.png, fonts/<file>   when given
//
// Every word of a said sentence is a span with the id "s<S>w<W>" inside the
// sentence's span "s<S>" (S and W from 1); its overlay has one par per word
// with a clip, or one for the sentence when the voice's words could not be
// mapped onto the page's.
#pragma once
#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "book/BookLetters.h"
#include "platform/Mp3Encoder.h"
#include "platform/SpeechSynth.h"
#include "platform/ZipPacker.h"
#include "reading/SpokenStory.h"

class TTalkingBook {
public:
    static constexpr const char* kPaperColour = "#f8f0db"; // the book's pages
    static constexpr const char* kInkColour = "#2b1a0e";
    static constexpr const char* kActiveClass = "fbw-reading";
    static constexpr const char* kWordColour = "#f7c843"; // the lit word's, as in the book
    // The cover: the tale's picture, each of its pixels Scale x Scale.
    static constexpr int kCoverScale = 4;

    // The letters as the book shows them: the family the stylesheet names
    // and the font file embedded for it (empty when none is found).
    struct Letters {
        std::string Family;   // the embedded font's family
        std::string Fallback; // the stylesheet's families after it
        std::string FontPath; // the font file, OFL, or empty
        bool Big = false;     // one and a half times the size
    };
    // The chosen letters' font: Liberation Serif for the classic letters
    // (the face that stands for Times New Roman), Andika for the easy-read
    // ones, both under the SIL Open Font License, from the system's fonts.
    static Letters LettersFor(const TBookLetters& chosen);

    struct Input {
        std::string Story; // the story text, Latin-1, markers
        Letters Face;
        std::string FontBytes;    // the font file's bytes, or empty
        std::string CoverPng;     // the tale's picture as PNG, or empty
        std::string CoverAlt;     // what it shows, Latin-1
        std::string Identifier;   // "urn:uuid:..."
        std::time_t Modified = 0; // when the book is made
    };

    // The book's files in the archive's order, from a spoken story and its
    // track as MP3.
    static std::vector<plat::ZipEntry> Files(const Input& input, const TSpokenStory& spoken,
                                             std::string mp3);

    // The whole book as the bytes of an .epub file: the story spoken by
    // Synth at Stretch, encoded by Encoder, packed by Packer (Progress as
    // TSpokenStory::Speak). Spoken, when given, receives the spoken story.
    // Raises std::runtime_error, "Talking book: " and the reason, when one
    // of them is missing or fails.
    static std::string Make(const Input& input, plat::SpeechSynth* synth, float stretch,
                            plat::Mp3Encoder* encoder, plat::ZipPacker* packer,
                            const std::function<void(int, int)>& progress = {},
                            TSpokenStory* spoken = nullptr);

    // A random identifier, "urn:uuid:" and a version 4 UUID.
    static std::string NewIdentifier();
    // Ms as an overlay clock value, "h:mm:ss.mmm".
    static std::string Clock(int64_t ms);
    // Time as the package's modification date, "2026-12-08T17:05:00Z" (UTC).
    static std::string Stamp(std::time_t time);
    // Latin-1 Text with &, <, > and " escaped, in UTF-8.
    static std::string Xml(const std::string& text);
};
