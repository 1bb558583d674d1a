// Speed of "My stories" on the offscreen platform, with the real game
// library, each case against a peer on the same folder in the same run. The
// folders: "mixed", 1,000 saved stories and 200 picture books; "links",
// 10,000 links named like kept stories ("Goldilox 2026-12-08 17.05 (N).txt")
// that lead nowhere; "stories", 10,000 saved stories.
//   Open/WxH (mixed), Open/links, Open/stories: the shelf made, shown and its
//       first screen of cards painted (the folder listed, every title read,
//       the tales' pictures taken from the library). Peer: a QFileDialog
//       (Qt's own, detail view) made and shown on the folder until the
//       folder is loaded and painted.
//   Scroll/WxH: one screen further down the cards, painted; back to the
//       top after the end. Peer: the file dialog's list scrolled a screen.
//   Shelf/<folder>: TStoryShelf made on the folder and listed (Refresh).
//   Shelf/<folder>/NewFile: the shelf listed again after one new story came.
//       Peer of both: the folder's entries with their size and time, as
//       QDir lists them.
// Counter "picture loads": the library's tale pictures taken per open (at
// most one for each tale). Targets: 200 ms to open, 16 ms a screen.
// Run: build/bench/book/bench_shelf
#include <benchmark/benchmark.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QScrollBar>
#include <QTreeView>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "BenchFolders.h"
#include "app/FormGame.h"
#include "platform/Files.h"
#include "platform/qt/Latin1.h"
#include "shelf/DatedName.h"
#include "shelf/StoryShelf.h"
#include "shelf/forms/FormShelf.h"
#include "story/StoryText.h"
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

// The stories folders the cases run on.
enum Folder { kMixed, kLinks, kStories, kFolders };
constexpr const char* kFolderNames[kFolders] = {"mixed", "links", "stories"};
constexpr int kMany = 10000;

class Shelf {
public:
    Shelf() {
        game_ = std::make_unique<TFormGame>();
        for (int f = 0; f < kFolders; ++f) {
            folder_[f] = folders_.Install() + (f == kMixed ? std::string("Fablewhirl Stories/")
                                                           : kFolderNames[f] + std::string("/"));
            std::filesystem::create_directories(folder_[f]);
        }
        const int64_t now = 1800000000LL * 1000000000LL;
        const int64_t hour = 3600LL * 1000000000LL;
        for (int i = 0; i < 1200; ++i) {
            const int64_t t = now - i * hour;
            const std::string tale = TTaleTable::ShortName(1 + i % 10);
            const bool book = i % 6 == 5; // 200 books
            const std::string title = (book ? "Pictures of story " : "Story ") + std::to_string(i);
            const std::string bytes =
                book ? "%PDF-1.4\n1 0 obj\n<<\n/Title (" + title + ")\n>>\nendobj\n"
                     : StoryBytes(title);
            const std::string name =
                TDatedName::Make(tale, TDatedName::LocalMoment(t), book ? ".pdf" : ".txt");
            plat::WriteFileAtomic(folder_[kMixed] + name, bytes);
            plat::SetFileModTime(folder_[kMixed] + name, t);
        }
        // Plain writes: ten thousand atomic ones would cost the set-up minutes.
        const TDatedName::Moment when{2026, 12, 8, 17, 5};
        for (int i = 0; i < kMany; ++i) {
            const std::string name = TDatedName::Make("Goldilox", when, ".txt", i + 2);
            std::filesystem::create_symlink("gone/" + name, folder_[kLinks] + name);
        }
        for (int i = 0; i < kMany; ++i) {
            const int64_t t = now - i * hour;
            const std::string name = TDatedName::Make(TTaleTable::ShortName(1 + i % 10),
                                                      TDatedName::LocalMoment(t), ".txt");
            std::ofstream(folder_[kStories] + name, std::ios::binary)
                << StoryBytes("Story " + std::to_string(i));
            plat::SetFileModTime(folder_[kStories] + name, t);
        }
    }
    ~Shelf() { game_.reset(); }
    TRL8Library& library() { return *game_->Library(); }
    const std::string& folder(int f = kMixed) const { return folder_[f]; }

    static std::string StoryBytes(const std::string& title) {
        return MakeSavedStoryFile(title + "\\n\\nOnce upon a time there was a tale told "
                                          "by a child, and it went on for a while.");
    }

private:
    TBenchFolders folders_;
    std::unique_ptr<TFormGame> game_;
    std::string folder_[kFolders];
};

std::unique_ptr<Shelf> theShelf;

Shelf& TheShelf() {
    if (!theShelf)
        theShelf = std::make_unique<Shelf>();
    return *theShelf;
}

std::unique_ptr<QFileDialog> MakeDialog(int w, int h, int folder = kMixed) {
    auto dlg = std::make_unique<QFileDialog>(nullptr, "Open", ToQString(TheShelf().folder(folder)));
    dlg->setOption(QFileDialog::DontUseNativeDialog);
    dlg->setViewMode(QFileDialog::Detail);
    dlg->resize(w, h);
    return dlg;
}

void BM_Open(benchmark::State& state, int folder) {
    Shelf& s = TheShelf();
    const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
    int loads = 0, rows = 0;
    for (auto _ : state) {
        TFormShelf shelf(s.folder(folder), 0, s.library());
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

void BM_OpenPeer(benchmark::State& state, int folder) {
    const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
    int rows = 0;
    for (auto _ : state) {
        auto dlg = MakeDialog(w, h, folder);
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

// Adds one new story to Folder around each timed pass of Pass, and takes it
// away again untimed.
template <class Pass> void WithNewFile(benchmark::State& state, int folder, Pass pass) {
    const std::string path = TheShelf().folder(folder) + "Hansel 2027-06-01 12.00.txt";
    for (auto _ : state) {
        state.PauseTiming();
        std::ofstream(path, std::ios::binary) << Shelf::StoryBytes("The newest story");
        state.ResumeTiming();
        pass();
        state.PauseTiming();
        std::filesystem::remove(path);
        pass();
        state.ResumeTiming();
    }
}

// The folder's entries with their size and time, as QDir lists them.
int ListFolder(int folder) {
    const QFileInfoList entries = QDir(ToQString(TheShelf().folder(folder)))
                                      .entryInfoList(QDir::Files | QDir::System | QDir::Hidden);
    int64_t sum = 0;
    for (const QFileInfo& e : entries)
        sum += e.size() + e.lastModified().toSecsSinceEpoch();
    benchmark::DoNotOptimize(sum);
    return static_cast<int>(entries.size());
}

void BM_ShelfListed(benchmark::State& state, int folder) {
    const std::string& path = TheShelf().folder(folder);
    std::size_t items = 0;
    for (auto _ : state) {
        TStoryShelf shelf(path);
        shelf.Refresh();
        items = shelf.Items().size();
    }
    state.counters["items"] = static_cast<double>(items);
}

void BM_ShelfListedPeer(benchmark::State& state, int folder) {
    int entries = 0;
    for (auto _ : state)
        entries = ListFolder(folder);
    state.counters["entries"] = entries;
}

void BM_ShelfNewFile(benchmark::State& state, int folder) {
    TStoryShelf shelf(TheShelf().folder(folder));
    shelf.Refresh();
    WithNewFile(state, folder, [&] { shelf.Refresh(); });
    state.counters["items"] = static_cast<double>(shelf.Items().size());
}

void BM_ShelfNewFilePeer(benchmark::State& state, int folder) {
    WithNewFile(state, folder, [&] { ListFolder(folder); });
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    for (const auto& size : {std::pair{592, 418}, std::pair{1920, 1080}}) {
        benchmark::RegisterBenchmark("Open", BM_Open, kMixed)
            ->Args({size.first, size.second})
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("Open/QFileDialogPeer", BM_OpenPeer, kMixed)
            ->Args({size.first, size.second})
            ->Unit(benchmark::kMillisecond);
    }
    for (const int f : {kLinks, kStories}) {
        const std::string open = std::string("Open/") + kFolderNames[f];
        benchmark::RegisterBenchmark(open.c_str(), BM_Open, f)
            ->Args({592, 418})
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((open + "/QFileDialogPeer").c_str(), BM_OpenPeer, f)
            ->Args({592, 418})
            ->Unit(benchmark::kMillisecond);
    }
    for (const int f : {kMixed, kLinks, kStories}) {
        const std::string shelf = std::string("Shelf/") + kFolderNames[f];
        benchmark::RegisterBenchmark(shelf.c_str(), BM_ShelfListed, f)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((shelf + "/QDirPeer").c_str(), BM_ShelfListedPeer, f)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((shelf + "/NewFile").c_str(), BM_ShelfNewFile, f)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((shelf + "/NewFile/QDirPeer").c_str(), BM_ShelfNewFilePeer, f)
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
