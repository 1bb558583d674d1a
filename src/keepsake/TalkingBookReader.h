// TTalkingBookReader: reads a talking book back for the storybook to play:
// the package the container names, the content documents of its spine that
// have a media overlay, their text as a story text (each heading or
// paragraph that holds a said sentence a paragraph, a line break a line end;
// "The End", class "the-end", left out: the storybook ends every story so),
// the sentences said (spans "s<S>" holding word spans "s<S>w<W>", as
// TTalkingBook writes them) with their clips from the overlays, and the one
// track they all clip, opened to be decoded a stretch at a time (only its
// compressed bytes are held).
//
// Anything else (no package, no overlay, another audio file per clip, ids
// of another kind, a clip that does not parse, sound that does not decode)
// is refused with the reason, never half read.
#pragma once
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/Mp3Decoder.h"
#include "platform/ZipReader.h"
#include "reading/BookVoice.h"

class TTalkingBookReader {
public:
    // The largest document, and the largest sound file, read (and held).
    static constexpr std::size_t kMaxDocument = 16u << 20;
    static constexpr std::size_t kMaxSound = 512u << 20;
    // The longest track played, in samples (eight hours at the voice's
    // 16 kHz).
    static constexpr std::size_t kMaxSamples = 256u << 20;

    struct Book {
        std::string Story; // a story text (Latin-1, markers)
        std::vector<TBookVoice::Sentence> Sentences;
        std::unique_ptr<plat::PcmTrack> Track; // the voice, 16-bit mono
    };

    // Raised when the archive is no talking book that can be played; its
    // message says why, for the player ("it has no voice of its own").
    class Refused : public std::runtime_error {
    public:
        using std::runtime_error::runtime_error;
    };

    // The book in Archive, its sound opened by Decoder (nullptr: none is
    // installed, which is refused too).
    static Book Read(plat::ZipReader& archive, plat::Mp3Decoder* decoder);

    // A clock value of an overlay ("0:01:02.5", "02:03", "4.2s", "350ms")
    // in milliseconds; -1 when it is none or past a hundred hours.
    static int64_t ClockMs(const std::string& value);
};
