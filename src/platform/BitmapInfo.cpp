// The process-wide bitmap description template.
#include "platform/BitmapInfo.h"

namespace plat {

const BitmapInfo& BitmapInfo::Template() {
    static const BitmapInfo info = [] {
        BitmapInfo b;
        for (int i = 0; i < 256; ++i)
            b.Colors[static_cast<std::size_t>(i)] = static_cast<uint16_t>(i);
        return b;
    }();
    return info;
}

} // namespace plat
