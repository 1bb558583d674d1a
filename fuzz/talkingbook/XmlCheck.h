// A strict checker of the XML documents the program writes: well-formed XML
// 1.0 in UTF-8 without a DTD's declarations. It refuses what a conforming
// parser refuses (unbalanced or crossed tags, more or fewer than one root,
// unquoted or repeated attributes, a raw "<" or a lone "&" in text or a
// value, an entity other than XML's five, a reference to no character,
// "]]>" in text, text outside the root) and, stricter than XML, any
// control character but tab, CR and LF (C1 included) and a repeated id.
// The elements come out in document order with their attributes' values
// resolved, for checks across documents.
#pragma once
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace xmlcheck {

struct Element {
    std::string Name;
    std::vector<std::pair<std::string, std::string>> Attrs;
    const std::string* Attr(std::string_view name) const {
        for (const auto& [n, v] : Attrs)
            if (n == name)
                return &v;
        return nullptr;
    }
};

struct Document {
    std::vector<Element> Elements;
    std::set<std::string> Ids;
    std::string Text; // the character data, references resolved (ASCII ones only)
};

namespace detail {

// The code point at S[At] (At moves past it); -1 for a malformed sequence.
inline long NextCodePoint(std::string_view s, std::size_t& at) {
    const auto b = static_cast<unsigned char>(s[at]);
    int n = 0;
    long cp = 0;
    if (b < 0x80) {
        ++at;
        return b;
    } else if (b >= 0xC2 && b <= 0xDF) {
        n = 1;
        cp = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
        n = 2;
        cp = b & 0x0F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        n = 3;
        cp = b & 0x07;
    } else {
        return -1;
    }
    if (at + n >= s.size())
        return -1;
    for (int k = 1; k <= n; ++k) {
        const auto c = static_cast<unsigned char>(s[at + k]);
        if ((c & 0xC0) != 0x80)
            return -1;
        cp = (cp << 6) | (c & 0x3F);
    }
    static constexpr long kMin[] = {0, 0x80, 0x800, 0x10000};
    if (cp < kMin[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return -1;
    at += n + 1;
    return cp;
}

// A character XML takes, without the control characters.
inline bool IsChar(long cp) {
    if (cp == 0x9 || cp == 0xA || cp == 0xD)
        return true;
    if (cp < 0x20 || (cp >= 0x7F && cp <= 0x9F) || cp == 0xFFFE || cp == 0xFFFF)
        return false;
    return cp <= 0x10FFFF && !(cp >= 0xD800 && cp <= 0xDFFF);
}

inline bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
inline bool IsNameStart(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == ':';
}
inline bool IsNameChar(char c) {
    return IsNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.';
}

class Parser {
public:
    Parser(std::string_view s, Document& doc, std::string& why) : s_(s), doc_(doc), why_(why) {}

    bool Run() {
        for (at_ = 0; at_ < s_.size();) {
            const long cp = NextCodePoint(s_, at_);
            if (cp < 0)
                return Fail("malformed UTF-8");
            if (!IsChar(cp))
                return Fail("a control character");
        }
        at_ = 0;
        if (s_.starts_with("<?xml") && s_.size() > 5 && IsSpace(s_[5])) {
            const std::size_t end = s_.find("?>");
            if (end == std::string_view::npos)
                return Fail("unended declaration");
            const std::string_view decl = s_.substr(0, end);
            if (decl.find("version=\"1.0\"") == std::string_view::npos)
                return Fail("no version 1.0");
            at_ = end + 2;
        }
        bool doctype = false;
        if (!Misc(&doctype))
            return false;
        if (!Peek("<") || Peek("</"))
            return Fail("no root element");
        if (!Root())
            return false;
        if (!Misc(nullptr))
            return false;
        if (at_ != s_.size())
            return Fail("content after the root");
        return true;
    }

private:
    bool Fail(const char* why) {
        if (why_.empty())
            why_ = std::string(why) + " at byte " + std::to_string(at_);
        return false;
    }
    bool Peek(std::string_view t) const { return s_.substr(at_).starts_with(t); }
    void SkipSpace() {
        while (at_ < s_.size() && IsSpace(s_[at_]))
            ++at_;
    }

    // Comments, processing instructions, white space, and (where Doctype
    // points) one document type declaration.
    bool Misc(bool* doctype) {
        for (;;) {
            SkipSpace();
            if (Peek("<!--")) {
                if (!Comment())
                    return false;
            } else if (Peek("<?")) {
                if (!Pi())
                    return false;
            } else if (Peek("<!DOCTYPE")) {
                if (!doctype || *doctype)
                    return Fail("misplaced document type");
                *doctype = true;
                const std::size_t end = s_.find('>', at_);
                if (end == std::string_view::npos ||
                    s_.substr(at_ + 1, end - at_ - 1).find_first_of("[<") != std::string_view::npos)
                    return Fail("document type with declarations");
                at_ = end + 1;
            } else {
                return true;
            }
        }
    }

    bool Comment() {
        const std::size_t end = s_.find("--", at_ + 4);
        if (end == std::string_view::npos || !s_.substr(end).starts_with("-->"))
            return Fail("bad comment");
        at_ = end + 3;
        return true;
    }

    bool Pi() {
        at_ += 2;
        const std::size_t start = at_;
        if (!Name())
            return false;
        std::string target(s_.substr(start, at_ - start));
        for (char& c : target)
            c = static_cast<char>(c | 0x20);
        if (target == "xml")
            return Fail("misplaced declaration");
        const std::size_t end = s_.find("?>", at_);
        if (end == std::string_view::npos || (end != at_ && !IsSpace(s_[at_])))
            return Fail("bad processing instruction");
        at_ = end + 2;
        return true;
    }

    bool Name() {
        if (at_ >= s_.size() || !IsNameStart(s_[at_]))
            return Fail("bad name");
        while (at_ < s_.size() && IsNameChar(s_[at_]))
            ++at_;
        return true;
    }

    // A reference at "&"; its character (or '?' for one outside ASCII) onto Out.
    bool Reference(std::string& out) {
        const std::size_t semi = s_.find(';', at_);
        if (semi == std::string_view::npos || semi - at_ > 12)
            return Fail("lone ampersand");
        const std::string_view ref = s_.substr(at_ + 1, semi - at_ - 1);
        static constexpr std::pair<std::string_view, char> kEntities[] = {
            {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
        bool found = false;
        for (const auto& [name, c] : kEntities)
            if (ref == name) {
                out += c;
                found = true;
            }
        if (!found) {
            if (ref.size() < 2 || ref[0] != '#')
                return Fail("unknown entity");
            const bool hex = ref[1] == 'x';
            const std::string_view digits = ref.substr(hex ? 2 : 1);
            if (digits.empty())
                return Fail("empty character reference");
            long cp = 0;
            for (const char c : digits) {
                int v = -1;
                if (c >= '0' && c <= '9')
                    v = c - '0';
                else if (hex && c >= 'a' && c <= 'f')
                    v = c - 'a' + 10;
                else if (hex && c >= 'A' && c <= 'F')
                    v = c - 'A' + 10;
                if (v < 0)
                    return Fail("bad character reference");
                cp = cp * (hex ? 16 : 10) + v;
                if (cp > 0x10FFFF)
                    return Fail("character reference out of range");
            }
            if (!IsChar(cp))
                return Fail("reference to no character");
            out += cp < 0x80 ? static_cast<char>(cp) : '?';
        }
        at_ = semi + 1;
        return true;
    }

    bool Attribute(Element& e) {
        const std::size_t start = at_;
        if (!Name())
            return false;
        std::string name(s_.substr(start, at_ - start));
        SkipSpace();
        if (!Peek("="))
            return Fail("attribute without a value");
        ++at_;
        SkipSpace();
        if (at_ >= s_.size() || (s_[at_] != '"' && s_[at_] != '\''))
            return Fail("unquoted attribute");
        const char quote = s_[at_++];
        std::string value;
        for (;;) {
            if (at_ >= s_.size())
                return Fail("unended attribute");
            const char c = s_[at_];
            if (c == quote) {
                ++at_;
                break;
            }
            if (c == '<')
                return Fail("raw < in an attribute");
            if (c == '&') {
                if (!Reference(value))
                    return false;
                continue;
            }
            value += c;
            ++at_;
        }
        if (e.Attr(name))
            return Fail("repeated attribute");
        if ((name == "id" || name == "xml:id") && !doc_.Ids.insert(value).second)
            return Fail("repeated id");
        e.Attrs.emplace_back(std::move(name), std::move(value));
        return true;
    }

    // A start tag at "<"; Empty when it closes itself.
    bool StartTag(std::string& name, bool& empty) {
        ++at_;
        const std::size_t start = at_;
        if (!Name())
            return false;
        Element e;
        e.Name = std::string(s_.substr(start, at_ - start));
        for (;;) {
            const std::size_t before = at_;
            SkipSpace();
            if (Peek("/>") || Peek(">")) {
                empty = Peek("/>");
                at_ += empty ? 2 : 1;
                break;
            }
            if (at_ == before)
                return Fail("attributes run together");
            if (!Attribute(e))
                return false;
        }
        name = e.Name;
        doc_.Elements.push_back(std::move(e));
        return true;
    }

    bool Root() {
        std::vector<std::string> open;
        std::string name;
        bool empty = false;
        if (!StartTag(name, empty))
            return false;
        if (empty)
            return true;
        open.push_back(name);
        while (!open.empty()) {
            if (at_ >= s_.size())
                return Fail("unclosed element");
            const char c = s_[at_];
            if (c == '&') {
                if (!Reference(doc_.Text))
                    return false;
            } else if (c != '<') {
                if (Peek("]]>"))
                    return Fail("]]> in text");
                doc_.Text += c;
                ++at_;
            } else if (Peek("</")) {
                at_ += 2;
                const std::size_t start = at_;
                if (!Name())
                    return false;
                if (s_.substr(start, at_ - start) != open.back())
                    return Fail("crossed or unopened end tag");
                SkipSpace();
                if (!Peek(">"))
                    return Fail("bad end tag");
                ++at_;
                open.pop_back();
            } else if (Peek("<!--")) {
                if (!Comment())
                    return false;
            } else if (Peek("<![CDATA[")) {
                const std::size_t end = s_.find("]]>", at_);
                if (end == std::string_view::npos)
                    return Fail("unended CDATA");
                doc_.Text += s_.substr(at_ + 9, end - at_ - 9);
                at_ = end + 3;
            } else if (Peek("<?")) {
                if (!Pi())
                    return false;
            } else if (Peek("<!")) {
                return Fail("declaration in content");
            } else {
                if (!StartTag(name, empty))
                    return false;
                if (!empty)
                    open.push_back(name);
            }
        }
        return true;
    }

    std::string_view s_;
    std::size_t at_ = 0;
    Document& doc_;
    std::string& why_;
};

} // namespace detail

// Whether Text is a well-formed document; its elements and ids into Doc, the
// first fault into Why.
inline bool Check(std::string_view text, Document& doc, std::string& why) {
    doc = Document{};
    why.clear();
    return detail::Parser(text, doc, why).Run();
}

} // namespace xmlcheck
