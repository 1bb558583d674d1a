// Speed of the storybook window on the offscreen platform, with the real
// game library and story generator (full twist, fixed seed), each against a
// peer doing the same job with QTextDocument in the same run:
//   CreateStory: "Create story" clicked on the cover until the first story
//       spread is painted (generation, layout, both pages drawn, the window's
//       paint events). Peer: the same generation, the story laid out by
//       QTextDocument into pages of the same size and font, and its first
//       two pages drawn into page images and onto the window.
//   Resize/WxH: one resize step on the first story spread (new layout, the book
//       assembled again, both pages drawn, the paint events), alternating
//       between W x H and W + 8 x H + 6. Peer: QTextDocument laid out again
//       for the new page size, the spread's two pages drawn and a window-sized
//       background painted, in the letters the storybook shows at W x H
//       (/16px: in those of its first size, 16 pixels, as the storybook drew
//       before its letters grew with the window).
//   PrintTale: a whole tale printed to a PDF file at 1200 dpi (font search,
//       layout for the printer, every page drawn). Peer: QTextDocument::print
//       of the same text in the same font size to the same kind of printer.
//   SwapTwist/WxH: with the twists shown on the first spread of a long tale,
//       a click on the first tinted word of the left page until the spread
//       is repainted (the word swapped again, the story laid out again, the
//       pages drawn, the changed pixels repainted). No peer.
// The tales are taken in turn (1 to 10). Targets: 20 ms, 10 ms, 1 s and 5 ms.
// Run: build/bench/book/bench_formbook
#include <benchmark/benchmark.h>

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTextFrame>
#include <cstdio>
#include <malloc.h>
#include <memory>
#include <optional>
#include <string>

#include "BenchFolders.h"
#include "app/FormGame.h"
#include "book/PrintFont.h"
#include "book/StoryTwists.h"
#include "book/forms/BookAccess.h"
#include "book/forms/CommandsPart.h"
#include "book/forms/CoverPart.h"
#include "book/forms/FormBook.h"
#include "book/forms/LettersPart.h"
#include "book/forms/PagePainter.h"
#include "book/forms/ReadToMePart.h"
#include "book/forms/TwistsPart.h"
#include "data/InitGame.h"
#include "platform/Files.h"
#include "platform/KeyStore.h"
#include "platform/qt/QtCanvas.h"
#include "story/Generate.h"
#include "story/StoryText.h"
#include "support/BookParts.h"

namespace {

// An installation folder with the default words, named by a key store of its
// own, and the main window that holds the library and the generator.
class Game {
public:
    Game() {
        game_ = std::make_unique<TFormGame>();
        generator().FixSeed(7);
        generator().SetTwistLevel(100);
        book_ = std::make_unique<TFormBook>(generator(), *game_->Library());
        book_->StoriesFolder = folders_.Install() + "stories/";
        book_->ShowError = [](const std::string& m) { std::fprintf(stderr, "%s\n", m.c_str()); };
    }
    ~Game() {
        book_.reset();
        game_.reset();
    }
    TStoryGenerator& generator() { return *game_->Generator(); }
    TFormBook& book() { return *book_; }
    // Tale N shown on its cover with a story, as the main window opens it.
    void Open(int tale) {
        book_->SetStory(JoinStoryLines(generator().GenerateStory(tale)));
        book_->TaleNumber = tale;
        book_->hide();
        book_->show();
        QCoreApplication::processEvents();
    }
    std::string Dir() const { return folders_.Install(); }

private:
    TBenchFolders folders_;
    std::unique_ptr<TFormGame> game_;
    std::unique_ptr<TFormBook> book_;
};

// Made by the first benchmark that needs it; gone before the application.
std::unique_ptr<Game> theGame;

Game& TheGame() {
    if (!theGame)
        theGame = std::make_unique<Game>();
    return *theGame;
}

// The story text with its markers as paragraph breaks, for QTextDocument.
QString PlainText(const std::string& story) {
    std::string s;
    for (std::size_t k = 0; k < story.size(); ++k) {
        if (story[k] == '\\' && k + 1 < story.size() && story[k + 1] == 'n') {
            s += '\n';
            ++k;
        } else {
            s += story[k];
        }
    }
    return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

// A QTextDocument with the storybook's page font (at the window's first
// size unless told), laid out into pages of W x H with margins of 8.
void Setup(QTextDocument& doc, const QString& text, int w, int h,
           const QString& family = "Times New Roman", int pixels = 16) {
    QFont font(family);
    font.setPixelSize(pixels);
    doc.setDefaultFont(font);
    doc.setDocumentMargin(0);
    doc.setPlainText(text);
    QTextFrameFormat frame = doc.rootFrame()->frameFormat();
    frame.setLeftMargin(8);
    frame.setRightMargin(8);
    frame.setTopMargin(8);
    frame.setBottomMargin(8);
    doc.rootFrame()->setFrameFormat(frame);
    doc.setPageSize(QSizeF(w, h));
}

// Page N (0-based) of Doc drawn into Image.
void DrawDocPage(QTextDocument& doc, QImage& image, int n) {
    image.fill(Qt::white);
    QPainter p(&image);
    const QSizeF page = doc.pageSize();
    p.translate(0, -n * page.height());
    doc.drawContents(&p, QRectF(0, n * page.height(), page.width(), page.height()));
}

void BM_CreateStory(benchmark::State& state) {
    Game& g = TheGame();
    g.book().resize(TFormBook::kClientWidth, TFormBook::kClientHeight);
    int tale = 0;
    long long pages = 0;
    for (auto _ : state) {
        state.PauseTiming();
        tale = tale % 10 + 1;
        g.Open(tale);
        state.ResumeTiming();
        fbwtest::Child<QPushButton>(g.book(), "cmdNewStory").click();
        QCoreApplication::processEvents(); // the spread's paint events
        pages += g.book().Book().PageCount();
    }
    state.counters["pages"] = double(pages) / double(state.iterations());
}

void BM_CreateStoryPeer(benchmark::State& state) {
    Game& g = TheGame();
    g.book().resize(TFormBook::kClientWidth, TFormBook::kClientHeight);
    const QSize page = fbwtest::Child<TPaintBox>(g.book(), "pbxLeftPage").size();
    QImage left(page, QImage::Format_RGB32), right(page, QImage::Format_RGB32);
    QImage window(g.book().size(), QImage::Format_RGB32);
    int tale = 0;
    long long pages = 0;
    for (auto _ : state) {
        tale = tale % 10 + 1;
        const std::string story =
            ResolveStoryLineEnds(JoinStoryLines(g.generator().GenerateStory(tale)));
        QTextDocument doc;
        Setup(doc, PlainText(story), page.width(), page.height());
        pages += doc.pageCount();
        DrawDocPage(doc, left, 0);
        DrawDocPage(doc, right, 1);
        QPainter p(&window);
        p.fillRect(window.rect(), Qt::white);
        p.drawImage(60, 49, left);
        p.drawImage(window.width() - page.width() - 50, 49, right);
    }
    state.counters["pages"] = double(pages) / double(state.iterations());
}

void BM_Resize(benchmark::State& state) {
    Game& g = TheGame();
    const int w = int(state.range(0)), h = int(state.range(1));
    g.book().resize(w, h);
    g.Open(6);
    fbwtest::Child<QPushButton>(g.book(), "cmdNewStory").click(); // the first spread
    QCoreApplication::processEvents();
    bool grown = false;
    for (auto _ : state) {
        grown = !grown;
        g.book().resize(grown ? w + 8 : w, grown ? h + 6 : h);
        QCoreApplication::processEvents();
    }
    state.counters["pages"] = g.book().Book().PageCount();
    g.book().resize(TFormBook::kClientWidth, TFormBook::kClientHeight);
}

void BM_SwapTwist(benchmark::State& state) {
    Game& g = TheGame();
    const int w = int(state.range(0)), h = int(state.range(1));
    g.book().resize(w, h);
    g.Open(6);
    fbwtest::Child<QPushButton>(g.book(), "cmdNewStory").click(); // the first spread
    fbwtest::Twists(g.book()).SetShowTwists(true);
    QCoreApplication::processEvents();
    // A point of the first tinted word on the left page, as it is shown.
    const auto tinted = [&g]() -> std::optional<QPoint> {
        const QImage page = g.book().Painter().PagePicture(TPagePainter::Side::Left);
        const QRgb tint = 0xFF000000u | TStoryTwists::kColour;
        for (int y = 0; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x)
                if (page.pixel(x, y) == tint)
                    return QPoint(x, y);
        return std::nullopt;
    };
    if (!tinted()) {
        state.SkipWithError("no tinted word on the first page");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        const QPoint at = tinted().value_or(QPoint(0, 0));
        state.ResumeTiming();
        QMouseEvent press(QEvent::MouseButtonPress, at,
                          fbwtest::Child<TPaintBox>(g.book(), "pbxLeftPage").mapToGlobal(at),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&fbwtest::Child<TPaintBox>(g.book(), "pbxLeftPage"), &press);
        QCoreApplication::processEvents();
    }
    state.counters["pages"] = g.book().Book().PageCount();
    fbwtest::Twists(g.book()).SetShowTwists(false);
    g.book().resize(TFormBook::kClientWidth, TFormBook::kClientHeight);
}

void BM_ResizePeer(benchmark::State& state) {
    Game& g = TheGame();
    const int w = int(state.range(0)), h = int(state.range(1));
    // The letters the storybook shows at this size (they grow with the
    // window), unless the peer is asked for the first size's.
    g.book().resize(w, h);
    g.Open(6);
    fbwtest::Child<QPushButton>(g.book(), "cmdNewStory").click();
    const bool grown = state.range(2) != 0;
    const QString family = grown ? g.book().Painter().Family(1) : QString("Times New Roman");
    const int pixels = grown ? g.book().Painter().Points(1) * 4 / 3 : 16;
    g.book().resize(TFormBook::kClientWidth, TFormBook::kClientHeight);
    g.generator().FixSeed(7);
    const QString text =
        PlainText(ResolveStoryLineEnds(JoinStoryLines(g.generator().GenerateStory(6))));
    QTextDocument doc;
    Setup(doc, text, w / 2 - 80, h - 98, family, pixels);
    bool larger = false;
    for (auto _ : state) {
        larger = !larger;
        const int cw = larger ? w + 8 : w, ch = larger ? h + 6 : h;
        const QSize page(cw / 2 - 80, ch - 98);
        doc.setPageSize(page);
        benchmark::DoNotOptimize(doc.pageCount());
        QImage window(cw, ch, QImage::Format_RGB32);
        QImage left(page, QImage::Format_RGB32), right(page, QImage::Format_RGB32);
        DrawDocPage(doc, left, 0);
        DrawDocPage(doc, right, 1);
        QPainter p(&window);
        p.fillRect(window.rect(), Qt::white);
        p.drawImage(60, 49, left);
        p.drawImage(cw - page.width() - 50, 49, right);
    }
    state.counters["pages"] = doc.pageCount();
}

void PdfPrinter(QPrinter& printer, const std::string& file) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(file));
}

// The size the storybook scales its printed font to on Printer's paper.
int PrintPoints(QPrinter& printer, int pageWidth) {
    const int paperW = printer.pageLayout().paintRectPixels(printer.resolution()).width();
    QImage scratch(1, 1, QImage::Format_RGB32);
    const int dpm = int(printer.resolution() / 0.0254 + 0.5);
    scratch.setDotsPerMeterX(dpm);
    scratch.setDotsPerMeterY(dpm);
    QPainter painter(&scratch);
    plat::QtCanvas canvas(painter, "Times New Roman", 12);
    return TPrintFont::Fit(canvas, paperW, TPrintFont::StartSize(12, paperW, pageWidth));
}

void BM_PrintTale(benchmark::State& state) {
    Game& g = TheGame();
    g.book().resize(TFormBook::kClientWidth, TFormBook::kClientHeight);
    int tale = 0;
    long long pages = 0;
    const std::string file = g.Dir() + "tale.pdf";
    for (auto _ : state) {
        state.PauseTiming();
        tale = tale % 10 + 1;
        g.Open(tale);
        int count = 0;
        fbwtest::Commands(g.book()).ExecPrintDialog = [&](QPrinter&, int pageCount) {
            count = pageCount;
            return false;
        };
        fbwtest::Child<QPushButton>(g.book(), "cmdPrint")
            .click(); // the page count for this printer
        QPrinter printer(QPrinter::HighResolution);
        PdfPrinter(printer, file);
        state.ResumeTiming();
        if (!fbwtest::Commands(g.book()).PrintStory(printer, 1, 1, count))
            state.SkipWithError("printing failed");
        pages += count;
    }
    state.counters["pages"] = double(pages) / double(state.iterations());
}

void BM_PrintTalePeer(benchmark::State& state) {
    Game& g = TheGame();
    g.book().resize(TFormBook::kClientWidth, TFormBook::kClientHeight);
    int tale = 0;
    const std::string file = g.Dir() + "peer.pdf";
    for (auto _ : state) {
        state.PauseTiming();
        tale = tale % 10 + 1;
        g.Open(tale);
        const QString text = PlainText(g.book().StoryText());
        QPrinter printer(QPrinter::HighResolution);
        PdfPrinter(printer, file);
        state.ResumeTiming();
        QTextDocument doc;
        QFont font("Times New Roman");
        font.setPointSize(
            PrintPoints(printer, fbwtest::Child<TPaintBox>(g.book(), "pbxLeftPage").width()));
        doc.setDefaultFont(font);
        doc.setPlainText(text);
        doc.print(&printer);
    }
}

} // namespace

int main(int argc, char** argv) {
    // Large blocks given back are kept for reuse rather than unmapped: with
    // glibc's moving threshold, a peer's window-sized pictures were mapped
    // and faulted in afresh at every step in some runs and reused in others
    // (a resize peer at 2.5 ms in one run, 4.8 ms in the next).
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::RegisterBenchmark("CreateStory", BM_CreateStory)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("CreateStory/QTextDocumentPeer", BM_CreateStoryPeer)
        ->Unit(benchmark::kMillisecond);
    for (const auto& size : {std::pair{592, 418}, std::pair{1920, 1080}}) {
        benchmark::RegisterBenchmark("Resize", BM_Resize)
            ->Args({size.first, size.second})
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("Resize/QTextDocumentPeer", BM_ResizePeer)
            ->Args({size.first, size.second, 1})
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("Resize/QTextDocumentPeer/16px", BM_ResizePeer)
            ->Args({size.first, size.second, 0})
            ->Unit(benchmark::kMillisecond);
    }
    for (const auto& size : {std::pair{592, 418}, std::pair{1920, 1080}})
        benchmark::RegisterBenchmark("SwapTwist", BM_SwapTwist)
            ->Args({size.first, size.second})
            ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("PrintTale", BM_PrintTale)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("PrintTale/QTextDocumentPeer", BM_PrintTalePeer)
        ->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    theGame.reset(); // its windows go while the application still exists
    return 0;
}
