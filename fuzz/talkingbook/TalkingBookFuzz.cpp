// Fuzz target: a talking book made from a story text. The first byte chooses
// how the rest becomes the story (bit 0: each line feed a paragraph marker),
// how many words the test synthesizer says beyond the text's (bits 1-2, so
// that its words no longer map onto the page's), its pace (bit 3), whether
// the book has a cover with the story's opening as its description (bit 4)
// and whether a page starts every 37 characters, the story's opening the
// hero's name (bit 5); the rest, up to 2 KB, is the story, Latin-1. The book
// is made by TTalkingBook::MakeInto with the test synthesizer, the counting
// encoder and a zip writer that keeps the files.
//
// Every story makes a book ("The End" is always said), and then: the files'
// names are unique, the mimetype comes first and the package document third,
// both stored (where the shelf reads the title); every XML document is
// well-formed (XmlCheck.h) with unique ids; every overlay's text and
// sequence points at an id of its document; every sentence said has its
// pars; the clips, the title's overlay then the story's, follow each other
// without a gap from the track's start to its end; the package's manifest,
// spine and refinements, and the navigation's links, point at files and ids
// that are there, and every file is in the manifest; the shelf reads the
// package's title back as the story's title (control characters, which a
// document cannot hold, as spaces).
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "XmlCheck.h"
#include "keepsake/TalkingBook.h"
#include "platform/TextCodec.h"
#include "platform/ZipEntryList.h"
#include "reading/SpokenStory.h"
#include "shelf/StoryShelf.h"
#include "story/StoryText.h"
#include "support/NullMp3Encoder.h"
#include "support/NullSpeechSynth.h"

namespace {

void Check(bool ok, const std::string& what = {}) {
    if (!ok) {
        std::fprintf(stderr, "talking book: %s\n", what.c_str());
        std::abort();
    }
}

constexpr std::size_t kMaxStory = 2048;
constexpr const char* kDir = "OEBPS/";

bool IsXml(const std::string& name) {
    for (const char* ext : {".xml", ".opf", ".xhtml", ".smil"})
        if (name.ends_with(ext))
            return true;
    return false;
}

// The title as a document holds it, in UTF-8 as the shelf reads it.
std::string AsDocumentHoldsIt(std::string title) {
    for (char& c : title) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || (b >= 0x7F && b < 0xA0))
            c = ' ';
    }
    return plat::Latin1ToUtf8(title);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    const uint8_t flags = data[0];
    std::string story;
    for (std::size_t i = 1; i < size && story.size() < kMaxStory; ++i) {
        const char c = static_cast<char>(data[i]);
        if (c == '\n' && (flags & 1))
            story += "\\n";
        else
            story += c;
    }

    fbwtest::NullSpeechSynth synth;
    synth.ExtraWords = (flags >> 1) & 3;
    const float stretch = (flags & 8) ? 0.5f : plat::SpeechSynth::kNormalStretch;
    fbwtest::NullMp3Encoder encoder;
    plat::ZipEntryList packer;
    TTalkingBook::Input input;
    input.Story = story;
    input.Face.Family = "Liberation Serif";
    input.Face.Fallback = "serif";
    input.Identifier = "urn:uuid:00000000-0000-4000-8000-000000000000";
    input.Modified = 1796748300;
    if (flags & 16) {
        input.CoverPng = "\x89PNG";
        input.CoverAlt = story.substr(0, 40);
    }
    if (flags & 32) {
        for (std::size_t at = 0; at < story.size(); at += 37)
            input.PageStarts.push_back(static_cast<int32_t>(at));
        input.Hero = story.substr(0, 12);
    }
    TSpokenStory spoken;
    try {
        TTalkingBook::MakeInto(input, &synth, stretch, &encoder, packer, {}, &spoken);
    } catch (const std::runtime_error& e) {
        Check(false, e.what());
    }

    // The archive's files.
    const std::vector<plat::ZipEntry>& files = packer.Entries;
    Check(files.size() >= 3 && files[0].Name == "mimetype" && files[0].Stored &&
              files[2].Name == std::string(kDir) + "content.opf" && files[2].Stored,
          "order");
    std::map<std::string, xmlcheck::Document> docs;
    for (const plat::ZipEntry& f : files) {
        Check(!docs.contains(f.Name), "repeated " + f.Name);
        xmlcheck::Document& doc = docs[f.Name];
        std::string why;
        if (IsXml(f.Name)) {
            const bool ok = xmlcheck::Check(f.Bytes, doc, why);
            Check(ok, f.Name + ": " + why);
        }
    }

    // What an overlay points at: "file#id", the file beside it.
    auto resolves = [&](const std::string* ref) {
        if (!ref)
            return false;
        const std::size_t hash = ref->find('#');
        const auto doc = docs.find(kDir + ref->substr(0, hash));
        return hash != std::string::npos && doc != docs.end() &&
               doc->second.Ids.contains(ref->substr(hash + 1));
    };
    std::size_t pars = 0;
    std::string clipEnd = TTalkingBook::Clock(0);
    for (const char* name : {"title.smil", "story.smil"}) {
        const auto smil = docs.find(kDir + std::string(name));
        if (smil == docs.end())
            continue;
        for (const xmlcheck::Element& e : smil->second.Elements) {
            if (e.Name == "text")
                Check(resolves(e.Attr("src")), std::string(name) + ": a text points nowhere");
            if (e.Name == "seq")
                Check(resolves(e.Attr("epub:textref")), std::string(name) + ": seq");
            if (e.Name == "audio") {
                Check(e.Attr("clipBegin") && *e.Attr("clipBegin") == clipEnd,
                      std::string(name) + ": a gap or an overlap before a clip");
                clipEnd = e.Attr("clipEnd") ? *e.Attr("clipEnd") : "";
            }
            pars += e.Name == "par";
        }
    }
    Check(clipEnd == TTalkingBook::Clock(spoken.DurationMs()), "the clips end before the track");
    std::size_t said = 0;
    for (const TSpokenStory::Sentence& s : spoken.Sentences)
        said += s.WordClips.empty() ? 1 : s.WordClips.size();
    Check(pars == said, "pars " + std::to_string(pars) + " of " + std::to_string(said));

    // The package and the navigation.
    const xmlcheck::Document& opf = docs[std::string(kDir) + "content.opf"];
    std::size_t listed = 0;
    for (const xmlcheck::Element& e : opf.Elements) {
        auto isId = [&](const char* attr, std::string_view prefix = {}) {
            const std::string* v = e.Attr(attr);
            return !v || (v->starts_with(prefix) && opf.Ids.contains(v->substr(prefix.size())));
        };
        if (e.Name == "item") {
            Check(e.Attr("href") && docs.contains(kDir + *e.Attr("href")), "manifest");
            ++listed;
        }
        Check(isId("media-overlay") && isId("idref") && isId("refines", "#"), "package id");
    }
    Check(static_cast<std::ptrdiff_t>(listed + 1) ==
              std::count_if(files.begin(), files.end(),
                            [](const plat::ZipEntry& f) { return f.Name.starts_with(kDir); }),
          "manifest misses a file");
    for (const xmlcheck::Element& e : docs[std::string(kDir) + "nav.xhtml"].Elements)
        if (e.Name == "a")
            Check(e.Attr("href") && (e.Attr("href")->find('#') == std::string::npos
                                         ? docs.contains(kDir + *e.Attr("href"))
                                         : resolves(e.Attr("href"))),
                  "nav");

    // The title as the shelf reads it.
    const std::string title = StoryTitle(story);
    if (!title.empty())
        Check(TStoryShelf::EpubTitle(files[2].Bytes) == AsDocumentHoldsIt(title), "title");
    return 0;
}
