// Speed of "My stories" on the offscreen platform, with the real game
// library, over a stories folder of 1,000 saved stories and 200 picture
// books, each against a QFileDialog on the same folder in the same run:
//   Open/WxH: the shelf made, shown and its first screen of cards painted
//       (the folder listed, every title read, the tales' pictures taken from
//       the library). Peer: a QFileDialog (Qt's own, detail view) made and
//       shown on the folder until the folder is loaded and painted.
//   Scroll/WxH: one screen further down the cards, painted; back to the
//       top after the end. Peer: the file dialog's list scrolled a screen.
// Counter "picture loads": the library's tale pictures taken per open (at
// most one for each tale). Targets: 200 ms to open, 16 ms a screen.
// Run: build/bench/book/bench_shelf
#include <benchmark/benchmark.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QScrollBar>
#include <QTreeView>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "BenchFolders.h"
#include "app/FormGame.h"
#include "book/DatedName.h"
#include "book/StoryText.h"
#include "book/forms/FormShelf.h"
#include "platform/Files.h"
#include "platform/qt/Latin1.h"
#include "story/TaleTable.h"

namespace {

// Counts paint events of a widget.
class PaintCount : public QObject {
public:
    explicit PaintCount(QWidget& w) { w.installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint)
            ++count;
        return false;
    }
};

// Runs the event loop until Done.
template <class Done> void Until(Done done) {
    for (int guard = 0; !done() && guard < 100000; ++guard)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

class Shelf {
public:
    Shelf() {
        game_ = std::make_unique<TFormGame>();
        folder_ = folders_.Install() + "Fablewhirl Stories/";
        std::filesystem::create_directories(folder_);
        const int64_t now = 1800000000LL * 1000000000LL;
        const int64_t hour = 3600LL * 1000000000LL;
        for (int i = 0; i < 1200; ++i) {
            const int64_t t = now - i * hour;
            const std::string tale = TTaleTable::ShortName(1 + i % 10);
            const bool book = i % 6 == 5; // 200 books
            const std::string title = (book ? "Pictures of story " : "Story ") + std::to_string(i);
            const std::string bytes =
                book ? "%PDF-1.4\n1 0 obj\n<<\n/Title (" + title + ")\n>>\nendobj\n"
                     : MakeSavedStoryFile(title + "\\n\\nOnce upon a time there was a tale told "
                                                  "by a child, and it went on for a while.");
            const std::string name =
                TDatedName::Make(tale, TDatedName::LocalMoment(t), book ? ".pdf" : ".txt");
            plat::WriteFileAtomic(folder_ + name, bytes);
            plat::SetFileModTime(folder_ + name, t);
        }
    }
    ~Shelf() { game_.reset(); }
    TRL8Library& library() { return *game_->Library(); }
    const std::string& folder() const { return folder_; }

private:
    TBenchFolders folders_;
    std::unique_ptr<TFormGame> game_;
    std::string folder_;
};

std::unique_ptr<Shelf> theShelf;

Shelf& TheShelf() {
    if (!theShelf)
        theShelf = std::make_unique<Shelf>();
    return *theShelf;
}

std::unique_ptr<QFileDialog> MakeDialog(int w, int h) {
    auto dlg = std::make_unique<QFileDialog>(nullptr, "Open", ToQString(TheShelf().folder()));
    dlg->setOption(QFileDialog::DontUseNativeDialog);
    dlg->setViewMode(QFileDialog::Detail);
    dlg->resize(w, h);
    return dlg;
}

void BM_Open(benchmark::State& state) {
    Shelf& s = TheShelf();
    const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
    int loads = 0, rows = 0;
    for (auto _ : state) {
        TFormShelf shelf(s.folder(), 0, s.library());
        PaintCount painted(*shelf.lstStories.viewport());
        shelf.resize(w, h);
        shelf.show();
        Until([&] { return painted.count > 0; });
        loads = shelf.ThumbnailLoads();
        rows = shelf.Model().rowCount();
        state.PauseTiming();
        shelf.hide();
        state.ResumeTiming();
    }
    state.counters["picture loads"] = loads;
    state.counters["cards"] = rows;
}

void BM_OpenPeer(benchmark::State& state) {
    const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
    int rows = 0;
    for (auto _ : state) {
        auto dlg = MakeDialog(w, h);
        auto* view = dlg->findChild<QTreeView*>("treeView");
        auto* model = dlg->findChild<QFileSystemModel*>();
        bool loaded = false;
        QObject::connect(model, &QFileSystemModel::directoryLoaded, dlg.get(),
                         [&] { loaded = true; });
        PaintCount painted(*view->viewport());
        dlg->show();
        int before = 0;
        Until([&] {
            if (!loaded)
                before = painted.count;
            return loaded && painted.count > before;
        });
        rows = model->rowCount(view->rootIndex());
        state.PauseTiming();
        dlg.reset();
        state.ResumeTiming();
    }
    state.counters["rows"] = rows;
}

// Scrolls View a screen down (to the top after the end) and waits for the
// paint.
void ScrollScreens(benchmark::State& state, QAbstractItemView& view) {
    PaintCount painted(*view.viewport());
    QScrollBar& bar = *view.verticalScrollBar();
    int screens = 0;
    for (auto _ : state) {
        const int next = bar.value() >= bar.maximum() ? 0 : bar.value() + bar.pageStep();
        const int before = painted.count;
        bar.setValue(next);
        Until([&] { return painted.count > before; });
        ++screens;
    }
    state.counters["screens to the end"] = double(bar.maximum()) / std::max(1, bar.pageStep());
}

void BM_Scroll(benchmark::State& state) {
    Shelf& s = TheShelf();
    TFormShelf shelf(s.folder(), 0, s.library());
    shelf.resize(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    shelf.show();
    QCoreApplication::processEvents();
    ScrollScreens(state, shelf.lstStories);
    state.counters["picture loads"] = shelf.ThumbnailLoads();
}

void BM_ScrollPeer(benchmark::State& state) {
    auto dlg = MakeDialog(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    auto* view = dlg->findChild<QTreeView*>("treeView");
    auto* model = dlg->findChild<QFileSystemModel*>();
    bool loaded = false;
    QObject::connect(model, &QFileSystemModel::directoryLoaded, dlg.get(), [&] { loaded = true; });
    dlg->show();
    Until([&] { return loaded; });
    QCoreApplication::processEvents();
    ScrollScreens(state, *view);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    for (const auto& size : {std::pair{592, 418}, std::pair{1920, 1080}}) {
        benchmark::RegisterBenchmark("Open", BM_Open)
            ->Args({size.first, size.second})
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("Open/QFileDialogPeer", BM_OpenPeer)
            ->Args({size.first, size.second})
            ->Unit(benchmark::kMillisecond);
    }
    for (const auto& size : {std::pair{592, 418}, std::pair{1920, 1080}}) {
        benchmark::RegisterBenchmark("Scroll", BM_Scroll)
            ->Args({size.first, size.second})
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("Scroll/QFileDialogPeer", BM_ScrollPeer)
            ->Args({size.first, size.second})
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    theShelf.reset(); // its windows go while the application still exists
    return 0;
}
