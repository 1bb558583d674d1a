// artbuild: renders the game's SVG art to 8-bit palette PNG files (and the
// cursors and desktop icons to 32-bit PNGs), builds the scene pictures and
// the review sheet.
#include <QGuiApplication>
#include <QImage>
#include <QString>
#include <cstdio>
#include <exception>
#include <fstream>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "ArtPalette.h"
#include "ContactSheet.h"
#include "ImageMapper.h"
#include "IndexedPng.h"
#include "SceneBuilder.h"
#include "SvgSource.h"
#include "platform/Files.h"

namespace {

const char kUsage[] =
    "usage:\n"
    "  artbuild image --palette PAL SRC.svg WIDTH HEIGHT OUT.png [transparent] [dither]\n"
    "  artbuild cursor SRC.svg SIZE OUT.png\n"
    "  artbuild icon SRC.svg SIZE OUT.png    (a desktop icon: 32-bit like a cursor)\n"
    "  artbuild glyph SRC.svg WIDTH HEIGHT OUT.png   (a button glyph: 32-bit)\n"
    "  artbuild scene --palette PAL SCENE.svg BALLOONS.svg OUTDIR\n"
    "  artbuild sheet ARTDIR CURSORDIR OUT.png\n"
    "  artbuild pixels IN.png OUT.bin   (\"W H TRANSPARENT KEY\\n\" then the indices)\n";

int Usage() {
    std::fputs(kUsage, stderr);
    return 2;
}

int ToSize(const std::string& s) {
    int v = 0;
    for (char c : s) {
        if (c < '0' || c > '9' || v > 4096)
            throw std::runtime_error("bad size \"" + s + "\"");
        v = v * 10 + (c - '0');
    }
    if (v <= 0 || v > 4096)
        throw std::runtime_error("bad size \"" + s + "\" (1 to 4096 pixels)");
    return v;
}

// Takes "--palette PATH" from args.
TArtPalette TakePalette(std::vector<std::string>& args) {
    for (std::size_t i = 0; i + 1 < args.size(); ++i)
        if (args[i] == "--palette") {
            TArtPalette pal = TArtPalette::Load(args[i + 1]);
            args.erase(args.begin() + long(i), args.begin() + long(i) + 2);
            return pal;
        }
    throw std::runtime_error("--palette PAL is required");
}

int CmdImage(std::vector<std::string> args) {
    const TArtPalette pal = TakePalette(args);
    if (args.size() < 4 || args.size() > 6)
        return Usage();
    bool transparent = false, dither = false;
    for (std::size_t i = 4; i < args.size(); ++i) {
        if (args[i] == "transparent")
            transparent = true;
        else if (args[i] == "dither")
            dither = true;
        else
            throw std::runtime_error("unknown option \"" + args[i] + "\"");
    }
    const TSvgSource src(args[0]);
    const TIndexedImage img =
        TImageMapper::Map(src.Render(ToSize(args[1]), ToSize(args[2])), pal, transparent, dither);
    TIndexedPng::Write(args[3], img, pal);
    return 0;
}

void SaveQImage(const QImage& img, const std::string& path) {
    const std::string tmp = path + ".part";
    if (!img.save(QString::fromStdString(tmp), "PNG") ||
        std::rename(tmp.c_str(), path.c_str()) != 0)
        throw std::runtime_error(path + ": cannot write");
}

int CmdCursor(const std::vector<std::string>& args) {
    if (args.size() != 3)
        return Usage();
    const int size = ToSize(args[1]);
    QImage img = TSvgSource(args[0]).Render(size, size).convertToFormat(QImage::Format_ARGB32);
    SaveQImage(img, args[2]);
    return 0;
}

// A button glyph: the normal and the disabled state side by side, 32-bit.
int CmdGlyph(const std::vector<std::string>& args) {
    if (args.size() != 4)
        return Usage();
    const int w = ToSize(args[1]), h = ToSize(args[2]);
    QImage img = TSvgSource(args[0]).Render(w, h).convertToFormat(QImage::Format_ARGB32);
    SaveQImage(img, args[3]);
    return 0;
}

int CmdScene(std::vector<std::string> args) {
    const TArtPalette pal = TakePalette(args);
    if (args.size() != 3)
        return Usage();
    const auto pics = TSceneBuilder::Build(args[0], args[1], pal);
    const std::string dir = args[2] + "/";
    TIndexedPng::Write(dir + "main.png", pics.main, pal);
    TIndexedPng::Write(dir + "animsrc.png", pics.animsrc, pal);
    TIndexedPng::Write(dir + "speech.png", pics.speech, pal);
    return 0;
}

int CmdSheet(const std::vector<std::string>& args) {
    if (args.size() != 3)
        return Usage();
    SaveQImage(TContactSheet::Render(args[0], args[1]), args[2]);
    return 0;
}

int CmdPixels(const std::vector<std::string>& args) {
    if (args.size() != 2)
        return Usage();
    const TIndexedImage img = TIndexedPng::Read(args[0]);
    std::string out = std::to_string(img.width) + " " + std::to_string(img.height) + " " +
                      (img.transparent ? "1 " : "0 ") + std::to_string(int(img.key)) + "\n";
    out.append(reinterpret_cast<const char*>(img.pixels.data()), img.pixels.size());
    if (!plat::WriteFileAtomic(args[1], out))
        throw std::runtime_error(args[1] + ": cannot write");
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    // Fonts need a GUI application; no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        // A private runtime folder keeps Qt from warning about a missing one.
        const std::string dir = "/tmp/artbuild-runtime-" + std::to_string(getuid());
        mkdir(dir.c_str(), 0700);
        qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(dir));
    }
    QGuiApplication app(argc, argv);
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty())
        return Usage();
    const std::string cmd = args.front();
    args.erase(args.begin());
    try {
        if (cmd == "image")
            return CmdImage(args);
        if (cmd == "cursor" || cmd == "icon")
            return CmdCursor(args);
        if (cmd == "glyph")
            return CmdGlyph(args);
        if (cmd == "scene")
            return CmdScene(args);
        if (cmd == "sheet")
            return CmdSheet(args);
        if (cmd == "pixels")
            return CmdPixels(args);
        return Usage();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "artbuild %s: %s\n", cmd.c_str(), e.what());
        return 1;
    }
}
