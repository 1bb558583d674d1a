// The image library: file checks, directory, shared images and surfaces,
// painting and the logical palette.
#include "image/RL8Library.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "image/RL8Exception.h"
#include "platform/BitmapInfo.h"
#include "platform/FileStream.h"
#include "platform/MemoryBlock.h"

namespace {

uint16_t Get16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
uint32_t Get32(const uint8_t* p) {
    return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}

[[noreturn]] void InvalidHeader() {
    throw RL8Exception("Invalid RL8 image header");
}

std::string DoesNotExist(const std::string& name) {
    return "Image \"" + name + "\" does not exist";
}

} // namespace

TRL8Library::TRL8Library(void* /*owner*/) {}

TRL8Library::~TRL8Library() {
    for (TRL8Library** v : references_)
        *v = nullptr;
    references_.clear();
    Close();
}

std::string TRL8Library::LowerName(const std::string& name) {
    std::string s = name;
    for (char& c : s) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return s;
}

void TRL8Library::Open(const std::string& fileName) {
    Close();
    FileName = fileName;
    std::unique_ptr<plat::Stream> s = plat::FileStream::Open(fileName);
    if (!s)
        throw RL8Exception("Open: cannot open " + fileName);
    OpenStream(std::move(s), fileName);
}

void TRL8Library::OpenStream(std::unique_ptr<plat::Stream> stream, const std::string& fileName) {
    Close();
    FileName = fileName;
    stream_ = std::move(stream);
    try {
        uint8_t h[kFileHeaderSize];
        std::vector<uint8_t> pal(kPaletteSize);
        if (!stream_ || !stream_->Seek(0) || !stream_->ReadExact(h, sizeof h) ||
            Get16(h) != 0x4C52 || h[2] != 8 || Get16(h + 4) != 2 ||
            !stream_->ReadExact(pal.data(), pal.size()))
            throw RL8Exception("ValidateRL8FileHeader: header invalid");
        filePalette_ = pal;
        globalPalette_ = std::move(pal);
        GetHPal();
        fileSizeAtOpen_ = stream_->Size();
        BuildDirectory();
    } catch (...) {
        Close();
        throw;
    }
}

void TRL8Library::BuildDirectory() {
    directory_.clear();
    const int64_t size = stream_->Size();
    int64_t p = kFirstRecord;
    while (p < size) {
        uint8_t h[TRL8Image::kHeaderSize];
        if (!stream_->Seek(p) || !stream_->ReadExact(h, sizeof h))
            InvalidHeader();
        std::size_t len = 0;
        while (len < 8 && h[len])
            ++len;
        TRL8Image::CheckHeader(h);
        const uint32_t n = h[12];
        uint8_t last[4];
        if (!stream_->Seek(p + TRL8Image::kHeaderSize + 4 * (n - 1)) ||
            !stream_->ReadExact(last, sizeof last))
            InvalidHeader();
        const uint32_t recordSize = Get32(last);
        // Each segment record holds at least its 3-byte header, and the
        // record must end inside the file (offsets are signed 32-bit).
        if (recordSize < TRL8Image::kHeaderSize + 7 * n || p + recordSize > size ||
            p + recordSize > INT32_MAX)
            InvalidHeader();
        directory_[LowerName(std::string(reinterpret_cast<const char*>(h), len))] =
            static_cast<int32_t>(p);
        p += recordSize;
    }
}

void TRL8Library::Close() {
    // Closing never changes the file: nothing here writes library files.
    images_.Clear();
    directory_.clear();
    palette_.reset();
    globalPalette_.clear();
    filePalette_.clear();
    stream_.reset();
    fileSizeAtOpen_ = 0;
}

int32_t TRL8Library::ImageOffset(const std::string& name) const {
    auto it = directory_.find(LowerName(name));
    return it == directory_.end() ? 0 : it->second;
}

TImageNode* TRL8Library::FindLoaded(const std::string& lowerName) const {
    for (TLumNode* n = images_.Next(nullptr); n; n = images_.Next(n)) {
        auto* node = static_cast<TImageNode*>(n);
        if (node->Name == lowerName)
            return node;
    }
    return nullptr;
}

TImageNode* TRL8Library::GetImage(const std::string& name) {
    const std::string lower = LowerName(name);
    TImageNode* found = FindLoaded(lower);
    if (!found) {
        if (!ImageExists(name) || !stream_)
            throw RL8Exception(DoesNotExist(name));
        auto node = std::make_unique<TImageNode>();
        node->Name = lower;
        if (!stream_->Seek(ImageOffset(name)))
            InvalidHeader();
        node->Image->LoadFromStream(*stream_);
        if (node->Image->State == TRL8Image::kCoded)
            node->Image->DecodeAll();
        found = node.release();
        images_.AddLast(found);
    }
    ++found->UseCount;
    return found;
}

TRL8ImageHeader TRL8Library::ReadImageHeaders(const std::string& name) {
    if (!ImageExists(name) || !stream_)
        throw RL8Exception(DoesNotExist(name));
    uint8_t h[TRL8Image::kHeaderSize];
    if (!stream_->Seek(ImageOffset(name)) || !stream_->ReadExact(h, sizeof h))
        InvalidHeader();
    TRL8Image::CheckHeader(h);
    TRL8ImageHeader header;
    std::memcpy(header.Name, h, sizeof header.Name);
    header.Width = Get16(h + 8);
    header.Height = Get16(h + 10);
    header.SegmentCount = h[12];
    header.State = h[13];
    header.TransparentColour = h[14];
    header.Transparent = h[15];
    header.HeaderVersion = static_cast<int16_t>(Get16(h + 16));
    return header;
}

void TRL8Library::ReleaseImage(TImageNode* node) {
    // Only nodes of this library are counted and freed here; the membership
    // test comes first, as a node that is not in Images may be gone.
    if (!node || !images_.Contains(node))
        return;
    if (node->UseCount > 0)
        --node->UseCount;
    if (node->UseCount == 0)
        images_.Delete(node);
}

void TRL8Library::GetImageSize(const TImageNode* node, uint16_t& width, uint16_t& height) const {
    node->Image->GetSize(width, height);
}

TImageNode* TRL8Library::CreateImage(const std::string& name, uint16_t width, uint16_t height) {
    auto node = std::make_unique<TImageNode>();
    node->Name = LowerName(name);
    node->Image->Initialize("", nullptr, height, width);
    images_.AddLast(node.get());
    return node.release();
}

TRL8ImageData* TRL8Library::GetImageData(TImageNode* node) {
    if (!node)
        return nullptr;
    if (!node->ImageData) {
        node->ImageData = node->Image->CreateImageData(&plat::BitmapInfo::Template());
        if (!node->ImageData)
            return nullptr;
        node->DataUseCount = 0;
    }
    ++node->DataUseCount;
    return node->ImageData.get();
}

void TRL8Library::ReleaseImageData(TImageNode* node) {
    if (!node || !node->ImageData)
        return;
    if (node->DataUseCount > 0)
        --node->DataUseCount;
    if (node->DataUseCount == 0)
        node->Image->FreeImageData(std::move(node->ImageData));
}

void TRL8Library::DrawImage(plat::DrawTarget& dc, TImageNode* node) {
    if (!node)
        return;
    node->Image->DecodeAll();
    PaintImage(dc, 0, 0, node);
}

void TRL8Library::DrawImageAt(plat::DrawTarget& dc, TPoint point, TImageNode* node) {
    if (!node || node->Image->State != TRL8Image::kPlain)
        return;
    PaintImage(dc, point.X, point.Y, node);
}

void TRL8Library::PaintImage(plat::DrawTarget& dc, int32_t x, int32_t y, TImageNode* node) {
    TRL8Image& image = *node->Image;
    const TRL8Banding& b = image.Banding();
    TRL8ImageSegment* segs = image.Segments();
    if (!segs)
        return;
    plat::BitmapInfo info = plat::BitmapInfo::Template();
    info.Width = image.Width;
    int64_t bottom = image.Height;
    for (uint32_t i = 0; i < b.Count; ++i) {
        TRL8ImageSegment& seg = segs[i];
        const uint32_t rows = b.RowsOf(i);
        bottom -= rows; // a band being painted elsewhere still keeps its place
        if (seg.InUse())
            continue;
        seg.SetInUse(true);
        try {
            info.Height = static_cast<int32_t>(rows);
            info.ImageSize = b.Stride * rows;
            const uint8_t* bits = seg.Lock();
            if (bits)
                dc.TransferIndices(x, static_cast<int32_t>(y + bottom), image.Width,
                                   static_cast<int>(rows), 0, 0, bits, info, plat::RasterOp::Copy);
        } catch (...) {
            seg.Unlock();
            seg.SetInUse(false);
            throw;
        }
        seg.Unlock();
        seg.SetInUse(false);
    }
}

std::unique_ptr<plat::LogPalette> TRL8Library::BuildPalette(std::vector<uint8_t>& global,
                                                            const plat::SystemPalette& system) {
    // The temporary block the palette is built in; no memory, no palette.
    auto block = plat::MemoryBlock::Allocate(sizeof(plat::LogPalette), plat::kMemMovable);
    if (!block || global.size() < kPaletteSize)
        return nullptr;
    auto pal = std::make_unique<plat::LogPalette>();
    pal->Version = 0x300;
    pal->Entries = system.Entries;
    int reserved = system.Static ? system.NumColors / 2 : 1;
    reserved = std::clamp(reserved, 0, 128);
    auto setGlobal = [&](int i, const plat::LogPalette::Entry& e) {
        uint8_t* g = &global[static_cast<std::size_t>(i) * 4];
        g[0] = e.Blue;
        g[1] = e.Green;
        g[2] = e.Red;
    };
    for (int i = 0; i < reserved; ++i) {
        setGlobal(i, system.Entries[static_cast<std::size_t>(i)]);
        setGlobal(255 - i, system.Entries[static_cast<std::size_t>(255 - i)]);
    }
    if (255 - reserved >= reserved) {
        for (int i = reserved; i <= 255 - reserved; ++i) {
            const uint8_t* g = &global[static_cast<std::size_t>(i) * 4];
            pal->Entries[static_cast<std::size_t>(i)] =
                plat::LogPalette::Entry{g[2], g[1], g[0], plat::LogPalette::kNoCollapse};
        }
    }
    if (!system.Static) {
        pal->Entries[0] = plat::LogPalette::Entry{0, 0, 0, 0};
        pal->Entries[255] = plat::LogPalette::Entry{255, 255, 255, 0};
    } else {
        for (int i = 0; i < reserved; ++i) {
            pal->Entries[static_cast<std::size_t>(i)].Flags = 0;
            pal->Entries[static_cast<std::size_t>(255 - i)].Flags = 0;
        }
    }
    return pal;
}

const plat::LogPalette* TRL8Library::GetHPal() {
    if (palette_)
        return palette_.get();
    if (globalPalette_.size() < kPaletteSize)
        throw RL8Exception("GetHPal: global palette unavailable");
    palette_ = BuildPalette(globalPalette_, plat::SystemPalette::Current());
    if (!palette_)
        throw RL8Exception("GetHPal: CreatePalette failed");
    return palette_.get();
}

void TRL8Library::AddReference(TRL8Library** variable) {
    if (!variable || *variable != this)
        return;
    if (std::find(references_.begin(), references_.end(), variable) == references_.end())
        references_.push_back(variable);
}

void TRL8Library::RemoveReference(TRL8Library** variable) {
    references_.erase(std::remove(references_.begin(), references_.end(), variable),
                      references_.end());
}
