// Fuzz target: a talking book read back as the storybook reads it to play it.
// The input is the book's package, content document and overlay, one after
// another with a NUL between them, in an archive that also holds a container
// naming the package and a sound file, whose decoder gives a tone as long as
// the sound file's bytes ask. The reader must refuse what it cannot play
// (TTalkingBookReader::Refused) and nothing else; what it reads, the book's
// voice (TBookVoice) says sentence by sentence without failing: every
// sentence of the story text it read is said or refused, each said one with
// as many samples as its clip holds at most and word times in order.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "keepsake/TalkingBookReader.h"
#include "platform/Mp3Decoder.h"
#include "platform/ZipReader.h"
#include "reading/BookVoice.h"
#include "reading/StorySentences.h"

namespace {

void Check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "talking book reader: %s\n", what);
        std::abort();
    }
}

// The archive's entries held in memory.
class Entries : public plat::ZipReader {
public:
    explicit Entries(std::map<std::string, std::string> files) : files_(std::move(files)) {
        for (const auto& f : files_)
            names_.push_back(f.first);
    }
    const std::vector<std::string>& Names() const override { return names_; }
    bool Read(const std::string& name, std::string& bytes, std::string& why,
              std::size_t limit) override {
        const auto found = files_.find(name);
        if (found == files_.end() || found->second.size() > limit) {
            why = "no " + name;
            return false;
        }
        bytes = found->second;
        return true;
    }

private:
    std::map<std::string, std::string> files_;
    std::vector<std::string> names_;
};

// A tone of 8 samples per byte of the sound file, at 8 kHz.
class Tone : public plat::PcmTrack {
public:
    explicit Tone(std::size_t length) : length_(length) {}
    uint32_t SampleRate() const override { return 8000; }
    std::size_t Length() const override { return length_; }
    bool Read(std::size_t from, std::size_t count, std::vector<int16_t>& out) override {
        out.assign(from < length_ ? std::min(count, length_ - from) : 0, 100);
        return true;
    }

private:
    std::size_t length_;
};

class ToneDecoder : public plat::Mp3Decoder {
public:
    std::unique_ptr<plat::PcmTrack> Open(std::string mp3, std::string& why,
                                         std::size_t limit) override {
        if (mp3.empty() || mp3.size() * 8 > limit) {
            why = "no sound";
            return nullptr;
        }
        return std::make_unique<Tone>(mp3.size() * 8);
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> parts;
    for (std::size_t from = 0;;) {
        const std::size_t nul = input.find('\0', from);
        parts.push_back(input.substr(from, nul == std::string::npos ? nul : nul - from));
        if (nul == std::string::npos || parts.size() == 3)
            break;
        from = nul + 1;
    }
    parts.resize(3);
    Entries archive({{"META-INF/container.xml",
                      "<container><rootfiles><rootfile full-path=\"OEBPS/content.opf\"/>"
                      "</rootfiles></container>"},
                     {"OEBPS/content.opf", parts[0]},
                     {"OEBPS/story.xhtml", parts[1]},
                     {"OEBPS/story.smil", parts[2]},
                     {"OEBPS/voice.mp3", std::string(input.size() % 4096, 'x')}});
    ToneDecoder decoder;
    TTalkingBookReader::Book book;
    try {
        book = TTalkingBookReader::Read(archive, &decoder);
    } catch (const TTalkingBookReader::Refused&) {
        return 0;
    }
    Check(!book.Sentences.empty() && book.Track && book.Track->SampleRate() == 8000,
          "a book read with no voice");
    const std::size_t length = book.Track->Length();
    TBookVoice voice(book.Sentences, std::move(book.Track));
    for (const TSentence& s : TStorySentences::Find(book.Story.c_str())) {
        const std::string text = TStorySentences::SpeechText(book.Story.c_str(), s.Begin, s.End);
        plat::SpeechPcm pcm;
        if (!voice.Synthesize(text, pcm))
            continue;
        Check(!pcm.Samples.empty() && pcm.Samples.size() <= length, "samples");
        for (std::size_t w = 1; w < pcm.Words.size(); ++w)
            Check(pcm.Words[w].Token == pcm.Words[w - 1].Token + 1, "tokens in order");
    }
    return 0;
}
