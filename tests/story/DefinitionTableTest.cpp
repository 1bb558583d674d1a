// The definitions of a story on their own: the caches of template lines
// into them, a redefinition, references by "name=start", values kept whole.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "story/DefinitionTable.h"

namespace {

// A definition line ">a=...;b=..." told by each story, and a text line that
// refers to b, then a, each through its own line cache.
struct Lines {
    TDefinitionTable table;
    TDefinitionTable::LineCache definitionLine, textLine;

    void Tell(const std::string& a, const std::string& b) {
        table.Clear();
        table.Refresh(definitionLine);
        table.Define("a", a, {}, &definitionLine.definitions, 0);
        table.Define("b", b, {}, &definitionLine.definitions, 1);
        table.Refresh(textLine);
    }
    std::string Value(const char* name, std::size_t k) {
        const TDefinitionTable::Definition* d = table.Reference(name, &textLine.references, k);
        return d ? d->value : "<none>";
    }
};

TEST(DefinitionTable, ALinesCacheFindsItsOwnNamesFromStoryToStory) {
    Lines lines;
    lines.Tell("1", "2");
    EXPECT_EQ(lines.Value("b", 0), "2");
    EXPECT_EQ(lines.Value("a", 1), "1");
    // The next story's values through the same caches.
    lines.Tell("3", "4");
    EXPECT_EQ(lines.Value("b", 0), "4");
    EXPECT_EQ(lines.Value("a", 1), "3");
    // A slot that holds another name looks the name asked for up.
    EXPECT_EQ(lines.Value("a", 0), "3");
    EXPECT_EQ(lines.Value("b", 0), "4");
    // Names met outside stories pile up until the next story drops every
    // entry: the caches then find the new entries, not the dropped ones.
    for (int i = 0; i < 5000; ++i)
        lines.table.Define("n" + std::to_string(i), "v", {}, nullptr, 0);
    lines.Tell("5", "6");
    EXPECT_EQ(lines.Value("b", 0), "6");
    EXPECT_EQ(lines.Value("a", 1), "5");
    EXPECT_EQ(lines.Value("n1", 2), "<none>");
    // A story that defines nothing finds nothing through the old caches.
    lines.table.Clear();
    EXPECT_EQ(lines.Value("b", 0), "<none>");
    EXPECT_EQ(lines.Value("a", 1), "<none>");
}

TEST(DefinitionTable, ARedefinitionIsTheNewestAndValuesAreKeptWhole) {
    TDefinitionTable table;
    table.Define("a", "first", {}, nullptr, 0);
    table.Define("b", "b", {}, nullptr, 0);
    table.Define("a", "again", {}, nullptr, 0);
    EXPECT_EQ(table.Entries(), (std::vector<std::string>{"b=b", "a=again"}));

    // Longer than a reference takes, and a brace only beyond that part.
    const std::string long_value = std::string(TDefinitionTable::kValueLimit, 'x') + "{";
    table.Define("w", long_value, {}, nullptr, 0);
    const TDefinitionTable::Definition* w = table.Reference("w", nullptr, 0);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->value, long_value);
    EXPECT_FALSE(w->hasBrace);
    table.Define("v", "{x}", {}, nullptr, 0);
    EXPECT_TRUE(table.Reference("v", nullptr, 0)->hasBrace);

    // "name=start" finds a value that goes on with "=" after Start.
    table.Define("x", "a=b", {}, nullptr, 0);
    EXPECT_EQ(table.Reference("x=a", nullptr, 0), table.Reference("x", nullptr, 0));
    EXPECT_EQ(table.Reference("x=c", nullptr, 0), nullptr);
    EXPECT_EQ(table.Reference("x=a=b", nullptr, 0), nullptr);

    table.Clear();
    EXPECT_TRUE(table.Entries().empty());
    EXPECT_EQ(table.Reference("a", nullptr, 0), nullptr);
    EXPECT_EQ(table.Reference("x=a", nullptr, 0), nullptr);
}

} // namespace
