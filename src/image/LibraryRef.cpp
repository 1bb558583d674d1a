// The self-clearing library pointer.
#include "image/LibraryRef.h"

#include "image/RL8Library.h"

TLibraryRef::TLibraryRef(TRL8Library* library) {
    Reset(library);
}

TLibraryRef::TLibraryRef(TLibraryRef&& other) noexcept {
    Take(other);
}

TLibraryRef& TLibraryRef::operator=(TLibraryRef&& other) noexcept {
    if (this != &other) {
        Reset();
        Take(other);
    }
    return *this;
}

void TLibraryRef::Reset(TRL8Library* library) {
    if (library == library_)
        return;
    if (library_)
        library_->RemoveReference(&library_);
    library_ = library;
    if (!library)
        return;
    try {
        library->AddReference(&library_);
    } catch (...) {
        library_ = nullptr;
        throw;
    }
}

void TLibraryRef::Take(TLibraryRef& other) noexcept {
    TRL8Library* library = other.library_;
    if (!library)
        return;
    // Removing Other's entry first leaves room in the list for this one, so
    // adding it allocates nothing.
    library->RemoveReference(&other.library_);
    other.library_ = nullptr;
    library_ = library;
    library->AddReference(&library_);
}
