// fbwtool rl8: list, export, pack and show the palette of image libraries.
#include <cstdio>
#include <cstring>
#include <memory>
#include <set>
#include <sstream>
#include <stdexcept>

#include "Command.h"
#include "Rl8Png.h"
#include "image/LibraryImage.h"
#include "image/RL8FileWriter.h"
#include "image/RL8Lib.h"
#include "platform/Files.h"
#include "platform/MemoryStream.h"

namespace {

std::string ReadFile(const std::string& path) {
    std::string bytes;
    if (!plat::ReadWholeFile(path, bytes))
        throw std::runtime_error("cannot read " + path);
    return bytes;
}

std::vector<std::array<uint8_t, 3>> RgbPalette(const std::vector<uint8_t>& bgrx) {
    std::vector<std::array<uint8_t, 3>> rgb(256);
    for (std::size_t i = 0; i < 256 && i * 4 + 3 < bgrx.size(); ++i)
        rgb[i] = {bgrx[i * 4 + 2], bgrx[i * 4 + 1], bgrx[i * 4]};
    return rgb;
}

void WritePng(const Rl8Png::Image& image, const std::string& path) {
    std::string bytes, error;
    if (!Rl8Png::Write(image, 9, bytes, error))
        throw std::runtime_error(path + ": " + error);
    if (!plat::WriteFileAtomic(path, bytes, &error))
        throw std::runtime_error("cannot write " + path + ": " + error);
}

int RunList(const Args& args) {
    if (args.size() != 1)
        return Fail("usage: fbwtool rl8 list FILE");
    TRL8Library lib;
    lib.Open(args[0]);
    for (const auto& [name, offset] : lib.Directory()) {
        const TRL8ImageHeader image = lib.ReadImageHeaders(name);
        std::string transparent =
            image.Transparent ? std::to_string(image.TransparentColour) : std::string("none");
        std::printf("%s %ux%u segments=%u state=%u transparent=%s\n", name.c_str(),
                    unsigned{image.Width}, unsigned{image.Height}, unsigned{image.SegmentCount},
                    unsigned{image.State}, transparent.c_str());
    }
    return 0;
}

int RunExport(const Args& given) {
    Args args = given;
    const bool raw = TakeFlag(args, "--raw");
    if (args.size() != 3)
        return Fail("usage: fbwtool rl8 export FILE NAME OUT.png [--raw]");
    TRL8Library lib;
    lib.Open(args[0]);
    const TLibraryImage image(lib, args[1], TLibraryImage::SurfaceNeed::Optional);
    TRL8ImageData* surface = image.Surface();
    if (!surface)
        return Fail("cannot make the surface of \"" + args[1] + "\"");
    const TRL8Image& picture = *image.Node()->Image;
    Rl8Png::Image png;
    png.Width = surface->Width;
    png.Height = surface->Height;
    png.Pixels = surface->CopyPixels();
    png.Palette = RgbPalette(lib.FilePalette());
    png.Transparent = picture.Transparent ? picture.TransparentColour : -1;
    if (raw) {
        std::string why;
        if (!plat::WriteFileAtomic(args[2], std::string(png.Pixels.begin(), png.Pixels.end()),
                                   &why))
            return Fail("cannot write " + args[2] + ": " + why);
        return 0;
    }
    WritePng(png, args[2]);
    return 0;
}

// PALETTE: an .rl8 library, an indexed PNG, or 256 text lines "R G B".
std::vector<uint8_t> LoadPalette(const std::string& path) {
    const std::string bytes = ReadFile(path);
    std::vector<uint8_t> bgrx(1024, 0);
    if (Rl8Png::IsPng(bytes)) {
        Rl8Png::Image png;
        std::string error;
        if (!Rl8Png::Read(bytes, png, error))
            throw std::runtime_error(path + ": " + error);
        for (std::size_t i = 0; i < png.Palette.size() && i < 256; ++i) {
            bgrx[i * 4] = png.Palette[i][2];
            bgrx[i * 4 + 1] = png.Palette[i][1];
            bgrx[i * 4 + 2] = png.Palette[i][0];
        }
        return bgrx;
    }
    if (bytes.size() >= 2 && bytes[0] == 'R' && bytes[1] == 'L') {
        TRL8Library lib;
        lib.OpenStream(std::make_unique<plat::MemoryStream>(bytes), path);
        return lib.FilePalette();
    }
    std::istringstream in(bytes);
    std::string line;
    int count = 0, lineNo = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.find_first_not_of(" \t") == std::string::npos || line[0] == '#')
            continue;
        std::istringstream fields(line);
        int r, g, b;
        std::string extra;
        if (!(fields >> r >> g >> b) || (fields >> extra) || r < 0 || r > 255 || g < 0 || g > 255 ||
            b < 0 || b > 255)
            throw std::runtime_error(path + ":" + std::to_string(lineNo) +
                                     ": expected \"R G B\" with values 0 to 255");
        if (count == 256)
            throw std::runtime_error(path + ": more than 256 colours");
        bgrx[static_cast<std::size_t>(count) * 4] = static_cast<uint8_t>(b);
        bgrx[static_cast<std::size_t>(count) * 4 + 1] = static_cast<uint8_t>(g);
        bgrx[static_cast<std::size_t>(count) * 4 + 2] = static_cast<uint8_t>(r);
        ++count;
    }
    if (count != 256)
        throw std::runtime_error(path + ": a palette file has 256 lines \"R G B\", found " +
                                 std::to_string(count));
    return bgrx;
}

struct PackItem {
    std::string name;
    std::string file;
    int transparent = -2; // -2: from the PNG, -1: none, else the index
};

PackItem ParseItem(const std::string& arg) {
    PackItem item;
    std::string rest = arg;
    const auto colon = rest.rfind(":t=");
    if (colon != std::string::npos) {
        const std::string t = rest.substr(colon + 3);
        if (t == "none") {
            item.transparent = -1;
        } else {
            if (t.empty() || t.size() > 3 ||
                t.find_first_not_of("0123456789") != std::string::npos || std::stoi(t) > 255)
                throw std::runtime_error(arg + ": :t= takes an index 0 to 255 or none");
            item.transparent = std::stoi(t);
        }
        rest.resize(colon);
    }
    const auto eq = rest.find('=');
    if (eq != std::string::npos && rest.substr(0, eq).find('/') == std::string::npos) {
        item.name = rest.substr(0, eq);
        rest = rest.substr(eq + 1);
    } else {
        std::string base = rest.substr(
            rest.find_last_of('/') == std::string::npos ? 0 : rest.find_last_of('/') + 1);
        const auto dot = base.find_last_of('.');
        item.name = dot == std::string::npos || dot == 0 ? base : base.substr(0, dot);
    }
    item.file = rest;
    if (item.name.empty() || item.name.size() > 8)
        throw std::runtime_error(arg + ": image names have 1 to 8 characters (\"" + item.name +
                                 "\")");
    for (unsigned char c : item.name) {
        if (c < 33 || c > 126)
            throw std::runtime_error(arg + ": image names are printable ASCII without spaces");
    }
    return item;
}

int RunPack(const Args& given) {
    Args args = given;
    std::string palettePath;
    if (!TakeOption(args, "--palette", palettePath) || args.size() < 2)
        return Fail("usage: fbwtool rl8 pack OUT.rl8 --palette PALETTE IMAGE...");
    const std::string out = args[0];
    TRL8FileWriter writer(LoadPalette(palettePath));
    std::set<std::string> names;
    std::vector<std::vector<uint8_t>> expected; // top-down pixels, for the check below
    std::vector<std::string> order;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const PackItem item = ParseItem(args[i]);
        const std::string lower = TRL8Library::LowerName(item.name);
        if (!names.insert(lower).second)
            throw std::runtime_error("image name \"" + item.name + "\" given twice");
        Rl8Png::Image png;
        std::string error;
        if (!Rl8Png::Read(ReadFile(item.file), png, error))
            throw std::runtime_error(item.file + ": " + error);
        const TRL8Banding b = TRL8Banding::Compute(png.Width, png.Height);
        if (png.Width > 0xFFFF || png.Height > 0xFFFF || !b.Valid)
            throw std::runtime_error(item.file + ": " + std::to_string(png.Width) + "x" +
                                     std::to_string(png.Height) +
                                     " is too large for an image library");
        // Bottom-up rows of Stride bytes, as the coder takes them.
        std::string rows(std::size_t{b.Stride} * png.Height, '\0');
        for (uint32_t y = 0; y < png.Height; ++y)
            std::memcpy(&rows[std::size_t{png.Height - 1 - y} * b.Stride],
                        &png.Pixels[std::size_t{y} * png.Width], png.Width);
        plat::MemoryStream source(std::move(rows));
        TRL8Image image;
        image.Initialize(item.name, &source, static_cast<uint16_t>(png.Height),
                         static_cast<uint16_t>(png.Width));
        const int t = item.transparent == -2 ? png.Transparent : item.transparent;
        image.Transparent = t >= 0 ? 1 : 0;
        image.TransparentColour = t >= 0 ? static_cast<uint8_t>(t) : 0;
        writer.AddImage(image);
        expected.push_back(std::move(png.Pixels));
        order.push_back(lower);
    }

    // Read the new library back and compare every pixel before replacing OUT.
    TRL8Library check;
    check.OpenStream(std::make_unique<plat::MemoryStream>(writer.Bytes()), out);
    for (std::size_t i = 0; i < order.size(); ++i) {
        const TLibraryImage image(check, order[i], TLibraryImage::SurfaceNeed::Optional);
        TRL8ImageData* s = image.Surface();
        if (!s || s->CopyPixels() != expected[i])
            throw std::runtime_error("internal error: \"" + order[i] + "\" does not read back");
    }
    if (!writer.Save(out))
        return Fail("cannot write " + out);
    return 0;
}

int RunPalette(const Args& args) {
    if (args.size() != 2)
        return Fail("usage: fbwtool rl8 palette FILE OUT.png");
    TRL8Library lib;
    lib.Open(args[0]);
    Rl8Png::Image png;
    constexpr uint32_t kCell = 16;
    png.Width = png.Height = 16 * kCell;
    png.Pixels.resize(std::size_t{png.Width} * png.Height);
    for (uint32_t y = 0; y < png.Height; ++y)
        for (uint32_t x = 0; x < png.Width; ++x)
            png.Pixels[std::size_t{y} * png.Width + x] =
                static_cast<uint8_t>((y / kCell) * 16 + x / kCell);
    png.Palette = RgbPalette(lib.FilePalette());
    WritePng(png, args[1]);
    return 0;
}

int RunRl8(const Args& args) {
    if (args.empty())
        return Fail("usage: fbwtool rl8 list|export|pack|palette ... (see fbwtool --help)");
    const Args rest(args.begin() + 1, args.end());
    if (args[0] == "list")
        return RunList(rest);
    if (args[0] == "export")
        return RunExport(rest);
    if (args[0] == "pack")
        return RunPack(rest);
    if (args[0] == "palette")
        return RunPalette(rest);
    return Fail("unknown rl8 command \"" + args[0] + "\" (list, export, pack or palette)");
}

RegisterCommand
    rl8Cmd({"rl8",
            "  fbwtool rl8 list FILE\n"
            "      one line per image: NAME WIDTHxHEIGHT segments=N state=S transparent=C|none\n"
            "  fbwtool rl8 export FILE NAME OUT.png [--raw]\n"
            "      the decoded image as an 8-bit indexed PNG with the library palette (the\n"
            "      transparent colour marked transparent); --raw writes width x height bytes,\n"
            "      top row first\n"
            "  fbwtool rl8 pack OUT.rl8 --palette PALETTE IMAGE...\n"
            "      build a library from 8-bit indexed PNGs; pixel values are library palette\n"
            "      indices. IMAGE is FILE.png (named after the file) or NAME=FILE.png, with\n"
            "      :t=INDEX or :t=none appended to set the transparent colour (default: the\n"
            "      PNG's first fully transparent index). Names have at most 8 characters.\n"
            "      PALETTE is an .rl8 library (its palette is copied), an indexed PNG (its\n"
            "      palette, padded with black to 256) or a text file of 256 lines \"R G B\"\n"
            "      (decimal 0-255; blank lines and lines starting with # are skipped)\n"
            "  fbwtool rl8 palette FILE OUT.png\n"
            "      a 16 x 16 swatch of the library palette",
            RunRl8});

} // namespace
