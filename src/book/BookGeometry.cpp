// The storybook's resize arithmetic.
#include "book/BookGeometry.h"

#include <algorithm>
#include <cstdint>

void TBookGeometry::Create(int w, int h) {
    prevPage.left = 24;
    nextPage.left = w - 24 - nextPage.width;
    prevPage.top = h - 24 - prevPage.height;
    nextPage.top = prevPage.top;
}

TBookGeometry::Step TBookGeometry::Resize(int w, int h, int scale) {
    Step s;
    s.dx = w - (nextPage.left + nextPage.width + prevPage.left);
    s.dy = h - (prevPage.top + prevPage.left + prevPage.height);
    nextPage.left += s.dx;
    nextPage.top += s.dy;
    prevPage.top += s.dy;
    s.leftPage = LeftPage(w, h, scale);
    s.rightPage = RightPage(w, h, scale);
    return s;
}

TBookBox TBookGeometry::ClientForLine(int line, int width, int height) {
    // A page is w / 2 - 80 wide; its lines are that less both margins.
    const int64_t w = std::max<int64_t>(width, 2 * (int64_t{line} + 2 * kMargin + 80));
    const int64_t h = std::max<int64_t>(height, (w * height + width - 1) / std::max(width, 1));
    return {0, 0, static_cast<int>(std::min<int64_t>(w, INT32_MAX)),
            static_cast<int>(std::min<int64_t>(h, INT32_MAX))};
}

TBookBox TBookGeometry::GrowWithin(const TBookBox& client, int width, int height,
                                   const TBookBox& area) {
    if (client.width >= width && client.height >= height)
        return client;
    const auto grown = [](int now, int wanted, int room) {
        return std::max(now, std::min(wanted, room));
    };
    TBookBox box;
    box.width = grown(client.width, width, area.width);
    box.height = grown(client.height, height, area.height);
    const auto place = [](int start, int now, int size, int areaStart, int areaSize) {
        const int64_t centred = int64_t{start} + (int64_t{now} - size) / 2;
        const int64_t last = int64_t{areaStart} + areaSize - size;
        return static_cast<int>(std::max<int64_t>(std::min(centred, last), areaStart));
    };
    box.left = place(client.left, client.width, box.width, area.left, area.width);
    box.top = place(client.top, client.height, box.height, area.top, area.height);
    return box;
}
