// libpng glue. Errors leave libpng through longjmp, so the functions that
// call setjmp keep only plain locals and objects created before it.
#include "Rl8Png.h"

#include <cstring>
#include <png.h>

namespace {

struct ReadSource {
    const std::string* bytes;
    std::size_t pos;
};

void ReadFromString(png_structp png, png_bytep data, png_size_t length) {
    auto* src = static_cast<ReadSource*>(png_get_io_ptr(png));
    if (src->bytes->size() - src->pos < length)
        png_error(png, "unexpected end of file");
    std::memcpy(data, src->bytes->data() + src->pos, length);
    src->pos += length;
}

void WriteToString(png_structp png, png_bytep data, png_size_t length) {
    static_cast<std::string*>(png_get_io_ptr(png))
        ->append(reinterpret_cast<const char*>(data), length);
}

void FlushNothing(png_structp) {}

void OnError(png_structp png, png_const_charp message) {
    auto* error = static_cast<std::string*>(png_get_error_ptr(png));
    if (error)
        *error = message;
    png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

} // namespace

bool Rl8Png::IsPng(const std::string& bytes) {
    return bytes.size() >= 8 &&
           png_sig_cmp(reinterpret_cast<png_const_bytep>(bytes.data()), 0, 8) == 0;
}

bool Rl8Png::Read(const std::string& bytes, Image& out, std::string& error) {
    if (!IsPng(bytes)) {
        error = "not a PNG file";
        return false;
    }
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &error, OnError, OnWarning);
    if (!png) {
        error = "out of memory";
        return false;
    }
    png_infop info = png_create_info_struct(png);
    ReadSource src{&bytes, 0};
    std::vector<png_bytep> rows;
    out = Image();
    volatile bool ok = false;
    if (info && setjmp(png_jmpbuf(png)) == 0) {
        png_set_read_fn(png, &src, ReadFromString);
        png_read_info(png, info);
        const png_uint_32 w = png_get_image_width(png, info);
        const png_uint_32 h = png_get_image_height(png, info);
        const int colourType = png_get_color_type(png, info);
        const int depth = png_get_bit_depth(png, info);
        if (colourType != PNG_COLOR_TYPE_PALETTE || depth > 8)
            png_error(png, "not an 8-bit indexed PNG");
        if (uint64_t{w} * h > (uint64_t{1} << 32))
            png_error(png, "image too large");
        if (depth < 8)
            png_set_packing(png);
        png_set_interlace_handling(png);
        png_read_update_info(png, info);
        png_colorp plte = nullptr;
        int count = 0;
        png_get_PLTE(png, info, &plte, &count);
        png_bytep alpha = nullptr;
        int alphaCount = 0;
        png_color_16p transColour = nullptr;
        if (png_get_valid(png, info, PNG_INFO_tRNS))
            png_get_tRNS(png, info, &alpha, &alphaCount, &transColour);
        out.Width = w;
        out.Height = h;
        out.Palette.resize(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i)
            out.Palette[static_cast<std::size_t>(i)] = {plte[i].red, plte[i].green, plte[i].blue};
        for (int i = 0; alpha && i < alphaCount; ++i) {
            if (alpha[i] == 0) {
                out.Transparent = i;
                break;
            }
        }
        out.Pixels.resize(std::size_t{w} * h);
        rows.resize(h);
        for (png_uint_32 y = 0; y < h; ++y)
            rows[y] = out.Pixels.data() + std::size_t{y} * w;
        png_read_image(png, rows.data());
        png_read_end(png, nullptr);
        ok = true;
    }
    png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    if (!ok && error.empty())
        error = "damaged PNG file";
    return ok;
}

bool Rl8Png::Write(const Image& image, int level, std::string& bytes, std::string& error) {
    bytes.clear();
    if (image.Width == 0 || image.Height == 0 ||
        image.Pixels.size() < std::size_t{image.Width} * image.Height) {
        error = "empty image";
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &error, OnError, OnWarning);
    if (!png) {
        error = "out of memory";
        return false;
    }
    png_infop info = png_create_info_struct(png);
    std::vector<png_color> plte(256);
    for (std::size_t i = 0; i < 256 && i < image.Palette.size(); ++i)
        plte[i] = png_color{image.Palette[i][0], image.Palette[i][1], image.Palette[i][2]};
    std::vector<png_byte> alpha(256, 255);
    std::vector<png_bytep> rows(image.Height);
    for (uint32_t y = 0; y < image.Height; ++y)
        rows[y] = const_cast<png_bytep>(image.Pixels.data() + std::size_t{y} * image.Width);
    volatile bool ok = false;
    if (info && setjmp(png_jmpbuf(png)) == 0) {
        png_set_write_fn(png, &bytes, WriteToString, FlushNothing);
        png_set_compression_level(png, level);
        png_set_IHDR(png, info, image.Width, image.Height, 8, PNG_COLOR_TYPE_PALETTE,
                     PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_set_PLTE(png, info, plte.data(), 256);
        if (image.Transparent >= 0 && image.Transparent < 256) {
            alpha[static_cast<std::size_t>(image.Transparent)] = 0;
            png_set_tRNS(png, info, alpha.data(), image.Transparent + 1, nullptr);
        }
        png_write_info(png, info);
        png_write_image(png, rows.data());
        png_write_end(png, nullptr);
        ok = true;
    }
    png_destroy_write_struct(&png, info ? &info : nullptr);
    return ok;
}
