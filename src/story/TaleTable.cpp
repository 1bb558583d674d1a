// The tale table.
#include "story/TaleTable.h"

#include <stdexcept>

namespace {
const char* const kShortNames[TTaleTable::kCount] = {"Cinders", "Goldilox", "Hansel", "Jack",
                                                     "RR-Hood", "Rapunzel", "Rumpel", "Sleeping",
                                                     "Ginger",  "Tortoise"};
} // namespace

std::string TTaleTable::ShortName(int n) {
    if (!IsTale(n))
        throw std::runtime_error("Invalid book number");
    return kShortNames[n - 1];
}
