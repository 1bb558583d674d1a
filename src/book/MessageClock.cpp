// The storybook's message timer rule.
#include "book/MessageClock.h"

bool TMessageClock::Start(uint32_t now) {
    if (running_)
        return false;
    running_ = true;
    start_ = now;
    return true;
}

bool TMessageClock::Due(uint32_t now) {
    if (!running_ || now - start_ < kInterval)
        return false;
    running_ = false;
    return true;
}

uint32_t TMessageClock::Remaining(uint32_t now) const {
    if (!running_ || now - start_ >= kInterval)
        return 0;
    return kInterval - (now - start_);
}
