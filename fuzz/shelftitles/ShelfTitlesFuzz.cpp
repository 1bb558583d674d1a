// Fuzz target: the shelf's readers of titles and names. The whole input is
// read as a saved story's head, a PDF's head and a package document's head:
// every title is UTF-8 and holds no zero byte nor more characters than the
// input has bytes.
// Its first line is a file name for Classify: a name on the shelf is a tale's
// (1..10) with the extension of its kind.
//
// Round trips: the input read as a saved story gives a story; its title is
// the title of its saved file, of a PDF whose document information carries
// it in each form a PDF writer may use (a literal string, escaped or in
// octal, a hex string, either one byte a character or UTF-16 with its mark)
// and, where it holds no control character, of a package document that
// carries it in UTF-8 with XML's entities. A dated name made from the first
// bytes is classified as the tale and kind it was made for.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/TextCodec.h"
#include "shelf/DatedName.h"
#include "shelf/StoryShelf.h"
#include "story/StoryText.h"
#include "story/TaleTable.h"

namespace {

void Check(bool ok) {
    if (!ok)
        std::abort();
}

// What every title reader promises of a title read from Bytes.
void CheckTitle(const std::string& title, std::string_view bytes) {
    Check(title.find('\0') == std::string::npos);
    Check(plat::IsValidUtf8(title));
    std::size_t characters = 0;
    for (const char c : title)
        characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    Check(characters <= bytes.size());
}

constexpr const char* kHex = "0123456789ABCDEF";

// Title as a PDF literal string: ( ) and \ escaped, line ends as \r and \n,
// and with Octal every byte that is not a letter or digit as \ddd.
std::string PdfLiteral(std::string_view bytes, bool octal) {
    std::string out = "(";
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (octal &&
            !((b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z'))) {
            out += '\\';
            out += static_cast<char>('0' + (b >> 6));
            out += static_cast<char>('0' + ((b >> 3) & 7));
            out += static_cast<char>('0' + (b & 7));
        } else if (c == '(' || c == ')' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else {
            out += c;
        }
    }
    return out + ")";
}

std::string PdfHex(std::string_view bytes) {
    std::string out = "<";
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        out += kHex[b >> 4];
        out += kHex[b & 15];
        out += ' '; // white space between the digits is allowed
    }
    return out + ">";
}

// Latin-1 Title as UTF-16 (big-endian) with its byte order mark.
std::string Utf16(std::string_view title) {
    std::string out = "\xFE\xFF";
    for (const char c : title) {
        out += '\0';
        out += c;
    }
    return out;
}

std::string PdfWith(const std::string& titleString) {
    return "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n1 0 obj\n<<\n/Type /Catalog /Title << /Not 1 >>\n>>\n"
           "endobj\n2 0 obj\n<<\n/Producer (Fablewhirl \\(test\\))\n/Title " +
           titleString + "\n/Creator (x)\n>>\nendobj\n";
}

std::string XmlEscaped(std::string_view latin1) {
    std::string out;
    for (const char c : latin1) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&apos;";
            break;
        default:
            out += plat::Latin1ToUtf8(std::string(1, c));
            break;
        }
    }
    return out;
}

bool HasControl(std::string_view text) {
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || (b >= 0x7F && b < 0xA0))
            return true;
    }
    return false;
}

void CheckClassify(std::string_view name) {
    const auto shelved = TStoryShelf::Classify(name);
    if (!shelved)
        return;
    Check(TTaleTable::IsTale(shelved->tale));
    const std::string_view ext = shelved->kind == TStoryShelf::Kind::Story  ? ".txt"
                                 : shelved->kind == TStoryShelf::Kind::Book ? ".pdf"
                                                                            : ".epub";
    // Names are matched without regard to ASCII letter case.
    Check(name.size() >= ext.size());
    const std::string_view end = name.substr(name.size() - ext.size());
    for (std::size_t i = 0; i < ext.size(); ++i)
        Check(end[i] == ext[i] || end[i] == ext[i] - 'a' + 'A');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    // Every reader on the raw bytes.
    CheckTitle(TStoryShelf::StoryFileTitle(bytes), bytes);
    CheckTitle(TStoryShelf::PdfTitle(bytes), bytes);
    CheckTitle(TStoryShelf::EpubTitle(bytes), bytes);
    CheckClassify(bytes.substr(0, std::min<std::size_t>(bytes.find('\n'), 120)));

    // A dated name of the tale, moment, copy and kind the first bytes choose.
    if (size >= 6) {
        const int tale = 1 + data[0] % TTaleTable::kCount;
        const TDatedName::Moment when{1970 + data[1] % 130, 1 + data[2] % 12, 1 + data[3] % 31,
                                      data[4] % 24, data[5] % 60};
        const int copy = 1 + (data[0] / 16) % 5;
        static constexpr std::pair<std::string_view, TStoryShelf::Kind> kKinds[] = {
            {".txt", TStoryShelf::Kind::Story},
            {".pdf", TStoryShelf::Kind::Book},
            {".epub", TStoryShelf::Kind::TalkingBook}};
        const auto& [ext, kind] = kKinds[data[1] % 3];
        const auto shelved =
            TStoryShelf::Classify(TDatedName::Make(TTaleTable::ShortName(tale), when, ext, copy));
        Check(shelved && shelved->tale == tale && shelved->kind == kind);
        Check(
            !TStoryShelf::Classify(TDatedName::Make(TTaleTable::ShortName(tale) + "s", when, ext)));
    }

    // The round trips of a story's title.
    const std::string story = ReadSavedStoryText(bytes);
    const std::string title = StoryTitle(story);
    const std::string shown = plat::Latin1ToUtf8(title); // as the shelf gives it
    Check(TStoryShelf::StoryFileTitle(MakeSavedStoryFile(story)) == shown);

    // One byte a character reads so unless it starts with a mark of UTF-16
    // or UTF-8.
    const bool looksMarked = title.starts_with("\xFE\xFF") || title.starts_with("\xEF\xBB\xBF");
    for (const std::string& s :
         {PdfLiteral(Utf16(title), false), PdfLiteral(Utf16(title), true), PdfHex(Utf16(title))})
        Check(TStoryShelf::PdfTitle(PdfWith(s)) == shown);
    if (!looksMarked)
        for (const std::string& s :
             {PdfLiteral(title, false), PdfLiteral(title, true), PdfHex(title)})
            Check(TStoryShelf::PdfTitle(PdfWith(s)) == shown);

    if (!HasControl(title)) {
        const std::string opf = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<package>\n"
                                "<metadata xmlns:dc=\"http://purl.org/dc/elements/1.1/\">\n"
                                "<dc:identifier id=\"uid\">urn:uuid:x</dc:identifier>\n"
                                "<dc:title>" +
                                XmlEscaped(title) + "</dc:title>\n</metadata>\n</package>\n";
        Check(TStoryShelf::EpubTitle(opf) == shown);
    }
    return 0;
}
