// One scene frame: 20 transparent sprites of 20 to 80 pixels moved over a
// 550 x 370 work surface (the background restored under each old position,
// the sprite drawn at its new one) and the dirty rectangles shown through the
// Qt drawing target. The peer converts and draws the whole 8-bit frame with
// Qt, as a plain full-frame repaint would.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <cstring>

#include "BenchArt.h"
#include "image/RL8Lib.h"
#include "platform/qt/QtDrawTarget.h"

namespace {

struct Scene {
    TRL8Library lib; // used for its images only (no file)
    TImageNode* background;
    TImageNode* work;
    std::vector<TImageNode*> sprites;
    TRL8ImageData* bg;
    TRL8ImageData* ws;
    std::vector<TRL8ImageData*> ss;
    std::vector<TPoint> at;
    plat::LogPalette palette;

    static void Fill(TRL8ImageData& s, const bench::Art& a) {
        for (int y = 0; y < a.height; ++y) {
            std::memcpy(s.StartLine(0, y), &a.pixels[std::size_t(y) * a.width], a.width);
            s.UnlockSegment(0, y);
        }
    }

    Scene() {
        const bench::Art main = bench::Scene("main", 550, 370, 1);
        background = lib.CreateImage("main", 550, 370);
        work = lib.CreateImage("_work_", 550, 370);
        bg = lib.GetImageData(background);
        ws = lib.GetImageData(work);
        Fill(*bg, main);
        Fill(*ws, main);
        for (int i = 0; i < 20; ++i) {
            const bench::Art a = bench::Sprite("s", static_cast<uint16_t>(20 + (i * 13) % 61),
                                               static_cast<uint16_t>(20 + (i * 29) % 61), i);
            std::string name = "s";
            name += std::to_string(i);
            TImageNode* n = lib.CreateImage(name, a.width, a.height);
            n->Image->Transparent = 1;
            n->Image->TransparentColour = 0;
            TRL8ImageData* s = lib.GetImageData(n);
            Fill(*s, a);
            sprites.push_back(n);
            ss.push_back(s);
            at.push_back(TPoint{(i * 97) % 470, (i * 53) % 290});
        }
        for (int i = 0; i < 256; ++i)
            palette.Entries[std::size_t(i)] = {uint8_t(i), uint8_t(i * 3), uint8_t(255 - i), 0};
    }
};

void BM_SceneFrame(benchmark::State& state) {
    Scene sc;
    QImage screen(550, 370, QImage::Format_RGB32);
    screen.fill(Qt::black);
    plat::QtDrawTarget dc(screen);
    dc.SelectPalette(&sc.palette);
    dc.RealizePalette();
    int frame = 0;
    for (auto _ : state) {
        ++frame;
        for (std::size_t i = 0; i < sc.ss.size(); ++i) {
            TRL8ImageData& s = *sc.ss[i];
            const TRect old{sc.at[i].X, sc.at[i].Y, sc.at[i].X + s.Width, sc.at[i].Y + s.Height};
            sc.ws->Draw(sc.at[i], *sc.bg, old);
            sc.at[i].X = (sc.at[i].X + 3 + int(i % 3)) % 500;
            sc.at[i].Y = (sc.at[i].Y + 1 + int(i % 2)) % 300;
            sc.ws->Draw(sc.at[i], s, s.GetBounds());
        }
        sc.ws->DisplayDamage(dc, TPoint{0, 0});
        benchmark::DoNotOptimize(screen.constBits());
    }
    state.counters["frames"] = frame;
}
BENCHMARK(BM_SceneFrame)->Unit(benchmark::kMicrosecond);

void BM_QtFullFrameConvertAndDraw(benchmark::State& state) {
    const bench::Art main = bench::Scene("main", 550, 370, 1);
    QImage indexed(550, 370, QImage::Format_Indexed8);
    for (int y = 0; y < 370; ++y)
        std::memcpy(indexed.scanLine(y), &main.pixels[std::size_t(y) * 550], 550);
    QVector<QRgb> table(256);
    for (int i = 0; i < 256; ++i)
        table[i] = qRgb(i, (i * 3) & 255, 255 - i);
    indexed.setColorTable(table);
    QImage screen(550, 370, QImage::Format_RGB32);
    for (auto _ : state) {
        QImage rgb = indexed.convertToFormat(QImage::Format_RGB32);
        QPainter p(&screen);
        p.drawImage(0, 0, rgb);
        p.end();
        benchmark::DoNotOptimize(screen.constBits());
    }
}
BENCHMARK(BM_QtFullFrameConvertAndDraw)->Unit(benchmark::kMicrosecond);

} // namespace
