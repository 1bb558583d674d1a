// The storybook's message timer rule: the confirmations go 2500 ms after the
// first of them; starting again while running does not restart the wait.
// Ticks are 32-bit milliseconds (platform/Tick.h).
#pragma once
#include <cstdint>

class TMessageClock {
public:
    static constexpr uint32_t kInterval = 2500;

    // Starts the wait at Now unless it is already running. Returns whether
    // it started.
    bool Start(uint32_t now);
    bool Running() const { return running_; }
    // Whether the wait has ended at Now (then the clock stops).
    bool Due(uint32_t now);
    // Milliseconds left at Now (0 when not running or due).
    uint32_t Remaining(uint32_t now) const;
    void Stop() { running_ = false; }

private:
    bool running_ = false;
    uint32_t start_ = 0;
};
