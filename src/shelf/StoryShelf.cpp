// The stories folder's shelf: naming rules, listing, order and titles.
#include "shelf/StoryShelf.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "platform/FileStream.h"
#include "platform/Files.h"
#include "platform/TextCodec.h"
#include "shelf/DatedName.h"
#include "shelf/StoryVoice.h"
#include "story/StoryText.h"
#include "story/TaleTable.h"

namespace {

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return Lower(x) == Lower(y); });
}

int TaleNamed(std::string_view name) {
    for (int n = 1; n <= TTaleTable::kCount; ++n)
        if (EqualNoCase(TTaleTable::ShortName(n), name))
            return n;
    return 0;
}

// Up to TStoryShelf::kTitleBytes of Path's head; false when it cannot be read
// (or is no regular file: nothing is waited on).
bool ReadHead(const std::string& path, std::string& head) {
    const std::unique_ptr<plat::FileStream> in = plat::FileStream::Open(path, plat::Lookup::Exact);
    if (!in)
        return false;
    head.resize(TStoryShelf::kTitleBytes);
    std::size_t got = 0;
    while (got < head.size()) {
        const std::size_t n = in->Read(head.data() + got, head.size() - got);
        if (n == 0)
            break;
        got += n;
    }
    head.resize(got);
    return true;
}

void AppendUtf8(std::string& out, uint32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// Text up to its first zero byte: a title ends there, as a story does.
std::string UpToZero(std::string text) {
    text.resize(std::min(text.find('\0'), text.size()));
    return text;
}

// Bytes as UTF-8: as they are when they are UTF-8 (a sequence cut short at
// their end, where a head was cut, dropped), else read as Latin-1.
std::string AsUtf8(std::string_view bytes, bool cut) {
    if (cut) {
        // At most three bytes of an unfinished sequence end a cut head.
        std::size_t back = 0;
        while (back < 3 && back < bytes.size() &&
               (static_cast<unsigned char>(bytes[bytes.size() - 1 - back]) & 0xC0) == 0x80)
            ++back;
        if (back < bytes.size() &&
            static_cast<unsigned char>(bytes[bytes.size() - 1 - back]) >= 0xC0)
            if (!plat::IsValidUtf8(bytes.substr(bytes.size() - 1 - back)))
                bytes.remove_suffix(back + 1);
    }
    return plat::IsValidUtf8(bytes) ? std::string(bytes) : plat::Latin1ToUtf8(bytes);
}

// A PDF string's bytes from Text[At] (its opening "(" or "<"); At moves past it.
std::string PdfString(std::string_view text, std::size_t& at) {
    std::string out;
    if (at >= text.size())
        return out;
    if (text[at] == '<') {
        int high = -1;
        for (++at; at < text.size() && text[at] != '>'; ++at) {
            const char c = text[at];
            int v = -1;
            if (c >= '0' && c <= '9')
                v = c - '0';
            else if (c >= 'a' && c <= 'f')
                v = c - 'a' + 10;
            else if (c >= 'A' && c <= 'F')
                v = c - 'A' + 10;
            if (v < 0)
                continue;
            if (high < 0) {
                high = v;
            } else {
                out += static_cast<char>(high * 16 + v);
                high = -1;
            }
        }
        if (high >= 0)
            out += static_cast<char>(high * 16);
        return out;
    }
    int depth = 0;
    for (++at; at < text.size(); ++at) {
        char c = text[at];
        if (c == '\\' && at + 1 < text.size()) {
            c = text[++at];
            if (c >= '0' && c <= '7') {
                int v = 0;
                for (int k = 0; k < 3 && at < text.size() && text[at] >= '0' && text[at] <= '7';
                     ++k, ++at)
                    v = v * 8 + (text[at] - '0');
                --at;
                out += static_cast<char>(v);
                continue;
            }
            switch (c) {
            case 'n':
                c = '\n';
                break;
            case 'r':
                c = '\r';
                break;
            case 't':
                c = '\t';
                break;
            case '\r':
            case '\n':
                continue;
            default:
                break;
            }
            out += c;
            continue;
        }
        if (c == '(')
            ++depth;
        if (c == ')' && depth-- == 0)
            break;
        out += c;
    }
    return out;
}

} // namespace

std::optional<TStoryShelf::Shelved> TStoryShelf::Classify(std::string_view name) {
    if (name.size() > 4 && EqualNoCase(name.substr(name.size() - 4), ".txt"))
        if (const int tale = TaleNamed(name.substr(0, name.size() - 4)))
            return Shelved{tale, Kind::Story};
    const std::optional<TDatedName::Parts> parts = TDatedName::Split(name);
    if (!parts)
        return std::nullopt;
    const int tale = TaleNamed(parts->tale);
    if (!tale)
        return std::nullopt;
    if (EqualNoCase(parts->extension, ".txt"))
        return Shelved{tale, Kind::Story};
    if (EqualNoCase(parts->extension, ".pdf"))
        return Shelved{tale, Kind::Book};
    if (EqualNoCase(parts->extension, ".epub"))
        return Shelved{tale, Kind::TalkingBook};
    return std::nullopt;
}

bool TStoryShelf::HasAny(const std::string& folder) {
    for (const plat::FolderEntry& e : plat::ListFolder(folder))
        if ((e.kind == plat::EntryKind::File || e.kind == plat::EntryKind::Dangling) &&
            Classify(e.name))
            return true;
    return false;
}

std::string TStoryShelf::StoryFileTitle(std::string_view bytes) {
    // As the book reads it: up to a zero byte, without a byte-order mark.
    const std::size_t zero = bytes.find('\0');
    const bool cut = zero == std::string_view::npos && bytes.size() >= kTitleBytes;
    bytes = bytes.substr(0, zero);
    if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.remove_prefix(3);
    return StoryTitle(MarkLineEnds(AsUtf8(bytes, cut)));
}

std::string TStoryShelf::PdfTitle(std::string_view bytes) {
    for (std::size_t at = bytes.find("/Title"); at != std::string_view::npos;
         at = bytes.find("/Title", at + 1)) {
        std::size_t s = at + 6;
        while (s < bytes.size() && (bytes[s] == ' ' || bytes[s] == '\r' || bytes[s] == '\n'))
            ++s;
        if (s >= bytes.size() || (bytes[s] != '(' && bytes[s] != '<') ||
            (bytes[s] == '<' && s + 1 < bytes.size() && bytes[s + 1] == '<'))
            continue;
        const std::string raw = PdfString(bytes, s);
        if (raw.starts_with("\xEF\xBB\xBF"))
            return UpToZero(AsUtf8(std::string_view(raw).substr(3), false));
        if (!raw.starts_with("\xFE\xFF"))
            return UpToZero(plat::Latin1ToUtf8(raw)); // PDF's own single bytes, near enough
        std::string title;
        const auto unit = [&raw](std::size_t i) -> uint32_t {
            return (static_cast<unsigned char>(raw[i]) << 8) |
                   static_cast<unsigned char>(raw[i + 1]);
        };
        for (std::size_t i = 2; i + 1 < raw.size(); i += 2) {
            uint32_t u = unit(i);
            if (u >= 0xD800 && u < 0xDC00 && i + 3 < raw.size() && unit(i + 2) >= 0xDC00 &&
                unit(i + 2) < 0xE000) {
                u = 0x10000 + ((u - 0xD800) << 10) + (unit(i + 2) - 0xDC00);
                i += 2;
            } else if (u >= 0xD800 && u < 0xE000) {
                u = '?'; // half of a pair
            }
            AppendUtf8(title, u);
        }
        return UpToZero(std::move(title));
    }
    return {};
}

std::string TStoryShelf::EpubTitle(std::string_view bytes) {
    static constexpr std::string_view kOpen = "<dc:title>", kClose = "</dc:title>";
    const std::size_t open = bytes.find(kOpen);
    if (open == std::string_view::npos)
        return {};
    const std::size_t from = open + kOpen.size();
    const std::size_t close = bytes.find(kClose, from);
    if (close == std::string_view::npos)
        return {};
    static constexpr std::pair<std::string_view, char> kEntities[] = {
        {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
    std::string utf8;
    for (std::size_t i = from; i < close;) {
        bool entity = false;
        for (const auto& [name, c] : kEntities)
            if (bytes.substr(i, name.size()) == name) {
                utf8 += c;
                i += name.size();
                entity = true;
                break;
            }
        // A character reference: "&#NNN;" or "&#xHH;".
        if (!entity && bytes.substr(i, 2) == "&#") {
            const bool hex = i + 2 < close && (bytes[i + 2] == 'x' || bytes[i + 2] == 'X');
            uint32_t code = 0;
            std::size_t j = i + (hex ? 3 : 2);
            const std::size_t digits = j;
            for (; j < close && j - digits < 8; ++j) {
                const char c = Lower(bytes[j]);
                const int v = c >= '0' && c <= '9'          ? c - '0'
                              : hex && c >= 'a' && c <= 'f' ? c - 'a' + 10
                                                            : -1;
                if (v < 0)
                    break;
                code = code * (hex ? 16 : 10) + static_cast<uint32_t>(v);
            }
            if (j > digits && j < close && bytes[j] == ';' && code > 0 && code <= 0x10FFFF &&
                !(code >= 0xD800 && code < 0xE000)) {
                AppendUtf8(utf8, code);
                i = j + 1;
                entity = true;
            }
        }
        if (!entity)
            utf8 += bytes[i++];
    }
    return UpToZero(AsUtf8(utf8, false));
}

void TStoryShelf::ReadTitle(Item& item) const {
    std::string head;
    item.readable = ReadHead(PathOf(item), head);
    item.title.clear();
    if (!item.readable)
        return;
    switch (item.kind) {
    case Kind::Story:
        item.title = StoryFileTitle(head);
        break;
    case Kind::Book:
        item.title = PdfTitle(head);
        break;
    case Kind::TalkingBook:
        item.title = EpubTitle(head);
        break;
    }
}

bool TStoryShelf::Refresh() {
    std::unordered_map<std::string, Item> known;
    known.reserve(items_.size());
    for (Item& i : items_)
        known.emplace(i.fileName, std::move(i));
    std::vector<Item> items;
    std::unordered_set<std::string> folders; // the folders beside the stories
    bool changed = false;
    for (plat::FolderEntry& entry : plat::ListFolder(folder_)) {
        if (entry.kind == plat::EntryKind::Folder)
            folders.insert(entry.name);
        // A link that leads nowhere is a story that cannot be read.
        const bool dangling = entry.kind == plat::EntryKind::Dangling;
        if (entry.kind != plat::EntryKind::File && !dangling)
            continue;
        const std::optional<Shelved> shelved = Classify(entry.name);
        if (!shelved)
            continue;
        const auto was = known.find(entry.name);
        if (was != known.end() && was->second.modTime == entry.modTime &&
            was->second.size == entry.size) {
            items.push_back(std::move(was->second));
            known.erase(was);
            continue;
        }
        Item item;
        item.fileName = std::move(entry.name);
        item.tale = shelved->tale;
        item.kind = shelved->kind;
        item.modTime = entry.modTime;
        item.size = entry.size;
        if (dangling)
            item.readable = false;
        else
            ReadTitle(item);
        items.push_back(std::move(item));
        changed = true;
    }
    changed = changed || !known.empty();
    // A story with a voice folder that holds an index has a recorded voice.
    for (Item& item : items) {
        const bool voice = item.kind == Kind::Story &&
                           folders.count(TStoryVoice::FolderName(item.fileName)) > 0 &&
                           TStoryVoice::Has(PathOf(item));
        changed = changed || voice != item.voice;
        item.voice = voice;
    }
    std::sort(items.begin(), items.end(), [](const Item& a, const Item& b) {
        return a.modTime != b.modTime ? a.modTime > b.modTime : a.fileName < b.fileName;
    });
    items_ = std::move(items);
    return changed;
}

std::vector<const TStoryShelf::Item*> TStoryShelf::Filter(int tale) const {
    std::vector<const Item*> out;
    out.reserve(items_.size());
    for (const Item& i : items_)
        if (tale == 0 || i.tale == tale)
            out.push_back(&i);
    return out;
}
