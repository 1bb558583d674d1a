// The talking book's documents, overlays and package, written as the story
// is said.
#include "keepsake/TalkingBook.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <random>

#include "base/Sha1.h"
#include "keepsake/PictureBookPlan.h"
#include "platform/Files.h"
#include "platform/TextCodec.h"
#include "story/StoryText.h"

namespace {

constexpr const char* kDir = "OEBPS/";
constexpr const char* kVoice = "voice.mp3";
constexpr const char* kFailed = "Talking book: ";
// How much of a document is gathered before it goes into the archive.
constexpr std::size_t kPiece = 1 << 16;
// The namespace of the stories' name-based identifiers (a UUID of our own).
constexpr unsigned char kStoryNamespace[16] = {0x11, 0x07, 0x56, 0x85, 0x43, 0x3b, 0x42, 0xf5,
                                               0x97, 0xbc, 0x17, 0xde, 0x77, 0xcb, 0x7f, 0x8b};

bool MarkerAt(const std::string& text, std::size_t i) {
    return i + 1 < text.size() && text[i] == '\\' && text[i + 1] == 'n';
}

// Character C of Latin-1 text as XML character data in UTF-8; bytes that XML
// does not take become spaces.
std::string XmlChar(unsigned char c) {
    switch (c) {
    case '&':
        return "&amp;";
    case '<':
        return "&lt;";
    case '>':
        return "&gt;";
    case '"':
        return "&quot;";
    default:
        break;
    }
    if (c < 0x20 || (c >= 0x7F && c < 0xA0))
        return " ";
    return plat::Latin1ToUtf8(std::string(1, static_cast<char>(c)));
}

std::string Uuid(const unsigned char b[16]) {
    char out[64];
    std::snprintf(out, sizeof out,
                  "urn:uuid:%02x%02x%02x%02x-%02x%02x-%02x%02x-%02x%02x-%02x%02x%02x%02x%02x%02x",
                  b[0], b[1], b[2], b[3], b[4], b[5], b[6], b[7], b[8], b[9], b[10], b[11], b[12],
                  b[13], b[14], b[15]);
    return out;
}

// The book's text and where its parts lie: the story (a NUL, which no
// document holds and the voice would stop at, read as a space), then two
// markers and "The End", said as the story's last sentence.
struct Layout {
    std::string text;
    std::size_t titleBegin = 0, titleEnd = 0; // the title, the first line
    std::size_t storyEnd = 0;                 // the story's characters end here
    std::size_t endBegin = 0;                 // where "The End" starts
    // The page breaks: the character each stands before, and its page.
    struct Page {
        int32_t at;
        int number;
    };
    std::vector<Page> pages;

    explicit Layout(const TTalkingBook::Input& input) : text(input.Story) {
        std::replace(text.begin(), text.end(), '\0', ' ');
        storyEnd = text.size();
        text += "\\n\\n";
        endBegin = text.size();
        text += TPictureBookPlan::kTheEnd;
        std::size_t i = 0;
        while (i < storyEnd && (text[i] == ' ' || MarkerAt(text, i)))
            i += text[i] == ' ' ? 1 : 2;
        titleBegin = std::min(i, storyEnd);
        titleEnd = titleBegin;
        while (titleEnd < storyEnd && !MarkerAt(text, titleEnd))
            ++titleEnd;
        // A page break stands before the first character shown on its page.
        for (std::size_t p = 0; p < input.PageStarts.size(); ++p) {
            std::size_t at = static_cast<std::size_t>(std::max(0, input.PageStarts[p]));
            while (at < storyEnd && (text[at] == ' ' || MarkerAt(text, at)))
                at += text[at] == ' ' ? 1 : 2;
            if (at < storyEnd)
                pages.push_back({static_cast<int32_t>(at), static_cast<int>(p + 1)});
        }
        std::stable_sort(pages.begin(), pages.end(),
                         [](const Page& a, const Page& b) { return a.at < b.at; });
    }

    bool InTitle(std::size_t at) const { return at < titleEnd; }
};

// What opens or closes at a character of a document: the spans of the
// sentences and words said, and the page breaks.
struct Mark {
    enum Kind : uint8_t { CloseWord, CloseSentence, PageBreak, OpenSentence, OpenWord };
    int32_t at;
    Kind kind;
    int32_t sentence; // from 0, or the page's number for a page break
    int32_t word;     // from 0
};

// The marks of the characters [From, To) of the book's text, in the order
// they are written.
std::vector<Mark> MarksOf(const TSpokenStory& spoken, const Layout& layout, std::size_t from,
                          std::size_t to) {
    std::vector<Mark> marks;
    const auto in = [&](int32_t at) {
        return static_cast<std::size_t>(at) >= from && static_cast<std::size_t>(at) < to;
    };
    for (std::size_t s = 0; s < spoken.Sentences.size(); ++s) {
        const TSpokenStory::Sentence& sentence = spoken.Sentences[s];
        if (!in(sentence.Begin))
            continue;
        const auto si = static_cast<int32_t>(s);
        marks.push_back({sentence.Begin, Mark::OpenSentence, si, 0});
        for (std::size_t w = 0; w < sentence.Words.size(); ++w) {
            const auto wi = static_cast<int32_t>(w);
            marks.push_back({sentence.Words[w].Begin, Mark::OpenWord, si, wi});
            marks.push_back({sentence.Words[w].End, Mark::CloseWord, si, wi});
        }
        marks.push_back({sentence.End, Mark::CloseSentence, si, 0});
    }
    for (const Layout::Page& page : layout.pages)
        if (in(page.at))
            marks.push_back({page.at, Mark::PageBreak, page.number, 0});
    std::stable_sort(marks.begin(), marks.end(), [](const Mark& a, const Mark& b) {
        return a.at != b.at ? a.at < b.at : a.kind < b.kind;
    });
    return marks;
}

std::string SentenceId(int32_t s) {
    return "s" + std::to_string(s + 1);
}
std::string WordId(int32_t s, int32_t w) {
    return SentenceId(s) + "w" + std::to_string(w + 1);
}

// A document written into the archive in pieces; Flush writes what is left.
class Piecewise {
public:
    Piecewise(plat::ZipWriter& archive, const std::string& name, bool stored = false)
        : archive_(archive) {
        Check(archive_.Begin(name, stored));
    }
    Piecewise& operator<<(const std::string& s) {
        buffer_ += s;
        if (buffer_.size() >= kPiece)
            Flush();
        return *this;
    }
    void Flush() {
        Check(archive_.Write(buffer_));
        buffer_.clear();
    }
    void Check(bool ok) const {
        if (!ok)
            throw std::runtime_error(kFailed + archive_.Failure());
    }

private:
    plat::ZipWriter& archive_;
    std::string buffer_;
};

// The characters of the book's text in documents, with their marks.
class Writer {
public:
    Writer(const std::string& text, std::vector<Mark> marks, Piecewise& out)
        : text_(text), marks_(std::move(marks)), out_(out) {}

    // Characters [From, To), which hold no marker, with their marks: those
    // that close at To, none that open there.
    void Inline(std::size_t from, std::size_t to) {
        std::string piece;
        for (std::size_t i = from; i <= to; ++i) {
            const auto at = static_cast<int32_t>(i);
            for (; next_ < marks_.size() && marks_[next_].at <= at; ++next_) {
                const Mark& m = marks_[next_];
                const bool closes = m.kind == Mark::CloseWord || m.kind == Mark::CloseSentence;
                if (m.at == at && i == to && !closes)
                    break; // it opens after To
                piece += Tag(m);
            }
            if (i == to)
                break;
            piece += XmlChar(static_cast<unsigned char>(text_[i]));
            if (piece.size() >= kPiece) {
                out_ << piece;
                piece.clear();
            }
        }
        out_ << piece;
    }

    // Characters [From, To) as paragraphs: one marker breaks the line, two or
    // more start a new paragraph.
    void Paragraphs(std::size_t from, std::size_t to) {
        bool open = false;
        int markers = 0;
        std::size_t i = from;
        auto isBreak = [&](std::size_t at) { return MarkerAt(text_, at) && at + 1 < to; };
        while (i < to) {
            if (isBreak(i)) {
                ++markers;
                i += 2;
                continue;
            }
            std::size_t end = i;
            while (end < to && !isBreak(end))
                ++end;
            if (text_.find_first_not_of(' ', i) >= end) {
                i = end;
                continue;
            }
            if (!open)
                out_ << "<p>";
            else if (markers >= 2)
                out_ << "</p>\n<p>";
            else if (markers == 1)
                out_ << "<br/>";
            open = true;
            Inline(i, end);
            markers = 0;
            i = end;
        }
        if (open)
            out_ << "</p>\n";
    }

private:
    static std::string Tag(const Mark& m) {
        switch (m.kind) {
        case Mark::OpenSentence:
            return "<span id=\"" + SentenceId(m.sentence) + "\">";
        case Mark::OpenWord:
            return "<span id=\"" + WordId(m.sentence, m.word) + "\">";
        case Mark::PageBreak: {
            const std::string n = std::to_string(m.sentence);
            return "<span epub:type=\"pagebreak\" role=\"doc-pagebreak\" id=\"page" + n +
                   "\" aria-label=\"" + n + "\"></span>";
        }
        default:
            return "</span>";
        }
    }

    const std::string& text_;
    std::vector<Mark> marks_;
    std::size_t next_ = 0;
    Piecewise& out_;
};

std::string XhtmlHead(const std::string& title, const std::string& bodyClass) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE html>\n"
           "<html xmlns=\"http://www.w3.org/1999/xhtml\" "
           "xmlns:epub=\"http://www.idpf.org/2007/ops\" xml:lang=\"en\" lang=\"en\">\n"
           "<head>\n<meta charset=\"UTF-8\"/>\n<title>" +
           title +
           "</title>\n<link rel=\"stylesheet\" type=\"text/css\" href=\"book.css\"/>\n"
           "</head>\n<body class=\"" +
           bodyClass + "\">\n";
}
constexpr const char* kXhtmlTail = "</body>\n</html>\n";

// The content documents and what each says.
struct Doc {
    const char* name; // file name without extension, and its section's id
    std::size_t from, to;
    bool said = false;
    int64_t ms = 0; // the length of its clips
};

// Writes the overlay of Doc (its sentences' clips) and sums their length.
void WriteOverlay(plat::ZipWriter& archive, const TSpokenStory& spoken, Doc& doc) {
    const std::string file = std::string(doc.name) + ".xhtml";
    Piecewise out(archive, kDir + std::string(doc.name) + ".smil");
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<smil xmlns=\"http://www.w3.org/ns/SMIL\" xmlns:epub=\"http://www.idpf.org/2007/ops\" "
           "version=\"3.0\">\n<body>\n<seq id=\"seq1\" epub:textref=\"" +
               file + "#" + doc.name + "\">\n";
    doc.ms = 0;
    int n = 0;
    std::string pars;
    auto par = [&](const std::string& id, const TSpokenStory::Clip& clip) {
        pars += "<par id=\"p" + std::to_string(++n) + "\"><text src=\"" + file + "#" + id +
                "\"/><audio src=\"" + kVoice + "\" clipBegin=\"" + TTalkingBook::Clock(clip.Begin) +
                "\" clipEnd=\"" + TTalkingBook::Clock(clip.End) + "\"/></par>\n";
        doc.ms += clip.End - clip.Begin;
    };
    for (std::size_t s = 0; s < spoken.Sentences.size(); ++s) {
        const TSpokenStory::Sentence& sentence = spoken.Sentences[s];
        const auto begin = static_cast<std::size_t>(sentence.Begin);
        if (begin < doc.from || begin >= doc.to)
            continue;
        const auto si = static_cast<int32_t>(s);
        if (sentence.WordClips.empty())
            par(SentenceId(si), sentence.Span);
        for (std::size_t w = 0; w < sentence.WordClips.size(); ++w)
            par(WordId(si, static_cast<int32_t>(w)), sentence.WordClips[w]);
        out << pars;
        pars.clear();
    }
    out << "</seq>\n</body>\n</smil>\n";
    out.Flush();
}

// The package document; Durations the overlays' lengths and the book's, as
// clock values (placeholders of the widest kind before they are known).
std::string Package(const TTalkingBook::Input& input, const std::string& title,
                    const std::string& font, const std::vector<Doc>& docs,
                    const std::vector<std::string>& durations, bool pageList) {
    const bool picture = !input.CoverPng.empty();
    std::string meta =
        "<dc:identifier id=\"uid\">" +
        TTalkingBook::Xml(input.Identifier.empty() ? TTalkingBook::StoryIdentifier(input.Story)
                                                   : input.Identifier) +
        "</dc:identifier>\n<dc:title>" + title + "</dc:title>\n";
    std::vector<std::string> creators;
    for (const std::string* name : {&input.Hero, &input.Heroine})
        if (name->find_first_not_of(' ') != std::string::npos &&
            std::find(creators.begin(), creators.end(), *name) == creators.end())
            creators.push_back(*name);
    if (creators.empty())
        creators.emplace_back(TTalkingBook::kGameName);
    for (std::size_t c = 0; c < creators.size(); ++c)
        meta += "<dc:creator id=\"creator" + std::to_string(c + 1) + "\">" +
                TTalkingBook::Xml(creators[c]) + "</dc:creator>\n";
    meta += "<dc:language>en</dc:language>\n<meta property=\"dcterms:modified\">" +
            TTalkingBook::Stamp(input.Modified) + "</meta>\n";
    std::size_t d = 0;
    for (const Doc& doc : docs)
        if (doc.said)
            meta += "<meta property=\"media:duration\" refines=\"#" + std::string(doc.name) +
                    "-overlay\">" + durations[d++] + "</meta>\n";
    meta += "<meta property=\"media:duration\">" + durations.back() + "</meta>\n";
    meta += std::string("<meta property=\"media:active-class\">") + TTalkingBook::kActiveClass +
            "</meta>\n";
    auto property = [&](const char* name, const std::string& value) {
        meta += std::string("<meta property=\"") + name + "\">" + value + "</meta>\n";
    };
    for (const char* mode : {"textual", "visual", "auditory"})
        if (picture || std::string(mode) != "visual")
            property("schema:accessMode", mode);
    // Every word is said, and the picture is told in words.
    for (const char* modes : {"textual", "auditory", "textual,visual"})
        if (picture || std::string(modes) != "textual,visual")
            property("schema:accessModeSufficient", modes);
    for (const char* feature : {"synchronizedAudioText", "tableOfContents", "readingOrder",
                                "alternativeText", "displayTransformability", "pageNavigation"})
        if ((picture || std::string(feature) != "alternativeText") &&
            (pageList || std::string(feature) != "pageNavigation"))
            property("schema:accessibilityFeature", feature);
    property("schema:accessibilityHazard", "none");
    property("schema:accessibilitySummary",
             "A story a child made, with its picture told in words. It reads itself aloud, each "
             "word lit while it is said; the text can be read without the voice, shown in any "
             "size and followed page by page as in the game's storybook.");
    property("dcterms:conformsTo", "EPUB Accessibility 1.1 - WCAG 2.1 Level AA");
    property("a11y:certifiedBy", TTalkingBook::kGameName);
    // The page breaks' source, as EPUB 3.2 names it (the package vocabulary
    // of Accessibility 1.1, pageBreakSource, is unknown to epubcheck 4).
    if (pageList)
        meta += "<dc:source id=\"pagination-source\">" + TTalkingBook::Xml(input.PageSource) +
                "</dc:source>\n<meta refines=\"#pagination-source\" "
                "property=\"source-of\">pagination</meta>\n";

    std::string manifest =
        "<item id=\"nav\" href=\"nav.xhtml\" media-type=\"application/xhtml+xml\" "
        "properties=\"nav\"/>\n<item id=\"css\" href=\"book.css\" media-type=\"text/css\"/>\n";
    if (picture)
        manifest += "<item id=\"cover-image\" href=\"cover.png\" media-type=\"image/png\" "
                    "properties=\"cover-image\"/>\n";
    std::string spine;
    for (const Doc& doc : docs) {
        const std::string id = doc.name;
        manifest += "<item id=\"" + id + "\" href=\"" + id +
                    ".xhtml\" media-type=\"application/xhtml+xml\"" +
                    (doc.said ? " media-overlay=\"" + id + "-overlay\"" : "") + "/>\n";
        if (doc.said)
            manifest += "<item id=\"" + id + "-overlay\" href=\"" + id +
                        ".smil\" media-type=\"application/smil+xml\"/>\n";
        spine += "<itemref idref=\"" + id + "\"/>\n";
    }
    manifest +=
        std::string("<item id=\"voice\" href=\"") + kVoice + "\" media-type=\"audio/mpeg\"/>\n";
    if (!font.empty())
        manifest += "<item id=\"font\" href=\"fonts/" + TTalkingBook::Xml(font) +
                    "\" media-type=\"font/ttf\"/>\n";
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<package xmlns=\"http://www.idpf.org/2007/opf\" version=\"3.0\" "
           "unique-identifier=\"uid\" xml:lang=\"en\">\n"
           "<metadata xmlns:dc=\"http://purl.org/dc/elements/1.1/\">\n" +
           meta + "</metadata>\n<manifest>\n" + manifest + "</manifest>\n<spine>\n" + spine +
           "</spine>\n</package>\n";
}

std::string Stylesheet(const TTalkingBook::Input& input, const std::string& font) {
    std::string css;
    if (!font.empty())
        css += "@font-face {\n  font-family: \"" + input.Face.Family +
               "\";\n  font-style: normal;\n  font-weight: normal;\n  src: url(\"fonts/" + font +
               "\");\n}\n";
    css += std::string("body {\n  background-color: ") + TTalkingBook::kPaperColour +
           ";\n  color: " + TTalkingBook::kInkColour + ";\n  font-family: \"" + input.Face.Family +
           "\", " + input.Face.Fallback + ";\n  font-size: " + (input.Face.Big ? "1.5em" : "1em") +
           ";\n  line-height: 1.5;\n  margin: 0 5%;\n}\n"
           "h1 {\n  text-align: center;\n  font-size: 1.6em;\n  margin: 0.5em 0;\n}\n"
           ".cover {\n  text-align: center;\n  margin: 1em 0;\n}\n"
           ".cover img {\n  width: 80%;\n  max-width: 600px;\n  image-rendering: pixelated;\n}\n"
           "p {\n  margin: 0 0 0.8em 0;\n}\n"
           ".the-end {\n  text-align: center;\n  font-size: 1.2em;\n  margin-top: 2em;\n}\n"
           "." +
           TTalkingBook::kActiveClass + ",\n." + TTalkingBook::kConventionalActiveClass +
           " {\n  background-color: " + TTalkingBook::kWordColour +
           ";\n  color: " + TTalkingBook::kWordInkColour + ";\n  border-radius: 0.2em;\n}\n";
    return css;
}

} // namespace

TTalkingBook::Letters TTalkingBook::LettersFor(const TBookLetters& chosen) {
    Letters letters;
    letters.Big = chosen.big;
    std::vector<std::string> paths;
    if (chosen.face == TBookLetters::Face::EasyRead) {
        letters.Family = "Andika";
        letters.Fallback = "sans-serif";
        paths = {"/usr/share/fonts/truetype/andika/Andika-Regular.ttf",
                 "/usr/share/fonts/truetype/andika/AndikaNewBasic-R.ttf"};
    } else {
        letters.Family = "Liberation Serif";
        letters.Fallback = "\"Times New Roman\", serif";
        paths = {"/usr/share/fonts/truetype/liberation2/LiberationSerif-Regular.ttf",
                 "/usr/share/fonts/truetype/liberation/LiberationSerif-Regular.ttf"};
    }
    for (const std::string& p : paths)
        if (plat::FileExists(p)) {
            letters.FontPath = p;
            break;
        }
    return letters;
}

std::string TTalkingBook::Clock(int64_t ms) {
    if (ms < 0)
        ms = 0;
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%lld:%02lld:%02lld.%03lld",
                  static_cast<long long>(ms / 3600000), static_cast<long long>(ms / 60000 % 60),
                  static_cast<long long>(ms / 1000 % 60), static_cast<long long>(ms % 1000));
    return buffer;
}

std::string TTalkingBook::Stamp(std::time_t time) {
    std::tm utc{};
    gmtime_r(&time, &utc);
    char buffer[32];
    std::strftime(buffer, sizeof buffer, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return buffer;
}

std::string TTalkingBook::Xml(const std::string& text) {
    std::string out;
    for (const char c : text)
        out += XmlChar(static_cast<unsigned char>(c));
    return out;
}

std::string TTalkingBook::StoryIdentifier(const std::string& story) {
    std::string name(reinterpret_cast<const char*>(kStoryNamespace), sizeof kStoryNamespace);
    name += story;
    const TSha1::Digest digest = TSha1::Of(name);
    unsigned char b[16];
    std::copy(digest.begin(), digest.begin() + 16, b);
    b[6] = static_cast<unsigned char>((b[6] & 0x0F) | 0x50); // version 5
    b[8] = static_cast<unsigned char>((b[8] & 0x3F) | 0x80); // RFC 4122 variant
    return Uuid(b);
}

std::string TTalkingBook::NewIdentifier() {
    std::random_device device;
    std::mt19937_64 random((static_cast<uint64_t>(device()) << 32) ^ device());
    unsigned char b[16];
    for (int i = 0; i < 16; i += 8) {
        const uint64_t r = random();
        for (int j = 0; j < 8; ++j)
            b[i + j] = static_cast<unsigned char>(r >> (8 * j));
    }
    b[6] = static_cast<unsigned char>((b[6] & 0x0F) | 0x40); // version 4
    b[8] = static_cast<unsigned char>((b[8] & 0x3F) | 0x80); // RFC 4122 variant
    return Uuid(b);
}

void TTalkingBook::MakeInto(const Input& input, plat::SpeechSynth* synth, float stretch,
                            plat::Mp3Encoder* encoder, plat::ZipWriter& archive,
                            const Progress& progress, TSpokenStory* spokenOut) {
    const std::string failed = kFailed;
    if (!synth)
        throw std::runtime_error(failed + "no voice engine is installed to read the story aloud");
    if (!encoder)
        throw std::runtime_error(failed + "no MP3 encoder is installed (libmp3lame)");
    auto check = [&](bool ok) {
        if (!ok)
            throw std::runtime_error(failed + archive.Failure());
    };
    const Layout layout(input);
    const std::string& text = layout.text;
    TSpokenStory spoken;
    spoken.TrackRate = input.SampleRate;
    try {
        spoken.Plan(text);
    } catch (const std::exception& e) {
        throw std::runtime_error(failed + e.what());
    }
    std::vector<Doc> docs = {{"title", layout.titleBegin, layout.titleEnd},
                             {"story", layout.titleEnd, text.size()}};
    for (Doc& doc : docs)
        doc.said = std::any_of(spoken.Sentences.begin(), spoken.Sentences.end(),
                               [&](const TSpokenStory::Sentence& s) {
                                   const auto at = static_cast<std::size_t>(s.Begin);
                                   return at >= doc.from && at < doc.to;
                               });
    const std::string title = Xml(StoryTitle(input.Story));
    const bool pageList = !layout.pages.empty();
    // The font's file name, when its bytes are given.
    const std::string font = [&] {
        const std::size_t slash = input.Face.FontPath.find_last_of('/');
        return input.FontBytes.empty()      ? std::string()
               : slash == std::string::npos ? input.Face.FontPath
                                            : input.Face.FontPath.substr(slash + 1);
    }();

    // The head: the container and the package, its lengths not yet known.
    check(archive.Add({"mimetype", "application/epub+zip", true}));
    check(archive.Add({"META-INF/container.xml",
                       "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                       "<container version=\"1.0\" "
                       "xmlns=\"urn:oasis:names:tc:opendocument:xmlns:container\">\n"
                       "<rootfiles>\n<rootfile full-path=\"OEBPS/content.opf\" "
                       "media-type=\"application/oebps-package+xml\"/>\n</rootfiles>\n"
                       "</container>\n",
                       false}));
    const std::size_t packageEntry = 2;
    const std::vector<std::string> widest(docs.size() + 1,
                                          Clock(std::numeric_limits<int64_t>::max()));
    const std::string placeholder = Package(input, title, font, docs, widest, pageList);
    check(archive.Add({kDir + std::string("content.opf"), placeholder, true}));

    // The voice, encoded and written as it is said.
    const std::size_t voiceEntry = 3;
    check(archive.Begin(kDir + std::string(kVoice), true));
    std::string mp3, why;
    uint64_t mp3Bytes = 0;
    bool begun = false;
    auto put = [&] {
        check(archive.Write(mp3));
        mp3Bytes += mp3.size();
        mp3.clear();
    };
    bool finished = false;
    try {
        finished = spoken.Say(
            *synth, text, stretch,
            [&](const int16_t* samples, std::size_t count) {
                if (!begun && !encoder->Begin(spoken.SampleRate, why))
                    throw std::runtime_error(why);
                begun = true;
                if (!encoder->Add(samples, count, mp3, why))
                    throw std::runtime_error(why);
                put();
            },
            progress);
    } catch (const std::exception& e) {
        const std::string what = e.what();
        throw std::runtime_error(what.starts_with(failed) ? what : failed + what);
    }
    if (!finished)
        throw Cancelled();
    std::string head;
    if (!encoder->End(mp3, head, why))
        throw std::runtime_error(failed + why);
    put();
    if (head.size() > mp3Bytes)
        throw std::runtime_error(failed + "the MP3 encoder made a header longer than its file");
    if (!head.empty())
        check(archive.Rewrite(voiceEntry, 0, head));

    // The navigation.
    {
        Piecewise nav(archive, kDir + std::string("nav.xhtml"));
        nav << XhtmlHead(title, "nav") +
                   "<nav epub:type=\"toc\" role=\"doc-toc\" id=\"toc\" "
                   "aria-labelledby=\"toc-title\">\n<h1 id=\"toc-title\">Contents</h1>\n<ol>\n"
                   "<li><a href=\"title.xhtml\">" +
                   title +
                   "</a></li>\n<li><a href=\"story.xhtml\">The story</a></li>\n</ol>\n</nav>\n"
                   "<nav epub:type=\"landmarks\" id=\"landmarks\" hidden=\"hidden\">\n"
                   "<h2>Landmarks</h2>\n<ol>\n"
                   "<li><a epub:type=\"titlepage\" href=\"title.xhtml\">The title page</a></li>\n"
                   "<li><a epub:type=\"bodymatter\" href=\"story.xhtml#story\">The story</a></li>\n"
                   "</ol>\n</nav>\n";
        if (pageList) {
            nav << "<nav epub:type=\"page-list\" role=\"doc-pagelist\" id=\"page-list\" "
                   "hidden=\"hidden\">\n<h2>Pages</h2>\n<ol>\n";
            for (const Layout::Page& page : layout.pages) {
                const std::string n = std::to_string(page.number);
                nav << "<li><a href=\"" + std::string(layout.InTitle(page.at) ? "title" : "story") +
                           ".xhtml#page" + n + "\">" + n + "</a></li>\n";
            }
            nav << "</ol>\n</nav>\n";
        }
        nav << kXhtmlTail;
        nav.Flush();
    }

    // The title page and the story.
    {
        Piecewise out(archive, kDir + std::string("title.xhtml"));
        Writer writer(text, MarksOf(spoken, layout, docs[0].from, docs[0].to), out);
        out << XhtmlHead(title, "title-page") + "<section id=\"title\" epub:type=\"titlepage\">\n";
        if (!input.CoverPng.empty())
            out << "<div class=\"cover\"><img src=\"cover.png\" alt=\"" + Xml(input.CoverAlt) +
                       "\"/></div>\n";
        out << "<h1>";
        writer.Inline(layout.titleBegin, layout.titleEnd);
        out << std::string("</h1>\n</section>\n") + kXhtmlTail;
        out.Flush();
    }
    {
        Piecewise out(archive, kDir + std::string("story.xhtml"));
        Writer writer(text, MarksOf(spoken, layout, docs[1].from, docs[1].to), out);
        out << XhtmlHead(title, "story") +
                   "<section id=\"story\" epub:type=\"bodymatter chapter\" role=\"doc-chapter\" "
                   "aria-labelledby=\"story-title\">\n<h1 id=\"story-title\">" +
                   title + "</h1>\n";
        writer.Paragraphs(layout.titleEnd, layout.storyEnd);
        out << "<p class=\"the-end\">";
        writer.Inline(layout.endBegin, text.size());
        out << std::string("</p>\n</section>\n") + kXhtmlTail;
        out.Flush();
    }

    // The overlays, the stylesheet, the picture and the font.
    for (Doc& doc : docs)
        if (doc.said)
            WriteOverlay(archive, spoken, doc);
    check(archive.Add({kDir + std::string("book.css"), Stylesheet(input, Xml(font)), false}));
    if (!input.CoverPng.empty())
        check(archive.Add({kDir + std::string("cover.png"), input.CoverPng, false}));
    if (!font.empty())
        check(archive.Add({kDir + std::string("fonts/") + font, input.FontBytes, false}));

    // The package again, with the lengths, in the place it took.
    std::vector<std::string> durations;
    int64_t total = 0;
    for (const Doc& doc : docs)
        if (doc.said) {
            durations.push_back(Clock(doc.ms));
            total += doc.ms;
        }
    durations.push_back(Clock(total));
    std::string package = Package(input, title, font, docs, durations, pageList);
    if (package.size() > placeholder.size())
        throw std::runtime_error(failed + "the package outgrew its place");
    package.append(placeholder.size() - package.size(), ' ');
    check(archive.Rewrite(packageEntry, 0, package));
    check(archive.Finish());
    if (spokenOut)
        *spokenOut = std::move(spoken);
}
