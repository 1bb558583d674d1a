// The tale pictures' table, read from the copy built into the program.
#include "story/TalePictures.h"

#include <algorithm>
#include <string_view>

#include "story/TalePicturesText.inc" // kTalePicturesText: the table's bytes
#include "story/TaleTable.h"

std::string TTalePictures::Text(int tale, int level) {
    if (!TTaleTable::IsTale(tale) || level < 0 || level > 2)
        return {};
    const std::string key = TTaleTable::ShortName(tale) + ' ' + std::to_string(level) + ' ';
    std::string_view table(kTalePicturesText, sizeof kTalePicturesText - 1);
    while (!table.empty()) {
        const std::size_t end = std::min(table.find('\n'), table.size());
        std::string_view line = table.substr(0, end);
        table.remove_prefix(std::min(end + 1, table.size()));
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.starts_with(key))
            return std::string(line.substr(key.size()));
    }
    return {};
}
