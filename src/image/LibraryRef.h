// A pointer to an image library that the library clears when it is destroyed:
// the holder can always tell whether its library is still there. The pointer
// is kept on the library's reference list under its own address, so the type
// is move-only and a move hands the registration over to the new object.
#pragma once

class TRL8Library;

class TLibraryRef {
public:
    constexpr TLibraryRef() noexcept = default;
    // Registers with Library; nullptr gives an empty reference.
    explicit TLibraryRef(TRL8Library* library);
    // Other is left empty. Never raises: the registration moves into the slot
    // of the library's list that Other gives up.
    TLibraryRef(TLibraryRef&& other) noexcept;
    TLibraryRef& operator=(TLibraryRef&& other) noexcept;
    TLibraryRef(const TLibraryRef&) = delete;
    TLibraryRef& operator=(const TLibraryRef&) = delete;
    ~TLibraryRef() { Reset(); }

    // The library; nullptr when none was set or once it has been destroyed.
    TRL8Library* Get() const { return library_; }
    TRL8Library* operator->() const { return library_; }
    TRL8Library& operator*() const { return *library_; }
    explicit operator bool() const { return library_ != nullptr; }

    // Leaves the current library's list and joins Library's (nullptr: none).
    // Setting the library already held changes nothing.
    void Reset(TRL8Library* library = nullptr);

private:
    void Take(TLibraryRef& other) noexcept;

    TRL8Library* library_ = nullptr; // on library_'s reference list while set
};
