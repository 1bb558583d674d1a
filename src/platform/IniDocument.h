// An .ini text held in memory: sections of Name=value lines. Section and key
// names compare without regard to ASCII case; values are read trimmed. A
// header or key is found behind any blanks, control bytes (a zero byte among
// them) and byte-order marks before it on its line. Set and
// AddSection change only the lines they must, so the rest of the text stays
// byte for byte.
#pragma once
#include <string>

namespace plat {

class IniDocument {
public:
    explicit IniDocument(std::string text = {});

    bool HasSection(const std::string& section) const;
    // False when the section or key is missing.
    bool Get(const std::string& section, const std::string& key, std::string& value) const;
    // Replaces the key's line, or adds the key (and the section) when missing.
    // Line breaks in Key or Value are written as spaces; the caller keeps
    // them out of Section and Key (see WriteProfileString).
    void Set(const std::string& section, const std::string& key, const std::string& value);
    // Adds an empty section when it is missing.
    void AddSection(const std::string& section);

    const std::string& Text() const { return text_; }

private:
    struct Line {
        std::size_t begin, end, next; // [begin,end) without the line end; next line start
    };
    bool NextLine(std::size_t pos, Line& line) const;
    // Start of the section's header line and the end of its last non-blank
    // line (where a new key goes); false when the section is missing.
    bool FindSection(const std::string& section, std::size_t& header, std::size_t& bodyEnd,
                     std::size_t& afterBody) const;
    // The line of Key in the section whose header starts at Header.
    bool FindKey(std::size_t header, std::size_t afterBody, const std::string& key,
                 Line& found) const;
    const char* Eol() const;
    std::string text_;
};

bool EqualNoCase(const std::string& a, const std::string& b);
std::string TrimBlanks(const std::string& s);

} // namespace plat
