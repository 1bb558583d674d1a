// Checks every layout must pass, whatever the canvas and page size, and the
// ten shipped tales told at full twist. Header-only: the engine tests and the
// Qt canvas tests both use it.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "book/Book.h"
#include "story/Generate.h"
#include "story/StoryText.h"
#include "support/TestSupport.h"

namespace booktest {

// The ten tales of the build's program folder at full twist, each resolved
// as the storybook resolves the text it is handed.
inline std::vector<std::string> TenTales() {
    TStoryGenerator::Files files;
    files.dataFolder = fbwtest::YarnsDir() + "/dat/";
    files.wordsFile = fbwtest::YarnsDir() + "/words.dat";
    files.saveWords = false;
    files.saveSettings = false;
    TStoryGenerator generator(files);
    generator.SetTwistLevel(100);
    generator.FixSeed(2024);
    std::vector<std::string> tales;
    for (int tale = 1; tale <= TStoryGenerator::kTaleCount; ++tale)
        tales.push_back(ResolveStoryLineEnds(JoinStoryLines(generator.GenerateStory(tale))));
    return tales;
}

inline bool MarkerAt(const std::string& t, std::size_t i) {
    return i + 1 < t.size() && t[i] == '\\' && t[i + 1] == 'n';
}

// Lines in text order without overlap; every character in exactly one line
// or a skipped space or marker; no line wider than Avail unless it holds one
// character; no line crossing a marker; no page starting with a space or an
// empty line; no empty page; a line broken inside a paragraph does not end
// with a space.
inline void CheckLayout(const TBook& book, plat::Canvas& canvas, const std::string& text, int avail,
                        const std::string& what) {
    SCOPED_TRACE(what);
    std::size_t next = 0; // first character not yet accounted for
    for (int p = 1; p <= book.PageCount(); ++p) {
        const TPage* page = book.Page(p);
        ASSERT_GT(page->LineCount(), 0) << "page " << p;
        for (int l = 1; l <= page->LineCount(); ++l) {
            const TLine* line = page->Line(l);
            const std::size_t off = static_cast<std::size_t>(line->Offset);
            ASSERT_GE(off, next) << "page " << p << " line " << l << " overlaps";
            for (std::size_t i = next; i < off; ++i) {
                if (MarkerAt(text, i)) {
                    ++i;
                } else {
                    ASSERT_EQ(text[i], ' ') << "character " << i << " skipped";
                }
            }
            const std::string s = line->GetText(text.c_str());
            ASSERT_EQ(s.find("\\n"), std::string::npos) << "line crosses a marker";
            if (s.size() > 1) {
                ASSERT_LE(canvas.TextWidth(s), avail) << "page " << p << " line " << l;
            }
            if (l == 1) {
                ASSERT_GT(s.size(), 0u) << "page " << p << " starts with an empty line";
                ASSERT_NE(s[0], ' ') << "page " << p << " starts with a space";
            }
            next = off + s.size();
            const bool paragraphGoesOn = next < text.size() && !MarkerAt(text, next) &&
                                         text.find_first_not_of(' ', next) != std::string::npos &&
                                         !MarkerAt(text, text.find_first_not_of(' ', next));
            if (paragraphGoesOn && s.find_first_not_of(' ') != std::string::npos) {
                ASSERT_NE(s.back(), ' ')
                    << "page " << p << " line " << l << " breaks after a space";
            }
        }
    }
    for (std::size_t i = next; i < text.size(); ++i) {
        if (MarkerAt(text, i)) {
            ++i;
        } else {
            ASSERT_EQ(text[i], ' ') << "character " << i << " after the last page";
        }
    }
}

} // namespace booktest
