// One open image-library file: its palette, the directory of its image
// records, the images loaded from it (shared by reference counting) and their
// surfaces. Pixel values index the library palette; GetHPal gives the logical
// palette that every window selects before painting library images.
#pragma once
#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "image/ImageList.h"
#include "image/RL8ImageHeader.h"
#include "platform/DrawTarget.h"
#include "platform/LogPalette.h"
#include "platform/Point.h"
#include "platform/Stream.h"
#include "platform/SystemPalette.h"

class TRL8Library {
public:
    static constexpr std::size_t kFileHeaderSize = 6;
    static constexpr std::size_t kPaletteSize = 1024; // 256 x blue, green, red, reserved
    static constexpr int64_t kFirstRecord = 1030;

    // Owner is the window that owns the library, if any (not used here).
    explicit TRL8Library(void* owner = nullptr);
    // Sets every registered variable to nullptr, then closes.
    ~TRL8Library();
    TRL8Library(const TRL8Library&) = delete;
    TRL8Library& operator=(const TRL8Library&) = delete;

    std::string FileName;

    // Closes, then opens FileName: checks the header, reads the palette,
    // builds the logical palette and the directory. Failures close again and
    // raise (a missing file: "Open: cannot open FILE").
    void Open(const std::string& fileName);
    // The same over an already open stream (the library takes it).
    void OpenStream(std::unique_ptr<plat::Stream> stream, const std::string& fileName);
    // Frees every loaded image whatever its counts, the directory and the
    // palettes, and closes the file.
    void Close();
    bool IsOpen() const { return stream_ != nullptr; }

    // The loaded image of that name (any letter case), loading and decoding
    // it first when needed; UseCount + 1.
    TImageNode* GetImage(const std::string& name);
    // UseCount - 1; at 0 the node and its surface and image are freed. A
    // node that is not among this library's images (freed by Close, or
    // another library's) is left alone.
    void ReleaseImage(TImageNode* node);
    bool ImageExists(const std::string& name) const { return ImageOffset(name) > 0; }
    // File offset of the image record; 0 when absent.
    int32_t ImageOffset(const std::string& name) const;
    void GetImageSize(const TImageNode* node, uint16_t& width, uint16_t& height) const;
    // A new blank in-memory image (every pixel 0), appended with UseCount 0.
    TImageNode* CreateImage(const std::string& name, uint16_t width, uint16_t height);
    // The image's surface, made on first use; DataUseCount + 1. nullptr when
    // no surface can be made.
    TRL8ImageData* GetImageData(TImageNode* node);
    void ReleaseImageData(TImageNode* node);
    // Paints the whole image with its top-left at (0, 0) or at Point.
    void DrawImage(plat::DrawTarget& dc, TImageNode* node);
    void DrawImageAt(plat::DrawTarget& dc, TPoint point, TImageNode* node);
    // The logical palette, built once from the file palette.
    const plat::LogPalette* GetHPal();

    // Variables that point at this library; each is cleared when it goes.
    void AddReference(TRL8Library** variable);
    void RemoveReference(TRL8Library** variable);

    // The header of a directory entry, read without loading its pixels.
    // Raises as GetImage does for a missing name or a bad header.
    TRL8ImageHeader ReadImageHeaders(const std::string& name);

    // Lower-case name -> record offset, sorted by name.
    const std::map<std::string, int32_t>& Directory() const { return directory_; }
    // The palette as stored in the file (blue, green, red, reserved); empty
    // when closed.
    const std::vector<uint8_t>& FilePalette() const { return filePalette_; }
    // The palette GetHPal works on (the file palette with the system colours
    // written into it); empty when closed.
    const std::vector<uint8_t>& GlobalPalette() const { return globalPalette_; }
    TImageList& Images() { return images_; }

    // The logical palette GetHPal builds from Global (changing its entries as
    // described there) for a screen that reports System.
    static std::unique_ptr<plat::LogPalette> BuildPalette(std::vector<uint8_t>& global,
                                                          const plat::SystemPalette& system);
    // Lower-cases the letters A-Z only.
    static std::string LowerName(const std::string& name);

private:
    void BuildDirectory();
    TImageNode* FindLoaded(const std::string& lowerName) const;
    void PaintImage(plat::DrawTarget& dc, int32_t x, int32_t y, TImageNode* node);

    TImageList images_;
    std::vector<uint8_t> globalPalette_;
    std::vector<uint8_t> filePalette_;
    std::unique_ptr<plat::LogPalette> palette_;
    std::map<std::string, int32_t> directory_;
    std::unique_ptr<plat::Stream> stream_;
    int64_t fileSizeAtOpen_ = 0;
    std::vector<TRL8Library**> references_;
};
