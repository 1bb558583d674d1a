// libpng reading and writing of palette images.
#include "IndexedPng.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <vector>

#include "platform/Files.h"

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const {
        if (f)
            std::fclose(f);
    }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

void PngWarning(png_structp, png_const_charp) {}

void AppendToString(png_structp png, png_bytep data, png_size_t size) {
    auto* out = static_cast<std::string*>(png_get_io_ptr(png));
    out->append(reinterpret_cast<const char*>(data), size);
}
void NoFlush(png_structp) {}

} // namespace

void TIndexedPng::Write(const std::string& path, const TIndexedImage& img, const TArtPalette& pal) {
    if (img.width <= 0 || img.height <= 0)
        throw std::runtime_error(path + ": empty image");
    std::string bytes;
    png_color colours[256];
    for (int i = 0; i < 256; ++i) {
        const auto& e = pal.Entry(i);
        colours[i] = {png_byte(e.r), png_byte(e.g), png_byte(e.b)};
    }
    png_byte alpha[256];
    for (int i = 0; i < 256; ++i)
        alpha[i] = 255;
    alpha[img.key] = 0;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, PngWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        throw std::runtime_error(path + ": out of memory");
    }
    // libpng reports errors by longjmp; nothing with a destructor is created
    // between here and the end of the writing.
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        throw std::runtime_error(path + ": PNG encoding failed");
    }
    {
        png_set_write_fn(png, &bytes, AppendToString, NoFlush);
        png_set_compression_level(png, 9);
        png_set_IHDR(png, info, img.width, img.height, 8, PNG_COLOR_TYPE_PALETTE,
                     PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_set_PLTE(png, info, colours, 256);
        if (img.transparent)
            png_set_tRNS(png, info, alpha, img.key + 1, nullptr);
        png_write_info(png, info);
        for (int y = 0; y < img.height; ++y)
            png_write_row(png, &img.pixels[std::size_t(y) * img.width]);
        png_write_end(png, nullptr);
    }
    png_destroy_write_struct(&png, &info);
    if (!plat::WriteFileAtomic(path, bytes))
        throw std::runtime_error(path + ": cannot write");
}

TIndexedImage TIndexedPng::Read(const std::string& path) {
    FilePtr f(std::fopen(path.c_str(), "rb"));
    if (!f)
        throw std::runtime_error(path + ": cannot read");
    TIndexedImage img;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, PngWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        throw std::runtime_error(path + ": out of memory");
    }
    volatile bool wrongKind = false;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        throw std::runtime_error(path + ": damaged PNG file");
    }
    {
        png_init_io(png, f.get());
        png_read_info(png, info);
        if (png_get_color_type(png, info) != PNG_COLOR_TYPE_PALETTE ||
            png_get_bit_depth(png, info) != 8 ||
            png_get_interlace_type(png, info) != PNG_INTERLACE_NONE)
            wrongKind = true;
    }
    if (!wrongKind) {
        img = TIndexedImage(int(png_get_image_width(png, info)),
                            int(png_get_image_height(png, info)));
        png_bytep trans = nullptr;
        int transCount = 0;
        if (png_get_tRNS(png, info, &trans, &transCount, nullptr) & PNG_INFO_tRNS)
            for (int i = 0; i < transCount; ++i)
                if (trans[i] == 0) {
                    img.transparent = true;
                    img.key = std::uint8_t(i);
                    break;
                }
        for (int y = 0; y < img.height; ++y)
            png_read_row(png, &img.pixels[std::size_t(y) * img.width], nullptr);
    }
    png_destroy_read_struct(&png, &info, nullptr);
    if (wrongKind)
        throw std::runtime_error(path + ": not an 8-bit palette PNG");
    return img;
}
