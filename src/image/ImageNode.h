// One loaded image of a library, with its use counts and its surface. The
// node owns both; the surface is freed before the image.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "base/LumNode.h"
#include "image/RL8Image.h"
#include "image/RL8ImageData.h"

class TImageNode : public TLumNode {
public:
    TImageNode() : Image(std::make_unique<TRL8Image>()) {}
    ~TImageNode() override {
        if (ImageData && Image)
            Image->FreeImageData(std::move(ImageData));
    }

    std::string Name;         // lower case
    int32_t UseCount = 0;     // outstanding GetImage results
    int32_t DataUseCount = 0; // outstanding GetImageData results
    std::unique_ptr<TRL8Image> Image;
    std::unique_ptr<TRL8ImageData> ImageData; // created on demand
};
