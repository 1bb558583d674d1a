// Finding sentences and mapping them onto laid-out lines.
#include "reading/StorySentences.h"

#include <algorithm>

#include "book/BookLine.h"
#include "book/BookPage.h"

namespace {

bool IsMarker(const char* s) {
    return s[0] == '\\' && s[1] == 'n';
}

bool IsClosingQuote(char c) {
    return c == '\'' || c == '"';
}

// A letter or digit of a word: ASCII, or a Latin-1 letter (0xC0..0xFF but
// the multiplication and division signs).
bool IsWordChar(char c) {
    const auto b = static_cast<unsigned char>(c);
    return (b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') ||
           (b >= 0xC0 && b != 0xD7 && b != 0xF7);
}

} // namespace

std::vector<TSentence> TStorySentences::Find(const char* text) {
    std::vector<TSentence> out;
    if (!text)
        return out;
    const char* p = text;
    auto emit = [&](const char* begin, const char* end) {
        while (end > begin && end[-1] == ' ')
            --end;
        if (end > begin) {
            TSentence s;
            s.Begin = static_cast<int32_t>(begin - text);
            s.End = static_cast<int32_t>(end - text);
            out.push_back(std::move(s));
        }
    };
    for (;;) {
        while (*p == ' ' || IsMarker(p))
            p += *p == ' ' ? 1 : 2;
        if (!*p)
            return out;
        const char* begin = p;
        for (;;) {
            if (!*p) {
                emit(begin, p);
                return out;
            }
            if (IsMarker(p)) {
                emit(begin, p);
                break;
            }
            if (*p == '.' || *p == '!' || *p == '?') {
                const char* q = p + 1;
                while (IsClosingQuote(*q))
                    ++q;
                if (*q == ' ' || *q == '\0' || IsMarker(q)) {
                    emit(begin, q);
                    p = q;
                    break;
                }
            }
            ++p;
        }
    }
}

std::string TStorySentences::SpeechText(const char* text, int32_t begin, int32_t end) {
    std::string out;
    if (!text)
        return out;
    for (int32_t i = begin; i < end; ++i) {
        if (IsMarker(text + i) && i + 1 < end) {
            out += ' ';
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::vector<TSentenceWord> TStorySentences::FindWords(const char* text, int32_t begin,
                                                      int32_t end) {
    std::vector<TSentenceWord> out;
    if (!text)
        return out;
    int32_t first = -1, last = -1; // of the run's letters and digits
    auto emit = [&] {
        if (first >= 0)
            out.push_back(TSentenceWord{first, last + 1, {}});
        first = last = -1;
    };
    for (int32_t i = begin; i < end; ++i) {
        if (text[i] == ' ') {
            emit();
        } else if (i + 1 < end && IsMarker(text + i)) {
            emit();
            ++i;
        } else if (IsWordChar(text[i])) {
            if (first < 0)
                first = i;
            last = i;
        }
    }
    emit();
    return out;
}

int TStorySentences::CountWords(const std::string& text) {
    return static_cast<int>(FindWords(text.c_str(), 0, static_cast<int32_t>(text.size())).size());
}

void TStorySentences::Build(const char* text, const TLumList& pages) {
    Items = Find(text);
    for (TSentence& s : Items) {
        s.Speech = SpeechText(text, s.Begin, s.End);
        s.Words = FindWords(text, s.Begin, s.End);
    }
    Map(pages);
}

void TStorySentences::Map(const TLumList& pages) {
    // The words of every sentence, in text order.
    std::vector<TSentenceWord*> words;
    for (TSentence& s : Items) {
        s.Parts.clear();
        for (TSentenceWord& w : s.Words) {
            w.Parts.clear();
            words.push_back(&w);
        }
    }
    std::size_t firstWord = 0; // first word that may still meet a line
    // Lines and sentences both run in text order: one pass over each.
    std::size_t first = 0; // first sentence that may still meet a line
    int pageNumber = 0;
    for (const TLumNode* pn = pages.First; pn; pn = pn->Next) {
        ++pageNumber;
        int lineNumber = 0;
        for (const TLumNode* ln = static_cast<const TPage*>(pn)->Lines.First; ln; ln = ln->Next) {
            ++lineNumber;
            const auto* line = static_cast<const TLine*>(ln);
            const int32_t lineBegin = line->Offset;
            const int32_t lineEnd = line->Offset + line->Length;
            while (first < Items.size() && Items[first].End <= lineBegin)
                ++first;
            for (std::size_t i = first; i < Items.size() && Items[i].Begin < lineEnd; ++i) {
                const int32_t b = std::max(Items[i].Begin, lineBegin);
                const int32_t e = std::min(Items[i].End, lineEnd);
                if (b < e)
                    Items[i].Parts.push_back(
                        TLinePart{pageNumber, lineNumber, b - lineBegin, e - lineBegin});
            }
            while (firstWord < words.size() && words[firstWord]->End <= lineBegin)
                ++firstWord;
            for (std::size_t i = firstWord; i < words.size() && words[i]->Begin < lineEnd; ++i) {
                const int32_t b = std::max(words[i]->Begin, lineBegin);
                const int32_t e = std::min(words[i]->End, lineEnd);
                if (b < e)
                    words[i]->Parts.push_back(
                        TLinePart{pageNumber, lineNumber, b - lineBegin, e - lineBegin});
            }
        }
    }
}

int TStorySentences::FirstFrom(int page) const {
    for (std::size_t i = 0; i < Items.size(); ++i)
        if (!Items[i].Parts.empty() && Items[i].Parts.back().Page >= page)
            return static_cast<int>(i);
    return -1;
}

int TStorySentences::FirstPage(int i) const {
    if (i < 0 || i >= static_cast<int>(Items.size()) || Items[i].Parts.empty())
        return 0;
    return Items[i].Parts.front().Page;
}
