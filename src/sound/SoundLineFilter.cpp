// The sound catalogue's line filter.
#include "sound/SoundLineFilter.h"

#include "base/LumUtil.h"

bool SoundLineFilter(std::string& line) {
    line = TrimText(line);
    std::size_t cut = line.find(' ');
    if (cut != std::string::npos)
        line.erase(cut);
    cut = line.find('\t');
    if (cut != std::string::npos)
        line.erase(cut);
    return !line.empty() && line[0] != '[' && line[0] != '#';
}
