// One library image held by its user: the image (one UseCount) and, when it
// could be made, its surface (one DataUseCount), both given back when the
// handle is reset or destroyed. Move-only; a moved-from handle is empty. The
// handle goes empty by itself when its library is destroyed; after the
// library's Close the node is gone, and only Reset and destruction (which then
// give back nothing) may be used.
#pragma once
#include <string>

#include "image/LibraryRef.h"

class TImageNode;
class TRL8ImageData;
class TRL8Library;

class TLibraryImage {
public:
    enum class SurfaceNeed {
        Required, // no surface raises
        Optional, // no surface leaves Surface() nullptr
    };

    TLibraryImage() = default;
    // Takes image Name (any letter case) from Library and its surface. A name
    // missing from the library raises the library's error; a surface that
    // cannot be made raises RL8Exception "GetImageData: no surface for
    // "NAME"" when Need is Required. Whatever raises, nothing stays taken.
    TLibraryImage(TRL8Library& library, const std::string& name,
                  SurfaceNeed need = SurfaceNeed::Required);
    TLibraryImage(TLibraryImage&& other) noexcept;
    // Gives back what this handle holds, then takes over Other's.
    TLibraryImage& operator=(TLibraryImage&& other) noexcept;
    TLibraryImage(const TLibraryImage&) = delete;
    TLibraryImage& operator=(const TLibraryImage&) = delete;
    ~TLibraryImage() { Reset(); }

    // nullptr when the handle is empty or its library has gone. The node and
    // surface belong to the library.
    TImageNode* Node() const { return library_ ? node_ : nullptr; }
    TRL8ImageData* Surface() const { return library_ ? surface_ : nullptr; }
    TRL8Library* Library() const { return library_.Get(); }
    // Whether an image is held (the library is still there).
    explicit operator bool() const { return library_ && node_; }

    // Gives back the surface, then the image; the handle is empty afterwards.
    void Reset() noexcept;

private:
    TLibraryRef library_;
    TImageNode* node_ = nullptr;
    TRL8ImageData* surface_ = nullptr; // taken from node_; nullptr when none was made
};
