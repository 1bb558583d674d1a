// The talking book: a story as a reflowable EPUB 3 that reads itself aloud,
// each word lit while it is said (media overlays).
//
// The book's files in the archive's order, all under OEBPS/ but the
// container's:
//   mimetype, META-INF/container.xml   first, the mimetype stored
//   content.opf   the package, stored (the shelf reads its title from the
//                 file's head): title, creators, language en, an identifier
//                 made from the story's text, the modification date, each
//                 overlay's and the whole book's media:duration, the active
//                 class, the accessibility metadata and, with a page list,
//                 the source of its page breaks (dc:source, source-of
//                 pagination). Its lengths are known only once the story is
//                 said: it is written again in place then, padded to the
//                 size it first took.
//   voice.mp3     the whole story said, TSpokenStory's track, encoded and
//                 written sentence by sentence as the voice makes it
//   nav.xhtml     the contents (doc-toc), the landmarks and the page list
//   title.xhtml   the cover picture (with what it shows) and the story's title
//   story.xhtml   the story (doc-chapter): its title as a heading, its
//                 paragraphs (one line end a line break, more a new
//                 paragraph) and "The End"
//   title.smil, story.smil   one overlay per content document that is said
//   book.css      the paper colour, the letters (the font embedded when
//                 given; no italic, which is not embedded) and the lit word,
//                 in both the declared class and the conventional one
//   cover.png, fonts/<file>   when given
//
// Every word of a said sentence is a span with the id "s<S>w<W>" inside the
// sentence's span "s<S>" (S and W from 1), "The End" the story's last
// sentence; its overlay has one par per word with a clip, or one for the
// sentence when the voice's words could not be mapped onto the page's. The
// clips of a document follow each other without a gap, and together the two
// documents' clips hold the whole track (TSpokenStory's spans). Each page of
// the storybook starts where a page break (epub:type "pagebreak", id
// "page<N>") stands, at the first word on it; the page list lists them.
//
// Only the words said, their clips and the sentences' places are held while
// the book is made: the sound goes into the archive as it is made and the
// documents are written in pieces, so a long story's book takes little
// memory. It may be made on any one thread (its voice, encoder and archive
// used by no other meanwhile).
#pragma once
#include <cstdint>
#include <ctime>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "book/BookLetters.h"
#include "platform/Mp3Encoder.h"
#include "platform/SpeechSynth.h"
#include "platform/ZipWriter.h"
#include "reading/SpokenStory.h"

class TTalkingBook {
public:
    static constexpr const char* kPaperColour = "#f8f0db"; // the book's pages
    static constexpr const char* kInkColour = "#2b1a0e";
    static constexpr const char* kActiveClass = "fbw-reading";
    // The class reading systems style by convention whatever the book declares.
    static constexpr const char* kConventionalActiveClass = "-epub-media-overlay-active";
    // The lit word: a dark amber that stands out from the paper (6:1), its
    // letters in the paper's colour on it (6:1).
    static constexpr const char* kWordColour = "#8a4b08";
    static constexpr const char* kWordInkColour = kPaperColour;
    // The cover: the tale's picture, each of its pixels Scale x Scale.
    static constexpr int kCoverScale = 4;
    // Who made the book when the child typed no name.
    static constexpr const char* kGameName = "Fablewhirl";

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

    // The track's rate for a story with a grown-up's recordings (made at
    // 48 kHz): half theirs, which keeps a voice's sound up to 12 kHz at half
    // the memory when the book is read back.
    static constexpr uint32_t kRecordedRate = 24000;

    struct Input {
        std::string Story; // the story text, Latin-1, markers
        Letters Face;
        std::string FontBytes; // the font file's bytes, or empty
        std::string CoverPng;  // the tale's picture as PNG, or empty
        std::string CoverAlt;  // what it shows (TTalePictures), Latin-1
        // "urn:uuid:..."; empty: StoryIdentifier(Story).
        std::string Identifier;
        std::time_t Modified = 0; // when the book is made
        // The names the child typed for the hero and the heroine, Latin-1,
        // the book's creators; empty when none was typed (the game is then).
        std::string Hero, Heroine;
        // Where each of the storybook's pages starts in Story, page 1 first
        // (TBook::PageStarts of its layout); empty: no page list.
        std::vector<int32_t> PageStarts;
        // What laid those pages out, Latin-1 (the source of the page breaks).
        std::string PageSource = "the Fablewhirl storybook";
        // The voice track's sample rate (the sentences said at another are
        // resampled to it); 0: the rate the voice says the first sentence at.
        uint32_t SampleRate = 0;
    };

    // Told after each sentence said how many of how many are done; false
    // cancels the book.
    using Progress = std::function<bool(int done, int total)>;
    // What MakeInto raises when Progress cancels it.
    class Cancelled : public std::runtime_error {
    public:
        Cancelled() : std::runtime_error("Talking book: cancelled") {}
    };

    // The whole book written into Archive, empty so far, which MakeInto
    // finishes: the story spoken by Synth at Stretch, encoded by Encoder. Spoken, when given,
    // receives the spoken story (its track not kept). Raises Cancelled when Progress returns false,
    // and std::runtime_error, "Talking book: " and the reason, when the voice or the encoder is
    // missing or any of them fails; the archive is then unfinished, not to be kept.
    static void MakeInto(const Input& input, plat::SpeechSynth* synth, float stretch,
                         plat::Mp3Encoder* encoder, plat::ZipWriter& archive,
                         const Progress& progress = {}, TSpokenStory* spoken = nullptr);

    // The identifier of a book of Story: "urn:uuid:" and a name-based UUID
    // (version 5, SHA-1) of its text, the same for the same story.
    static std::string StoryIdentifier(const std::string& story);
    // A random identifier, "urn:uuid:" and a version 4 UUID.
    static std::string NewIdentifier();
    // Ms as an overlay clock value, "h:mm:ss.mmm".
    static std::string Clock(int64_t ms);
    // Time as the package's modification date, "2026-12-08T17:05:00Z" (UTC).
    static std::string Stamp(std::time_t time);
    // Latin-1 Text with &, <, > and " escaped, in UTF-8.
    static std::string Xml(const std::string& text);
};
