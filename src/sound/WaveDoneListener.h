// Told by the wave manager each time a sound of its list has finished (its
// done message handled), before the manager starts the next queued sound, so
// that a listener may start a sound of its own first.
#pragma once
#include <cstdint>

class TWaveDoneListener {
public:
    virtual ~TWaveDoneListener() = default;
    // Id: the finished sound's id. The node may already be freed. The listener
    // may call the manager, and may remove itself.
    virtual void WaveSoundDone(uint16_t id) = 0;
};
