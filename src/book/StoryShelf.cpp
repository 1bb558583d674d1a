// The stories folder's shelf: naming rules, listing, order and titles.
#include "book/StoryShelf.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <system_error>
#include <utility>

#include "book/DatedName.h"
#include "book/StoryText.h"
#include "platform/Files.h"
#include "platform/TextCodec.h"
#include "story/TaleTable.h"

namespace fs = std::filesystem;

namespace {

int TaleNamed(std::string_view name) {
    for (int n = 1; n <= TTaleTable::kCount; ++n)
        if (TTaleTable::ShortName(n) == name)
            return n;
    return 0;
}

// Up to TStoryShelf::kTitleBytes of Path's head; false when it cannot be read.
bool ReadHead(const std::string& path, std::string& head) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    head.resize(TStoryShelf::kTitleBytes);
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    if (in.bad())
        return false;
    head.resize(static_cast<std::size_t>(in.gcount()));
    return true;
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
    if (name.size() > 4 && name.substr(name.size() - 4) == ".txt")
        if (const int tale = TaleNamed(name.substr(0, name.size() - 4)))
            return Shelved{tale, Kind::Story};
    const std::optional<TDatedName::Parts> parts = TDatedName::Split(name);
    if (!parts)
        return std::nullopt;
    const int tale = TaleNamed(parts->tale);
    if (!tale)
        return std::nullopt;
    if (parts->extension == ".txt")
        return Shelved{tale, Kind::Story};
    if (parts->extension == ".pdf")
        return Shelved{tale, Kind::Book};
    if (parts->extension == ".epub")
        return Shelved{tale, Kind::TalkingBook};
    return std::nullopt;
}

bool TStoryShelf::HasAny(const std::string& folder) {
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        if (std::error_code e; Classify(it->path().filename().string()) &&
                               (it->is_regular_file(e) || it->is_symlink(e)))
            return true;
    return false;
}

std::string TStoryShelf::StoryFileTitle(std::string_view bytes) {
    return StoryTitle(ReadSavedStoryText(bytes));
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
        std::string title;
        if (raw.size() >= 2 && raw[0] == '\xFE' && raw[1] == '\xFF') {
            for (std::size_t i = 2; i + 1 < raw.size(); i += 2) {
                const unsigned u = (static_cast<unsigned char>(raw[i]) << 8) |
                                   static_cast<unsigned char>(raw[i + 1]);
                title += u < 256 ? static_cast<char>(u) : '?';
            }
        } else {
            title = raw;
        }
        return title;
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
        if (!entity)
            utf8 += bytes[i++];
    }
    return plat::Utf8ToLatin1(utf8);
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
    std::map<std::string, Item> known;
    for (Item& i : items_)
        known.emplace(i.fileName, std::move(i));
    std::vector<Item> items;
    bool changed = false;
    std::error_code ec;
    for (fs::directory_iterator it(folder_, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        const std::optional<Shelved> shelved = Classify(name);
        std::error_code fileError;
        // A link that leads nowhere is a story that cannot be read.
        if (!shelved || !(it->is_regular_file(fileError) ||
                          (it->is_symlink(fileError) && !it->exists(fileError))))
            continue;
        Item item;
        item.fileName = name;
        item.tale = shelved->tale;
        item.kind = shelved->kind;
        plat::FileModTime(folder_ + name, item.modTime);
        const auto size = it->file_size(fileError);
        item.size = fileError ? -1 : static_cast<int64_t>(size);
        const auto was = known.find(name);
        if (was != known.end() && was->second.readable && was->second.modTime == item.modTime &&
            was->second.size == item.size) {
            items.push_back(std::move(was->second));
            known.erase(was);
            continue;
        }
        ReadTitle(item);
        items.push_back(std::move(item));
        changed = true;
    }
    changed = changed || !known.empty();
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
