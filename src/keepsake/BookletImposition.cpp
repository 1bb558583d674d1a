// The booklet's sheets and the order they are printed in.
#include "keepsake/BookletImposition.h"

#include <algorithm>

TBookletImposition::TBookletImposition(int pages)
    : pages_(std::max(pages, 0)), padded_((pages_ + 3) / 4 * 4) {}

std::vector<std::vector<TBookletImposition::Side>>
TBookletImposition::Jobs(bool oneSided, int copies, int from, int to) const {
    if (from < 1 || to < 1) {
        from = 1;
        to = Sheets();
    }
    to = std::min(to, Sheets());
    std::vector<std::vector<Side>> jobs;
    if (from > to)
        return jobs;
    copies = std::max(copies, 1);
    if (!oneSided) {
        std::vector<Side>& job = jobs.emplace_back();
        for (int c = 0; c < copies; ++c)
            for (int k = from; k <= to; ++k) {
                job.push_back(Front(k));
                job.push_back(Back(k));
            }
        return jobs;
    }
    std::vector<Side>& fronts = jobs.emplace_back();
    for (int c = 0; c < copies; ++c)
        for (int k = from; k <= to; ++k)
            fronts.push_back(Front(k));
    std::vector<Side> backs;
    for (int c = 0; c < copies; ++c)
        for (int k = from; k <= to; ++k)
            backs.push_back(Back(k));
    jobs.push_back(std::move(backs));
    return jobs;
}
