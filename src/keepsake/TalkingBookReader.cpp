// TTalkingBookReader: a talking book read back, its text, clips and track.
#include "keepsake/TalkingBookReader.h"

#include <cstdlib>
#include <map>
#include <utility>

#include "platform/TextCodec.h"

namespace {

using Refused = TTalkingBookReader::Refused;

// No clip is later than this (a hundred hours).
constexpr double kMaxClockSeconds = 360000;

// One element's start or end tag as the scanner meets it.
struct Tag {
    std::string name;                              // without a prefix ("epub:" and the like)
    std::map<std::string, std::string> attributes; // their values decoded, UTF-8
    bool closing = false, empty = false;
};

// UTF-8 Text with its entities decoded.
std::string Entities(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '&') {
            out += text[i];
            continue;
        }
        const std::size_t semi = text.find(';', i);
        if (semi == std::string::npos || semi - i > 10) {
            out += '&';
            continue;
        }
        const std::string name = text.substr(i + 1, semi - i - 1);
        long code = -1;
        if (name == "amp")
            code = '&';
        else if (name == "lt")
            code = '<';
        else if (name == "gt")
            code = '>';
        else if (name == "quot")
            code = '"';
        else if (name == "apos")
            code = '\'';
        else if (name.size() > 1 && name[0] == '#')
            code = name[1] == 'x' ? std::strtol(name.c_str() + 2, nullptr, 16)
                                  : std::strtol(name.c_str() + 1, nullptr, 10);
        if (code <= 0 || code > 0x10FFFF) {
            out += '&';
            continue;
        }
        const auto c = static_cast<uint32_t>(code);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
        i = semi;
    }
    return out;
}

std::string LocalName(const std::string& name) {
    const std::size_t colon = name.find(':');
    return colon == std::string::npos ? name : name.substr(colon + 1);
}

// Walks an XML document: OnTag for each tag, OnText for the text between
// (entities decoded, UTF-8). Comments, declarations and instructions are
// passed over. Refused when a tag is never closed.
template <typename OnTag, typename OnText>
void Scan(const std::string& xml, const std::string& file, OnTag onTag, OnText onText) {
    std::size_t i = 0;
    while (i < xml.size()) {
        const std::size_t lt = xml.find('<', i);
        if (lt != i) {
            onText(Entities(xml.substr(i, lt == std::string::npos ? std::string::npos : lt - i)));
            if (lt == std::string::npos)
                return;
        }
        if (xml.compare(lt, 4, "<!--") == 0) {
            const std::size_t end = xml.find("-->", lt);
            if (end == std::string::npos)
                throw Refused(file + " is damaged");
            i = end + 3;
            continue;
        }
        const std::size_t gt = xml.find('>', lt);
        if (gt == std::string::npos)
            throw Refused(file + " is damaged");
        i = gt + 1;
        if (xml[lt + 1] == '?' || xml[lt + 1] == '!')
            continue;
        std::string body = xml.substr(lt + 1, gt - lt - 1);
        Tag tag;
        if (!body.empty() && body[0] == '/') {
            tag.closing = true;
            body.erase(0, 1);
        }
        if (!body.empty() && body.back() == '/') {
            tag.empty = true;
            body.pop_back();
        }
        std::size_t at = body.find_first_of(" \t\r\n");
        tag.name = LocalName(body.substr(0, at));
        while (at != std::string::npos && at < body.size()) {
            at = body.find_first_not_of(" \t\r\n", at);
            if (at == std::string::npos)
                break;
            const std::size_t eq = body.find('=', at);
            if (eq == std::string::npos || eq + 1 >= body.size())
                break;
            const char quote = body[eq + 1];
            const std::size_t close = body.find(quote, eq + 2);
            if ((quote != '"' && quote != '\'') || close == std::string::npos)
                throw Refused(file + " is damaged");
            std::string name = body.substr(at, eq - at);
            while (!name.empty() && (name.back() == ' ' || name.back() == '\t'))
                name.pop_back();
            tag.attributes[name] = Entities(body.substr(eq + 2, close - eq - 2));
            at = close + 1;
        }
        onTag(tag);
    }
}

std::string Attribute(const Tag& tag, const std::string& name) {
    const auto found = tag.attributes.find(name);
    return found == tag.attributes.end() ? std::string() : found->second;
}

// Path, relative to the folder of the file Base, as a name in the archive.
std::string Resolve(const std::string& base, std::string path) {
    const std::size_t hash = path.find('#');
    if (hash != std::string::npos)
        path.erase(hash);
    std::string folder = base.substr(0, base.rfind('/') + 1);
    while (path.starts_with("../")) {
        path.erase(0, 3);
        if (!folder.empty())
            folder.erase(folder.rfind('/', folder.size() - 2) + 1);
    }
    if (path.starts_with("./"))
        path.erase(0, 2);
    return folder + path;
}

std::string ReadEntry(plat::ZipReader& archive, const std::string& name, std::size_t limit) {
    std::string bytes, why;
    if (!archive.Read(name, bytes, why, limit))
        throw Refused(why);
    return bytes;
}

// "s<S>" (Word -1) or "s<S>w<W>", S and W from 1; false for other ids.
bool SpanId(const std::string& id, int& sentence, int& word) {
    if (id.size() < 2 || id[0] != 's')
        return false;
    char* end = nullptr;
    const long s = std::strtol(id.c_str() + 1, &end, 10);
    if (s < 1 || end == id.c_str() + 1 || s > 1000000)
        return false;
    sentence = static_cast<int>(s);
    word = -1;
    if (*end == '\0')
        return true;
    if (*end != 'w')
        return false;
    const char* from = end + 1;
    const long w = std::strtol(from, &end, 10);
    if (w < 1 || end == from || *end != '\0' || w > 1000000)
        return false;
    word = static_cast<int>(w);
    return true;
}

// What a content document says: its blocks' text and its sentences' words.
struct Content {
    std::vector<std::string> blocks; // Latin-1, "\n" markers for line breaks
    // Sentence number -> its words' text by number (from 1).
    std::map<int, std::map<int, std::string>> sentences;
    std::vector<int> order; // the sentences as they open
};

Content ReadContent(const std::string& xhtml, const std::string& file) {
    Content content;
    struct Open {
        std::string name;
        int sentence = 0, word = -1; // a span of the book's, or 0
        bool block = false, skip = false;
    };
    std::vector<Open> stack;
    std::string block;
    bool inBlock = false, blockSaid = false;
    int skipping = 0;
    auto wordOpen = [&]() -> std::string* {
        for (auto it = stack.rbegin(); it != stack.rend(); ++it)
            if (it->word > 0)
                return &content.sentences[it->sentence][it->word];
        return nullptr;
    };
    Scan(
        xhtml, file,
        [&](const Tag& tag) {
            const bool isBlock = tag.name == "p" || (tag.name.size() == 2 && tag.name[0] == 'h' &&
                                                     tag.name[1] >= '1' && tag.name[1] <= '6');
            if (tag.closing) {
                while (!stack.empty()) {
                    const Open top = stack.back();
                    stack.pop_back();
                    if (top.skip)
                        --skipping;
                    if (top.block) {
                        if (blockSaid && !top.skip)
                            content.blocks.push_back(block);
                        block.clear();
                        inBlock = blockSaid = false;
                    }
                    if (top.name == tag.name)
                        break;
                }
                return;
            }
            if (tag.name == "br" && inBlock && skipping == 0)
                block += "\\n";
            if (tag.empty)
                return;
            Open open{tag.name};
            if (tag.name == "span" && SpanId(Attribute(tag, "id"), open.sentence, open.word) &&
                skipping == 0) {
                blockSaid = true;
                if (!content.sentences.contains(open.sentence))
                    content.order.push_back(open.sentence);
                auto& words = content.sentences[open.sentence];
                if (open.word > 0)
                    words[open.word];
            } else {
                open.sentence = 0;
                open.word = -1;
            }
            if (isBlock && !inBlock) {
                open.block = inBlock = true;
                block.clear();
                open.skip = Attribute(tag, "class") == "the-end";
                skipping += open.skip;
            }
            stack.push_back(open);
        },
        [&](const std::string& text) {
            if (!inBlock)
                return;
            std::string latin1 = plat::Utf8ToLatin1(text);
            for (char& c : latin1)
                if (c == '\n' || c == '\r' || c == '\t')
                    c = ' ';
            if (skipping == 0)
                block += latin1;
            if (std::string* word = wordOpen())
                *word += latin1;
        });
    return content;
}

struct Overlay {
    std::map<std::string, TBookVoice::Clip> clips; // by the fragment id
    std::string audio;                             // the archive's name of its sound
};

Overlay ReadOverlay(const std::string& smil, const std::string& file) {
    Overlay overlay;
    std::string text;
    Scan(
        smil, file,
        [&](const Tag& tag) {
            if (tag.closing)
                return;
            if (tag.name == "text") {
                const std::string src = Attribute(tag, "src");
                const std::size_t hash = src.find('#');
                text = hash == std::string::npos ? std::string() : src.substr(hash + 1);
            } else if (tag.name == "audio") {
                const std::string audio = Resolve(file, Attribute(tag, "src"));
                if (!overlay.audio.empty() && audio != overlay.audio)
                    throw Refused("its voice is in more than one sound file");
                overlay.audio = audio;
                const int64_t begin = TTalkingBookReader::ClockMs(Attribute(tag, "clipBegin"));
                const int64_t end = TTalkingBookReader::ClockMs(Attribute(tag, "clipEnd"));
                if (begin < 0 || end < begin)
                    throw Refused(file + " has a clip that cannot be read");
                if (!text.empty())
                    overlay.clips[text] = {begin, end};
            }
        },
        [](const std::string&) {});
    return overlay;
}

} // namespace

int64_t TTalkingBookReader::ClockMs(const std::string& value) {
    if (value.empty())
        return -1;
    char* end = nullptr;
    if (value.find(':') != std::string::npos) {
        double total = 0;
        const char* p = value.c_str();
        for (;;) {
            const double part = std::strtod(p, &end);
            if (end == p || part < 0)
                return -1;
            total = total * 60 + part;
            if (*end != ':')
                break;
            p = end + 1;
        }
        return *end == '\0' && total <= kMaxClockSeconds ? static_cast<int64_t>(total * 1000 + 0.5)
                                                         : -1;
    }
    const double number = std::strtod(value.c_str(), &end);
    if (end == value.c_str() || number < 0)
        return -1;
    const std::string unit(end);
    const double ms = unit == "ms"                  ? number
                      : unit == "s" || unit.empty() ? number * 1000
                      : unit == "min"               ? number * 60000
                      : unit == "h"                 ? number * 3600000
                                                    : -1;
    return ms < 0 || ms > kMaxClockSeconds * 1000 ? -1 : static_cast<int64_t>(ms + 0.5);
}

TTalkingBookReader::Book TTalkingBookReader::Read(plat::ZipReader& archive,
                                                  plat::Mp3Decoder* decoder) {
    // The package the container names, and its spine's documents with overlays.
    std::string package;
    Scan(
        ReadEntry(archive, "META-INF/container.xml", kMaxDocument), "container.xml",
        [&](const Tag& tag) {
            if (tag.name == "rootfile" && package.empty())
                package = Attribute(tag, "full-path");
        },
        [](const std::string&) {});
    if (package.empty())
        throw Refused("it names no package");
    struct Item {
        std::string href, overlay;
    };
    std::map<std::string, Item> items;
    std::map<std::string, std::string> hrefs; // id -> href
    std::vector<std::string> spine;
    Scan(
        ReadEntry(archive, package, kMaxDocument), package,
        [&](const Tag& tag) {
            if (tag.closing)
                return;
            if (tag.name == "item") {
                items[Attribute(tag, "id")] = {Attribute(tag, "href"),
                                               Attribute(tag, "media-overlay")};
                hrefs[Attribute(tag, "id")] = Attribute(tag, "href");
            } else if (tag.name == "itemref") {
                spine.push_back(Attribute(tag, "idref"));
            }
        },
        [](const std::string&) {});

    Book book;
    std::string audio;
    std::vector<std::string> blocks;
    for (const std::string& id : spine) {
        const auto item = items.find(id);
        if (item == items.end() || item->second.overlay.empty())
            continue;
        const auto overlayHref = hrefs.find(item->second.overlay);
        if (overlayHref == hrefs.end())
            throw Refused("its package names an overlay it does not hold");
        const std::string docName = Resolve(package, item->second.href);
        const std::string smilName = Resolve(package, overlayHref->second);
        const Content content = ReadContent(ReadEntry(archive, docName, kMaxDocument), docName);
        const Overlay overlay = ReadOverlay(ReadEntry(archive, smilName, kMaxDocument), smilName);
        if (!overlay.audio.empty()) {
            if (!audio.empty() && audio != overlay.audio)
                throw Refused("its voice is in more than one sound file");
            audio = overlay.audio;
        }
        blocks.insert(blocks.end(), content.blocks.begin(), content.blocks.end());
        for (int s : content.order) {
            TBookVoice::Sentence sentence;
            const std::string sid = "s" + std::to_string(s);
            const auto& words = content.sentences.at(s);
            bool clipped = !words.empty();
            for (const auto& [w, text] : words) {
                sentence.Words.push_back(text);
                const auto clip = overlay.clips.find(sid + "w" + std::to_string(w));
                if (clip == overlay.clips.end())
                    clipped = false;
                else
                    sentence.WordClips.push_back(clip->second);
            }
            if (const auto whole = overlay.clips.find(sid); whole != overlay.clips.end()) {
                sentence.Span = whole->second;
            } else if (clipped) {
                sentence.Span = {sentence.WordClips.front().Begin, sentence.WordClips.back().End};
            } else {
                continue; // not said
            }
            if (!clipped)
                sentence.WordClips.clear();
            book.Sentences.push_back(std::move(sentence));
        }
    }
    if (book.Sentences.empty() || audio.empty())
        throw Refused("it has no voice of its own that the game can play");
    for (std::size_t b = 0; b < blocks.size(); ++b)
        book.Story += (b ? "\\n\\n" : "") + blocks[b];
    if (!decoder)
        throw Refused("no MP3 decoder is installed (libmpg123)");
    std::string why;
    book.Track = decoder->Open(ReadEntry(archive, audio, kMaxSound), why, kMaxSamples);
    if (!book.Track)
        throw Refused("its voice cannot be played: " + why);
    return book;
}
