// The self-releasing library image.
#include "image/LibraryImage.h"

#include <utility>

#include "image/RL8Exception.h"
#include "image/RL8Library.h"

TLibraryImage::TLibraryImage(TRL8Library& library, const std::string& name, SurfaceNeed need)
    : library_(&library) {
    TImageNode* node = library.GetImage(name);
    TRL8ImageData* surface = nullptr;
    try {
        surface = library.GetImageData(node);
    } catch (...) {
        library.ReleaseImage(node);
        throw;
    }
    if (!surface && need == SurfaceNeed::Required) {
        library.ReleaseImage(node);
        throw RL8Exception("GetImageData: no surface for \"" + name + "\"");
    }
    node_ = node;
    surface_ = surface;
}

TLibraryImage::TLibraryImage(TLibraryImage&& other) noexcept
    : library_(std::move(other.library_)), node_(std::exchange(other.node_, nullptr)),
      surface_(std::exchange(other.surface_, nullptr)) {}

TLibraryImage& TLibraryImage::operator=(TLibraryImage&& other) noexcept {
    if (this != &other) {
        Reset();
        library_ = std::move(other.library_);
        node_ = std::exchange(other.node_, nullptr);
        surface_ = std::exchange(other.surface_, nullptr);
    }
    return *this;
}

void TLibraryImage::Reset() noexcept {
    TRL8Library* library = library_.Get();
    // A node that Close freed is no longer among the library's images and is
    // not touched; ReleaseImage makes the same test.
    if (library && node_ && library->Images().Contains(node_)) {
        if (surface_)
            library->ReleaseImageData(node_);
        library->ReleaseImage(node_);
    }
    node_ = nullptr;
    surface_ = nullptr;
    library_.Reset();
}
