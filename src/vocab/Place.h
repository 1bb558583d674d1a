// A place: only its base form.
#pragma once
#include "vocab/PartOfSpeech.h"

class TPlace : public TPartOfSpeech {
public:
    TPlace() : TPartOfSpeech(wcPlace) {}
};
