// Reading a tale's cover line.
#include "story/CoverLine.h"

TCoverLine TCoverLine::Parse(std::string line) {
    TCoverLine cover;
    cover.hasHero = !line.empty() && line[0] == '$';
    if (cover.hasHero)
        line.erase(0, 1);
    cover.hasHeroine = !line.empty() && line[0] == '%';
    if (cover.hasHeroine)
        line.erase(0, 1);
    cover.text = std::move(line);
    return cover;
}
