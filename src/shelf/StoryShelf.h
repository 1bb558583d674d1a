// The shelf of the stories folder: every saved story and picture book in it,
// newest first, each with its tale, its time and its title, and the choice
// of one tale or all. Files are the folder's regular files whose names the
// game gives: a tale's story "<Tale>.txt", a story kept when a newer one
// replaced it "<Tale> <date>[ (n)].txt" and a picture book
// "<Tale> <date>[ (n)].pdf" and a talking book "<Tale> <date>[ (n)].epub"
// (TDatedName), and links of those names that lead nowhere; other files and
// folders are not on the shelf. Names are matched without regard to ASCII
// letter case ("goldilox.txt" is a story of Goldilocks like any other).
//
// A story's title is its first paragraph as the book shows it (StoryTitle);
// a picture book's is the title its PDF carries, a talking book's the title
// of its package document (stored, not deflated, third in the archive).
// Titles are UTF-8 with every character the file holds. A story whose
// voice folder beside it holds an index has a recorded voice (TStoryVoice). A file that cannot
// be read stays on the shelf, marked so, with no title. Files are opened
// without waiting and read only when they are regular files.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class TStoryShelf {
public:
    enum class Kind { Story, Book, TalkingBook };
    struct Item {
        std::string fileName; // in the folder
        int tale = 0;         // 1..10
        Kind kind = Kind::Story;
        int64_t modTime = 0; // nanoseconds since the epoch
        int64_t size = 0;
        bool readable = true;
        std::string title;  // UTF-8; empty when unreadable or untitled
        bool voice = false; // a story with a recorded voice (TStoryVoice)
    };

    // The tale and kind of a file named Name on the shelf; nullopt when a
    // file of that name is not.
    struct Shelved {
        int tale = 0;
        Kind kind = Kind::Story;
    };
    static std::optional<Shelved> Classify(std::string_view name);

    // Folder ends with a separator; it need not exist.
    explicit TStoryShelf(std::string folder) : folder_(std::move(folder)) {}

    // Lists the folder again in one pass, reading only files that are new or
    // changed since (their time or size); an unreadable one is remembered so
    // and not read again until it changes. True when the shelf changed. A
    // folder that is missing or cannot be listed gives an empty shelf.
    bool Refresh();
    // Newest first; of the same time, by file name.
    const std::vector<Item>& Items() const { return items_; }
    // The items of Tale (1..10) in the same order; every item for 0.
    std::vector<const Item*> Filter(int tale) const;
    const std::string& Folder() const { return folder_; }
    std::string PathOf(const Item& item) const { return folder_ + item.fileName; }
    // Whether Folder holds anything the shelf shows; reads no file.
    static bool HasAny(const std::string& folder);

    // The title of a saved story file's first bytes (UTF-8 or Latin-1, as
    // the book reads it), as UTF-8.
    static std::string StoryFileTitle(std::string_view bytes);
    // The title a PDF's document information carries (a literal or hex
    // string, UTF-16 with its mark, UTF-8 with its mark, or PDF's own single
    // bytes), as UTF-8; empty when none is found in Bytes.
    static std::string PdfTitle(std::string_view bytes);
    // The title of an EPUB's package document found in Bytes (its dc:title,
    // UTF-8 with XML's entities and character references), as UTF-8; empty
    // when none is found.
    static std::string EpubTitle(std::string_view bytes);
    // How many bytes of a file the title is read from: the head of a story,
    // the head of a PDF (where the document information is written first).
    static constexpr std::size_t kTitleBytes = 16384;

private:
    // Reads Item's title and whether it can be read.
    void ReadTitle(Item& item) const;

    std::string folder_;
    std::vector<Item> items_;
};
