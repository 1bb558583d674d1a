// One entry of the sound catalogue: the base name of a wave file and the
// catalogue id it is loaded under.
#pragma once
#include <cstdint>

#include "sound/IDNode.h"

class TSoundInfoNode : public TIDNode {
public:
    TSoundInfoNode(const std::string& name, uint16_t id) : TIDNode(name), SoundId(id) {}
    uint16_t SoundId;
};
