// Speed of the book layout: each of the ten tales told at full twist (6 to
// 8 KB) paginated with the Qt canvas, against QTextDocument paginating the
// same text (paragraph markers as paragraphs) with the same font, page size
// and margins, in the same run:
//   Screen: the storybook's first page, 216 x 320, margins 8, "Times New
//           Roman" 12 points at 96 dpi.
//   A4:     4961 x 7016 at 600 dpi, margins of one eighth, the printing
//           size that puts 50 to 60 widths of "n" across the paper.
// One iteration lays out one tale (the ten in turn); a new canvas every
// time, as a paint or print job makes one, with the font's advances already
// known to the process. Two long saved stories on the screen page show that
// the work grows linearly: the tales' words as one paragraph of 1 MB, and a
// word of 300 KB, each under a short title. Beside them, fbwtool paginate's
// listing of a 4 MB paragraph on the smallest page (one character a pixel,
// 20 across, a line a page: about 280,000 pages), against the layout of the
// same text alone in the same run: the listing walks the pages and lines once,
// so it costs a small multiple of the layout, not its square.
// Run: build-bench/bench/book/bench_book
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTextDocument>
#include <QTextFrame>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "PaginateInput.h"
#include "book/Book.h"
#include "book/PrintFont.h"
#include "platform/FixedCanvas.h"
#include "platform/qt/QtCanvas.h"
#include "story/Generate.h"
#include "story/StoryText.h"

namespace {

const QString kFamily = "Times New Roman";

struct Page {
    int width, height, dpi, marginX, marginY, points;
};

const std::vector<std::string>& Tales() {
    static const std::vector<std::string> tales = [] {
        TStoryGenerator::Files files;
        files.dataFolder = std::string(FBW_YARNS_DIR) + "/dat/";
        files.wordsFile = std::string(FBW_YARNS_DIR) + "/words.dat";
        files.saveWords = false;
        files.saveSettings = false;
        TStoryGenerator generator(files);
        generator.SetTwistLevel(100);
        generator.FixSeed(7);
        std::vector<std::string> out;
        for (int tale = 1; tale <= TStoryGenerator::kTaleCount; ++tale)
            out.push_back(ResolveStoryLineEnds(JoinStoryLines(generator.GenerateStory(tale))));
        return out;
    }();
    return tales;
}

QImage Device(int dpi) {
    QImage image(16, 16, QImage::Format_RGB32);
    const int dpm = static_cast<int>(dpi / 0.0254 + 0.5);
    image.setDotsPerMeterX(dpm);
    image.setDotsPerMeterY(dpm);
    image.fill(Qt::white);
    return image;
}

Page ScreenPage() {
    return Page{216, 320, 96, 8, 8, 12};
}

Page A4Page() {
    Page p{4961, 7016, 600, 4961 / 8, 7016 / 8, 0};
    QImage image = Device(p.dpi);
    QPainter painter(&image);
    plat::QtCanvas canvas(painter, kFamily, 12);
    p.points = TPrintFont::Fit(canvas, p.width, TPrintFont::StartSize(12, p.width, 216));
    return p;
}

void BM_Book(benchmark::State& state, Page page) {
    const auto& tales = Tales();
    QImage image = Device(page.dpi);
    QPainter painter(&image);
    std::size_t i = 0, bytes = 0;
    long long pages = 0;
    for (auto _ : state) {
        const std::string& text = tales[i++ % tales.size()];
        plat::QtCanvas canvas(painter, kFamily, page.points);
        TBook book;
        book.MarginX = page.marginX;
        book.MarginY = page.marginY;
        book.Paginate(&canvas, TRect{0, 0, page.width, page.height}, text.c_str());
        pages += book.PageCount();
        bytes += text.size();
        benchmark::DoNotOptimize(book.Pages.First);
    }
    state.SetBytesProcessed(static_cast<int64_t>(bytes));
    state.counters["pages"] =
        benchmark::Counter(static_cast<double>(pages) / static_cast<double>(state.iterations()));
    state.counters["points"] = page.points;
}

// The tales' words in one paragraph of Bytes characters under a title.
std::string OneParagraph(std::size_t bytes) {
    std::string words;
    for (const std::string& t : Tales())
        for (std::size_t k = 0; k < t.size(); ++k) {
            const bool marker = t[k] == '\\' && k + 1 < t.size() && t[k + 1] == 'n';
            words += marker ? ' ' : t[k];
            k += marker;
        }
    std::string s = "A Long Story\\n\\n";
    while (s.size() < bytes)
        s += words;
    s.resize(bytes);
    return s;
}

void BM_BookLong(benchmark::State& state, Page page, const std::string& text) {
    QImage image = Device(page.dpi);
    QPainter painter(&image);
    long long pages = 0;
    for (auto _ : state) {
        plat::QtCanvas canvas(painter, kFamily, page.points);
        TBook book;
        book.MarginX = page.marginX;
        book.MarginY = page.marginY;
        book.Paginate(&canvas, TRect{0, 0, page.width, page.height}, text.c_str());
        pages += book.PageCount();
        benchmark::DoNotOptimize(book.Pages.First);
    }
    state.SetBytesProcessed(static_cast<int64_t>(text.size()) * state.iterations());
    state.counters["pages"] =
        benchmark::Counter(static_cast<double>(pages) / static_cast<double>(state.iterations()));
}

// fbwtool paginate --char-width 1 --line-height 1 --page 36x17.
PaginateRequest SmallestPage() {
    PaginateRequest r;
    r.fixed = true;
    r.charWidth = r.lineHeight = 1;
    r.width = 36;
    r.height = 17;
    return r;
}

void BM_SmallestPageLayout(benchmark::State& state, const std::string& text) {
    const PaginateRequest r = SmallestPage();
    long long pages = 0;
    for (auto _ : state) {
        plat::FixedCanvas canvas(r.charWidth, r.lineHeight);
        TBook book;
        book.MarginX = r.marginX;
        book.MarginY = r.marginY;
        book.Paginate(&canvas, TRect{0, 0, r.width, r.height}, text.c_str());
        pages += book.PageCount();
        benchmark::DoNotOptimize(book.Pages.First);
    }
    state.SetBytesProcessed(static_cast<int64_t>(text.size()) * state.iterations());
    state.counters["pages"] =
        benchmark::Counter(static_cast<double>(pages) / static_cast<double>(state.iterations()));
}

void BM_SmallestPageListing(benchmark::State& state, const std::string& text) {
    const PaginateRequest r = SmallestPage();
    std::size_t bytes = 0;
    for (auto _ : state) {
        plat::FixedCanvas canvas(r.charWidth, r.lineHeight);
        const std::string out = PaginateListing(r, canvas, text);
        bytes += out.size();
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(text.size()) * state.iterations());
    state.counters["listed"] =
        benchmark::Counter(static_cast<double>(bytes) / static_cast<double>(state.iterations()));
}

void BM_QTextDocument(benchmark::State& state, Page page) {
    const auto& tales = Tales();
    std::vector<QString> plain;
    for (const std::string& t : tales) {
        std::string s;
        for (std::size_t k = 0; k < t.size(); ++k) {
            if (t[k] == '\\' && k + 1 < t.size() && t[k + 1] == 'n') {
                s += '\n';
                ++k;
            } else {
                s += t[k];
            }
        }
        plain.push_back(QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size())));
    }
    QFont font(kFamily);
    // Device pixels throughout: the font's pixel size, the page and the
    // margins. (Given a paint device of another dpi, the document layout
    // would scale its margins again.)
    font.setPixelSize(plat::QtCanvas::PixelsForPoints(page.points, page.dpi));
    std::size_t i = 0, bytes = 0;
    long long pages = 0;
    for (auto _ : state) {
        const QString& text = plain[i % plain.size()];
        bytes += tales[i++ % tales.size()].size();
        QTextDocument doc;
        doc.setDefaultFont(font);
        doc.setDocumentMargin(0);
        // setPlainText resets the root frame: the margins go on afterwards.
        doc.setPlainText(text);
        QTextFrameFormat frame = doc.rootFrame()->frameFormat();
        frame.setLeftMargin(page.marginX);
        frame.setRightMargin(page.marginX);
        frame.setTopMargin(page.marginY);
        frame.setBottomMargin(page.marginY);
        doc.rootFrame()->setFrameFormat(frame);
        doc.setPageSize(QSizeF(page.width, page.height));
        pages += doc.pageCount();
    }
    state.SetBytesProcessed(static_cast<int64_t>(bytes));
    state.counters["pages"] =
        benchmark::Counter(static_cast<double>(pages) / static_cast<double>(state.iterations()));
    state.counters["points"] = page.points;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    std::size_t total = 0;
    for (const std::string& t : Tales())
        total += t.size();
    std::printf("ten tales at full twist: %zu bytes in all, %zu to %zu each\n", total,
                std::min_element(Tales().begin(), Tales().end(),
                                 [](auto& a, auto& b) { return a.size() < b.size(); })
                    ->size(),
                std::max_element(Tales().begin(), Tales().end(), [](auto& a, auto& b) {
                    return a.size() < b.size();
                })->size());
    const Page a4 = A4Page();
    benchmark::RegisterBenchmark("Book/Screen", BM_Book, ScreenPage())
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("QTextDocument/Screen", BM_QTextDocument, ScreenPage())
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("Book/A4_600dpi", BM_Book, a4)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("QTextDocument/A4_600dpi", BM_QTextDocument, a4)
        ->Unit(benchmark::kMicrosecond);
    static const std::string paragraph = OneParagraph(1 << 20);
    static const std::string word = "A Long Story\\n\\n" + std::string(300 * 1024, 'x');
    benchmark::RegisterBenchmark("Book/Screen_Paragraph_1MB", BM_BookLong, ScreenPage(), paragraph)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Book/Screen_Word_300KB", BM_BookLong, ScreenPage(), word)
        ->Unit(benchmark::kMillisecond);
    static const std::string fourMB = OneParagraph(4 << 20);
    benchmark::RegisterBenchmark("Book/SmallestPage_Paragraph_4MB", BM_SmallestPageLayout, fourMB)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Listing/SmallestPage_Paragraph_4MB", BM_SmallestPageListing,
                                 fourMB)
        ->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
