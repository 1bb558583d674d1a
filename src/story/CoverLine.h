// A tale's cover line read once: "$" first when the tale has a hero, then "%"
// when it has a heroine, then the cover words. The generator's title and the
// storybook's cover both read it this way.
#pragma once
#include <string>

struct TCoverLine {
    bool hasHero = false;
    bool hasHeroine = false;
    std::string text; // the cover words, without the marks

    // A leading "$" sets hasHero; then a leading "%" sets hasHeroine; each
    // mark found is taken off. Any other order leaves the rest as text.
    static TCoverLine Parse(std::string line);
};
