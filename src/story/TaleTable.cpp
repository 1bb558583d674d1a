// The tale table.
#include "story/TaleTable.h"

#include <stdexcept>

namespace {
const char* const kShortNames[TTaleTable::kCount] = {"Cinders", "Goldilox", "Hansel", "Jack",
                                                     "RR-Hood", "Rapunzel", "Rumpel", "Sleeping",
                                                     "Ginger",  "Tortoise"};
// The cover lines' words (ml<N>.dat), without their marks.
const char* const kTitles[TTaleTable::kCount] = {"Cinderella",
                                                 "Goldilocks and the Three Bears",
                                                 "Hansel and Gretel",
                                                 "Jack and the Beanstalk",
                                                 "Little Red Riding Hood",
                                                 "Rapunzel",
                                                 "Rumpelstiltskin",
                                                 "Sleeping Beauty",
                                                 "The Gingerbread Man",
                                                 "The Tortoise and the Hare"};
} // namespace

std::string TTaleTable::ShortName(int n) {
    if (!IsTale(n))
        throw std::runtime_error("Invalid book number");
    return kShortNames[n - 1];
}

std::string TTaleTable::Title(int n) {
    if (!IsTale(n))
        throw std::runtime_error("Invalid book number");
    return kTitles[n - 1];
}
