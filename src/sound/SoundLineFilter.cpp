// The sound catalogue's line filter.
#include "sound/SoundLineFilter.h"

bool SoundLineFilter(std::string& line) {
    std::size_t b = 0, e = line.size();
    while (b < e && static_cast<unsigned char>(line[b]) <= 32)
        ++b;
    while (e > b && static_cast<unsigned char>(line[e - 1]) <= 32)
        --e;
    line = line.substr(b, e - b);
    std::size_t cut = line.find(' ');
    if (cut != std::string::npos)
        line.erase(cut);
    cut = line.find('\t');
    if (cut != std::string::npos)
        line.erase(cut);
    return !line.empty() && line[0] != '[' && line[0] != '#';
}
