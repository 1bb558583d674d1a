// The talking book's documents, overlays and package.
#include "keepsake/TalkingBook.h"

#include <cstdio>
#include <map>
#include <random>
#include <stdexcept>

#include "keepsake/PictureBookPlan.h"
#include "platform/Files.h"
#include "platform/TextCodec.h"
#include "story/StoryText.h"

namespace {

constexpr const char* kDir = "OEBPS/";
constexpr const char* kVoice = "voice.mp3";

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

// The story's words and sentences as spans, by the character they open
// and close at.
struct SpanMarks {
    std::map<int32_t, std::string> open, close;

    explicit SpanMarks(const TSpokenStory& spoken) {
        for (std::size_t s = 0; s < spoken.Sentences.size(); ++s) {
            const TSpokenStory::Sentence& sentence = spoken.Sentences[s];
            const std::string id = "s" + std::to_string(s + 1);
            open[sentence.Begin] += "<span id=\"" + id + "\">";
            for (std::size_t w = 0; w < sentence.Words.size(); ++w) {
                open[sentence.Words[w].Begin] +=
                    "<span id=\"" + id + "w" + std::to_string(w + 1) + "\">";
                close[sentence.Words[w].End] += "</span>";
            }
            close[sentence.End] += "</span>";
        }
    }

    // Characters [From, To) of Text, which hold no marker, with their spans.
    std::string Inline(const std::string& text, std::size_t from, std::size_t to) const {
        std::string out;
        for (std::size_t i = from; i <= to; ++i) {
            const auto at = static_cast<int32_t>(i);
            if (auto c = close.find(at); c != close.end() && i > from)
                out += c->second;
            if (i == to)
                break;
            if (auto o = open.find(at); o != open.end())
                out += o->second;
            out += XmlChar(static_cast<unsigned char>(text[i]));
        }
        return out;
    }
};

// The story's title: characters [Begin, End), its first line.
struct TitleRange {
    std::size_t begin = 0, end = 0;
};
TitleRange FindTitle(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || MarkerAt(text, i)))
        i += text[i] == ' ' ? 1 : 2;
    std::size_t end = i;
    while (end < text.size() && !MarkerAt(text, end))
        ++end;
    return {i, end};
}

// Characters [From, To) of Text as paragraphs: one marker breaks the line,
// two or more start a new paragraph.
std::string Paragraphs(const std::string& text, std::size_t from, std::size_t to,
                       const SpanMarks& marks) {
    std::string out;
    bool open = false;
    int markers = 0;
    std::size_t i = from;
    while (i < to) {
        if (MarkerAt(text, i) && i + 1 < to) {
            ++markers;
            i += 2;
            continue;
        }
        std::size_t end = i;
        while (end < to && !(MarkerAt(text, end) && end + 1 < to))
            ++end;
        if (text.find_first_not_of(' ', i) >= end) {
            i = end;
            continue;
        }
        if (!open)
            out += "<p>";
        else if (markers >= 2)
            out += "</p>\n<p>";
        else if (markers == 1)
            out += "<br/>";
        open = true;
        out += marks.Inline(text, i, end);
        markers = 0;
        i = end;
    }
    if (open)
        out += "</p>\n";
    return out;
}

std::string Xhtml(const std::string& title, const std::string& bodyClass, const std::string& body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE html>\n"
           "<html xmlns=\"http://www.w3.org/1999/xhtml\" "
           "xmlns:epub=\"http://www.idpf.org/2007/ops\" xml:lang=\"en\" lang=\"en\">\n"
           "<head>\n<meta charset=\"UTF-8\"/>\n<title>" +
           title +
           "</title>\n<link rel=\"stylesheet\" type=\"text/css\" href=\"book.css\"/>\n"
           "</head>\n<body class=\"" +
           bodyClass + "\">\n" + body + "</body>\n</html>\n";
}

// The overlay of the document Doc, which holds the story's characters
// [From, To): its pars in Smil, its length in Ms. False when it says nothing.
bool Overlay(const TSpokenStory& spoken, const std::string& doc, const std::string& section,
             std::size_t from, std::size_t to, std::string& smil, int64_t& ms) {
    std::string pars;
    ms = 0;
    int n = 0;
    auto par = [&](const std::string& id, const TSpokenStory::Clip& clip) {
        pars += "<par id=\"p" + std::to_string(++n) + "\"><text src=\"" + doc + "#" + id +
                "\"/><audio src=\"" + kVoice + "\" clipBegin=\"" + TTalkingBook::Clock(clip.Begin) +
                "\" clipEnd=\"" + TTalkingBook::Clock(clip.End) + "\"/></par>\n";
        ms += clip.End - clip.Begin;
    };
    for (std::size_t s = 0; s < spoken.Sentences.size(); ++s) {
        const TSpokenStory::Sentence& sentence = spoken.Sentences[s];
        if (static_cast<std::size_t>(sentence.Begin) < from ||
            static_cast<std::size_t>(sentence.Begin) >= to)
            continue;
        const std::string id = "s" + std::to_string(s + 1);
        if (sentence.WordClips.empty()) {
            par(id, sentence.Sound);
            continue;
        }
        for (std::size_t w = 0; w < sentence.WordClips.size(); ++w)
            par(id + "w" + std::to_string(w + 1), sentence.WordClips[w]);
    }
    if (n == 0)
        return false;
    smil = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<smil xmlns=\"http://www.w3.org/ns/SMIL\" xmlns:epub=\"http://www.idpf.org/2007/ops\" "
           "version=\"3.0\">\n<body>\n<seq id=\"seq1\" epub:textref=\"" +
           doc + "#" + section + "\">\n" + pars + "</seq>\n</body>\n</smil>\n";
    return true;
}

std::string FileNameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
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
    char out[64];
    std::snprintf(out, sizeof out,
                  "urn:uuid:%02x%02x%02x%02x-%02x%02x-%02x%02x-%02x%02x-%02x%02x%02x%02x%02x%02x",
                  b[0], b[1], b[2], b[3], b[4], b[5], b[6], b[7], b[8], b[9], b[10], b[11], b[12],
                  b[13], b[14], b[15]);
    return out;
}

std::vector<plat::ZipEntry> TTalkingBook::Files(const Input& input, const TSpokenStory& spoken,
                                                std::string mp3) {
    const std::string& text = input.Story;
    const std::string title = Xml(StoryTitle(text));
    const SpanMarks marks(spoken);
    const TitleRange range = FindTitle(text);
    const std::string dir = kDir;
    std::vector<plat::ZipEntry> files;
    files.push_back({"mimetype", "application/epub+zip", true});
    files.push_back({"META-INF/container.xml",
                     "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                     "<container version=\"1.0\" "
                     "xmlns=\"urn:oasis:names:tc:opendocument:xmlns:container\">\n"
                     "<rootfiles>\n<rootfile full-path=\"OEBPS/content.opf\" "
                     "media-type=\"application/oebps-package+xml\"/>\n</rootfiles>\n"
                     "</container>\n",
                     false});

    // The documents.
    std::string cover;
    if (!input.CoverPng.empty())
        cover = "<div class=\"cover\"><img src=\"cover.png\" alt=\"" + Xml(input.CoverAlt) +
                "\"/></div>\n";
    const std::string titleBody = "<section id=\"title\" epub:type=\"titlepage\">\n" + cover +
                                  "<h1>" + marks.Inline(text, range.begin, range.end) +
                                  "</h1>\n</section>\n";
    const std::string storyBody = "<section id=\"story\" epub:type=\"bodymatter chapter\">\n" +
                                  Paragraphs(text, range.end, text.size(), marks) +
                                  "<p class=\"the-end\">" + TPictureBookPlan::kTheEnd +
                                  "</p>\n</section>\n";
    const std::string nav =
        Xhtml(title, "nav",
              "<nav epub:type=\"toc\" id=\"toc\">\n<h2>Contents</h2>\n<ol>\n"
              "<li><a href=\"title.xhtml\">" +
                  title +
                  "</a></li>\n<li><a href=\"story.xhtml\">The story</a></li>\n</ol>\n"
                  "</nav>\n");

    // The overlays.
    struct Doc {
        const char* name;
        const char* id;
        std::size_t from, to;
        std::string smil;
        int64_t ms = 0;
        bool said = false;
    };
    Doc docs[] = {{"title", "title", range.begin, range.end, {}, 0, false},
                  {"story", "story", range.end, text.size(), {}, 0, false}};
    int64_t total = 0;
    for (Doc& d : docs) {
        d.said = Overlay(spoken, std::string(d.name) + ".xhtml", d.id, d.from, d.to, d.smil, d.ms);
        total += d.said ? d.ms : 0;
    }

    // The stylesheet.
    const std::string font = FileNameOf(input.Face.FontPath);
    const bool embed = !input.FontBytes.empty() && !font.empty();
    std::string css;
    if (embed)
        css += "@font-face {\n  font-family: \"" + input.Face.Family +
               "\";\n  font-style: normal;\n  font-weight: normal;\n  src: url(\"fonts/" + font +
               "\");\n}\n";
    css += std::string("body {\n  background-color: ") + kPaperColour +
           ";\n  color: " + kInkColour + ";\n  font-family: \"" + input.Face.Family + "\", " +
           input.Face.Fallback + ";\n  font-size: " + (input.Face.Big ? "1.5em" : "1em") +
           ";\n  line-height: 1.5;\n  margin: 0 5%;\n}\n"
           "h1 {\n  text-align: center;\n  font-size: 1.6em;\n  margin: 0.5em 0;\n}\n"
           ".cover {\n  text-align: center;\n  margin: 1em 0;\n}\n"
           ".cover img {\n  width: 80%;\n  max-width: 600px;\n  image-rendering: pixelated;\n}\n"
           "p {\n  margin: 0 0 0.8em 0;\n}\n"
           ".the-end {\n  text-align: center;\n  font-style: italic;\n  margin-top: 2em;\n}\n"
           "." +
           kActiveClass + " {\n  background-color: " + kWordColour +
           ";\n  border-radius: 0.2em;\n}\n";

    // The package.
    std::string meta = "<dc:identifier id=\"uid\">" + Xml(input.Identifier) +
                       "</dc:identifier>\n<dc:title>" + title +
                       "</dc:title>\n<dc:language>en</dc:language>\n"
                       "<meta property=\"dcterms:modified\">" +
                       Stamp(input.Modified) + "</meta>\n";
    for (const Doc& d : docs)
        if (d.said)
            meta += "<meta property=\"media:duration\" refines=\"#" + std::string(d.id) +
                    "-overlay\">" + Clock(d.ms) + "</meta>\n";
    meta += "<meta property=\"media:duration\">" + Clock(total) + "</meta>\n";
    meta += std::string("<meta property=\"media:active-class\">") + kActiveClass + "</meta>\n";
    for (const char* mode : {"textual", "visual", "auditory"})
        meta += std::string("<meta property=\"schema:accessMode\">") + mode + "</meta>\n";
    meta += "<meta property=\"schema:accessModeSufficient\">textual</meta>\n";
    for (const char* feature : {"synchronizedAudioText", "displayTransformability"})
        meta +=
            std::string("<meta property=\"schema:accessibilityFeature\">") + feature + "</meta>\n";
    meta += "<meta property=\"schema:accessibilityHazard\">none</meta>\n"
            "<meta property=\"schema:accessibilitySummary\">A story a child made, with its "
            "picture. It reads itself aloud, each word lit while it is said; the text can be "
            "read without the voice and shown in any size.</meta>\n";

    std::string manifest =
        "<item id=\"nav\" href=\"nav.xhtml\" media-type=\"application/xhtml+xml\" "
        "properties=\"nav\"/>\n<item id=\"css\" href=\"book.css\" media-type=\"text/css\"/>\n";
    if (!input.CoverPng.empty())
        manifest += "<item id=\"cover-image\" href=\"cover.png\" media-type=\"image/png\" "
                    "properties=\"cover-image\"/>\n";
    std::string spine;
    for (const Doc& d : docs) {
        manifest += "<item id=\"" + std::string(d.id) + "\" href=\"" + d.name +
                    ".xhtml\" media-type=\"application/xhtml+xml\"" +
                    (d.said ? " media-overlay=\"" + std::string(d.id) + "-overlay\"" : "") + "/>\n";
        if (d.said)
            manifest += "<item id=\"" + std::string(d.id) + "-overlay\" href=\"" + d.name +
                        ".smil\" media-type=\"application/smil+xml\"/>\n";
        spine += "<itemref idref=\"" + std::string(d.id) + "\"/>\n";
    }
    manifest +=
        std::string("<item id=\"voice\" href=\"") + kVoice + "\" media-type=\"audio/mpeg\"/>\n";
    if (embed)
        manifest += "<item id=\"font\" href=\"fonts/" + font + "\" media-type=\"font/ttf\"/>\n";
    const std::string opf = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                            "<package xmlns=\"http://www.idpf.org/2007/opf\" version=\"3.0\" "
                            "unique-identifier=\"uid\" xml:lang=\"en\">\n"
                            "<metadata xmlns:dc=\"http://purl.org/dc/elements/1.1/\">\n" +
                            meta + "</metadata>\n<manifest>\n" + manifest +
                            "</manifest>\n<spine>\n" + spine + "</spine>\n</package>\n";

    // Stored, so the shelf finds the title in the file's head.
    files.push_back({dir + "content.opf", opf, true});
    files.push_back({dir + "nav.xhtml", nav, false});
    files.push_back({dir + "title.xhtml", Xhtml(title, "title-page", titleBody), false});
    files.push_back({dir + "story.xhtml", Xhtml(title, "story", storyBody), false});
    for (const Doc& d : docs)
        if (d.said)
            files.push_back({dir + d.name + ".smil", d.smil, false});
    files.push_back({dir + "book.css", css, false});
    if (!input.CoverPng.empty())
        files.push_back({dir + "cover.png", input.CoverPng, false});
    if (embed)
        files.push_back({dir + "fonts/" + font, input.FontBytes, false});
    files.push_back({dir + kVoice, std::move(mp3), false});
    return files;
}

std::string TTalkingBook::Make(const Input& input, plat::SpeechSynth* synth, float stretch,
                               plat::Mp3Encoder* encoder, plat::ZipPacker* packer,
                               const std::function<void(int, int)>& progress,
                               TSpokenStory* spokenOut) {
    const std::string failed = "Talking book: ";
    if (!synth)
        throw std::runtime_error(failed + "no voice engine is installed to read the story aloud");
    if (!encoder)
        throw std::runtime_error(failed + "no MP3 encoder is installed (libmp3lame)");
    if (!packer)
        throw std::runtime_error(failed + "no zip library is installed (libzip)");
    TSpokenStory spoken;
    try {
        spoken.Speak(*synth, input.Story, stretch, progress);
    } catch (const std::exception& e) {
        throw std::runtime_error(failed + e.what());
    }
    std::string mp3, why;
    if (!encoder->Encode(spoken.Samples, spoken.SampleRate, mp3, why))
        throw std::runtime_error(failed + why);
    std::string epub;
    if (!packer->Pack(Files(input, spoken, std::move(mp3)), epub, why))
        throw std::runtime_error(failed + why);
    if (spokenOut)
        *spokenOut = std::move(spoken);
    return epub;
}
