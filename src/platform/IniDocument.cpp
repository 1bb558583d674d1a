// In-memory .ini text with minimal edits.
#include "platform/IniDocument.h"

namespace plat {

bool EqualNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

std::string TrimBlanks(const std::string& s) {
    std::size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t' || s[b] == '\r'))
        ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r'))
        --e;
    return s.substr(b, e - b);
}

IniDocument::IniDocument(std::string text) : text_(std::move(text)) {}

const char* IniDocument::Eol() const {
    return text_.find("\r\n") != std::string::npos ? "\r\n" : "\n";
}

bool IniDocument::NextLine(std::size_t pos, Line& line) const {
    if (pos >= text_.size())
        return false;
    std::size_t nl = text_.find('\n', pos);
    line.begin = pos;
    line.next = nl == std::string::npos ? text_.size() : nl + 1;
    line.end = nl == std::string::npos ? text_.size() : nl;
    if (line.end > line.begin && text_[line.end - 1] == '\r')
        --line.end;
    return true;
}

namespace {
// A line, or a key, without what the reader passes over before it: blanks,
// control bytes (a zero byte among them) and UTF-8 byte-order marks, so that
// a header or a key behind them is still found. Trailing blanks go too.
std::string LineHead(const std::string& line) {
    std::size_t b = 0;
    for (;;) {
        if (b < line.size() && static_cast<unsigned char>(line[b]) <= ' ')
            ++b;
        else if (line.compare(b, 3, "\xEF\xBB\xBF") == 0)
            b += 3;
        else
            break;
    }
    return TrimBlanks(line.substr(b));
}

// The section name of a header line, or false when the line is no header.
bool HeaderName(const std::string& trimmed, std::string& name) {
    if (trimmed.size() < 2 || trimmed.front() != '[')
        return false;
    std::size_t close = trimmed.find(']');
    if (close == std::string::npos)
        return false;
    name = TrimBlanks(trimmed.substr(1, close - 1));
    return true;
}
} // namespace

bool IniDocument::FindSection(const std::string& section, std::size_t& header, std::size_t& bodyEnd,
                              std::size_t& afterBody) const {
    Line line{};
    std::size_t pos = 0;
    bool inside = false;
    while (NextLine(pos, line)) {
        std::string trimmed = LineHead(text_.substr(line.begin, line.end - line.begin));
        std::string name;
        if (HeaderName(trimmed, name)) {
            if (inside) {
                afterBody = line.begin;
                return true;
            }
            if (EqualNoCase(name, TrimBlanks(section))) {
                inside = true;
                header = line.begin;
                bodyEnd = line.next;
            }
        } else if (inside && !trimmed.empty()) {
            bodyEnd = line.next;
        }
        pos = line.next;
    }
    afterBody = text_.size();
    return inside;
}

bool IniDocument::HasSection(const std::string& section) const {
    std::size_t h, b, a;
    return FindSection(section, h, b, a);
}

bool IniDocument::FindKey(std::size_t header, std::size_t afterBody, const std::string& key,
                          Line& found) const {
    Line line{};
    NextLine(header, line);
    std::size_t pos = line.next;
    std::string wanted = LineHead(key);
    while (pos < afterBody && NextLine(pos, line)) {
        std::string raw = text_.substr(line.begin, line.end - line.begin);
        std::size_t eq = raw.find('=');
        if (eq != std::string::npos && EqualNoCase(LineHead(raw.substr(0, eq)), wanted)) {
            found = line;
            return true;
        }
        pos = line.next;
    }
    return false;
}

bool IniDocument::Get(const std::string& section, const std::string& key,
                      std::string& value) const {
    std::size_t header, bodyEnd, afterBody;
    Line line{};
    if (!FindSection(section, header, bodyEnd, afterBody) || !FindKey(header, afterBody, key, line))
        return false;
    std::string raw = text_.substr(line.begin, line.end - line.begin);
    std::string v = TrimBlanks(raw.substr(raw.find('=') + 1));
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
    value = v;
    return true;
}

void IniDocument::AddSection(const std::string& section) {
    if (HasSection(section))
        return;
    const char* eol = Eol();
    if (!text_.empty() && text_.back() != '\n')
        text_ += eol;
    text_ += "[" + section + "]" + eol;
}

void IniDocument::Set(const std::string& section, const std::string& key,
                      const std::string& value) {
    const char* eol = Eol();
    // One line, whatever was pasted into the value: a line break in it must
    // not add keys or sections.
    std::string newLine = key + "=" + value;
    for (char& c : newLine) {
        if (c == '\r' || c == '\n')
            c = ' ';
    }
    std::size_t header, bodyEnd, afterBody;
    if (!FindSection(section, header, bodyEnd, afterBody)) {
        AddSection(section);
        text_ += newLine + eol;
        return;
    }
    Line line{};
    if (FindKey(header, afterBody, key, line)) {
        text_.replace(line.begin, line.end - line.begin, newLine);
        return;
    }
    // A new key goes after the section's last non-blank line.
    std::string insert = newLine + eol;
    if (bodyEnd > 0 && text_[bodyEnd - 1] != '\n')
        insert = eol + insert;
    text_.insert(bodyEnd, insert);
}

} // namespace plat
