// The manual page describes every key of the game's key table, and no other,
// under the window the table gives it, in the table's order.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "base/KeyTable.h"
#include "support/TestSupport.h"

namespace {

// Text of a manual line with its escapes for "-" undone.
std::string Plain(std::string line) {
    for (std::size_t at = line.find("\\-"); at != std::string::npos; at = line.find("\\-", at))
        line.erase(at, 1);
    return line;
}

} // namespace

TEST(KeyTable, TheManualDescribesEveryKeyUnderItsWindow) {
    const std::string manual =
        fbwtest::ReadBytes(fbwtest::SourceDir() + "/packaging/fablewhirl.6.in");
    ASSERT_FALSE(manual.empty());
    // "window: keys" for each key the KEYS section tags, and whether text
    // saying what it does follows the tag.
    std::vector<std::string> tagged;
    std::vector<bool> said;
    std::istringstream lines(manual);
    std::string line, window;
    bool inKeys = false, tag = false;
    while (std::getline(lines, line)) {
        if (line.starts_with(".SH")) {
            inKeys = line == ".SH KEYS";
        } else if (!inKeys) {
        } else if (line.starts_with(".SS ")) {
            window = line.substr(4);
        } else if (line == ".TP") {
            tag = true;
        } else if (tag && line.starts_with(".B ")) {
            tagged.push_back(window + ": " + Plain(line.substr(3)));
            said.push_back(false);
            tag = false;
        } else if (!said.empty() && !line.starts_with(".")) {
            said.back() = true;
        }
    }
    std::vector<std::string> table;
    for (const TKeyTable::Key& k : TKeyTable::Keys())
        table.push_back(std::string(k.window) + ": " + k.keys);
    EXPECT_EQ(tagged, table);
    for (std::size_t i = 0; i < said.size(); ++i)
        EXPECT_TRUE(said[i]) << tagged[i] << " is not described";
}
