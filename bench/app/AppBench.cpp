// The main window's costs, on the offscreen platform: one 55 ms timer tick of
// the real window in its busiest form (all twenty animations switch, a
// balloon is shown over them, the damage goes through the paint box's image
// and its paint event), and the window's loading (FormCreate). The peer,
// BM_QtFullFrameConvertAndDraw, comes from bench/image.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <cstdlib>

#include "BenchFolders.h"
#include "app/FormGame.h"
#include "scene/Scene.h"
#include "data/InitGame.h"
#include "platform/Files.h"
#include "platform/KeyStore.h"
#include "platform/Tick.h"

namespace {

using Folders = TBenchFolders;

uint32_t fakeNow = 1000000;

void BM_MainWindowTick(benchmark::State& state) {
    Folders folders;
    plat::SetTickSource([] { return fakeNow; });
    TFormGame game;
    game.WindowActive = [] { return true; };
    game.show();
    QCoreApplication::processEvents();
    TScene& scene = *game.Scene();
    // Region 9's balloon lies over animations 8 and 13.
    game.UpdateHover(QPoint(230, 200));
    fakeNow += 600;
    game.tmrAnimTimer();
    QCoreApplication::processEvents();
    scene.Region(9).AnimA->SetHeld(false, fakeNow); // every animation free to switch
    for (auto _ : state) {
        fakeNow += TFormGame::kTimerInterval;
        scene.IdleUntil = fakeNow - 1;
        for (int i = 1; i <= TScene::kAnimCount; ++i) {
            TAnim& a = scene.Anim(i);
            if (a.Timed()) {
                a.NextSwitch = fakeNow;
            } else {
                a.State = static_cast<uint8_t>(1 - a.State); // untimed: switched by hand
                a.Dirty = true;
            }
        }
        scene.Anim(16).State = 0; // 16 switches to 1 first, so 17 switches too
        game.tmrAnimTimer();
        QCoreApplication::processEvents(); // the paint box's paint event
    }
    state.counters["balloon"] = scene.Region(9).BalloonShown ? 1 : 0;
    plat::SetTickSource({});
}
BENCHMARK(BM_MainWindowTick)->Unit(benchmark::kMicrosecond);

void BM_MainWindowLoad(benchmark::State& state) {
    Folders folders;
    for (auto _ : state) {
        TFormGame game;
        benchmark::DoNotOptimize(game.Loaded());
    }
}
BENCHMARK(BM_MainWindowLoad)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
