// Decoding speed, as decoded pixel bytes per second, against libpng decoding
// the same pixels stored as 8-bit indexed PNG at zlib level 9. The headline
// is the game's own yarns.rl8, every image got through GetImage from the file
// as the game does; the synthetic library art is the second figure. Every
// workload runs once for a while before the measurements start, so that the
// first benchmark does not run cold.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <memory>

#include "BenchArt.h"
#include "Rl8Png.h"
#include "image/RL8Decoder.h"
#include "image/RL8FileWriter.h"
#include "image/RL8Lib.h"
#include "platform/MemoryStream.h"

namespace {

struct Fixture {
    std::vector<bench::Art> art;
    std::vector<std::unique_ptr<TRL8Image>> images; // coded, in memory
    std::string library;
    std::vector<std::string> pngs;
    int64_t pixelBytes = 0;  // width x height summed
    int64_t storedBytes = 0; // stride x height summed (what the decoder writes)
    int64_t codedBytes = 0;

    Fixture() : art(bench::LibraryArt()) {
        std::vector<uint8_t> palette(1024);
        for (std::size_t i = 0; i < 1024; ++i)
            palette[i] = static_cast<uint8_t>(i * 7);
        TRL8FileWriter writer(palette);
        for (const auto& a : art) {
            const TRL8Banding b = TRL8Banding::Compute(a.width, a.height);
            std::string rows(std::size_t{b.Stride} * a.height, '\0');
            for (uint32_t y = 0; y < a.height; ++y)
                std::memcpy(&rows[std::size_t{a.height - 1u - y} * b.Stride],
                            &a.pixels[std::size_t{y} * a.width], a.width);
            plat::MemoryStream source(rows);
            auto image = std::make_unique<TRL8Image>();
            image->Initialize(a.name, &source, a.height, a.width);
            writer.AddImage(*image);
            for (uint32_t i = 0; i < image->SegmentCount; ++i)
                codedBytes += image->Segments()[i].DataSize();
            images.push_back(std::move(image));

            Rl8Png::Image png;
            png.Width = a.width;
            png.Height = a.height;
            png.Pixels = a.pixels;
            png.Palette.resize(256);
            png.Transparent = a.transparent;
            std::string bytes, error;
            Rl8Png::Write(png, 9, bytes, error);
            pngs.push_back(std::move(bytes));
            pixelBytes += int64_t{a.width} * a.height;
            storedBytes += int64_t{b.Stride} * a.height;
        }
        library = writer.Bytes();
    }
};

const Fixture& Data() {
    static const Fixture f;
    return f;
}

// The game's library file and the same pixels as indexed PNGs.
struct YarnsFixture {
    std::string path = std::string(FBW_YARNS_DIR) + "/yarns.rl8";
    std::vector<std::string> names;
    std::vector<std::string> pngs;
    int64_t pixelBytes = 0;
    bool ok = false;

    YarnsFixture() {
        try {
            TRL8Library lib;
            lib.Open(path);
            for (const auto& entry : lib.Directory()) {
                TImageNode* node = lib.GetImage(entry.first);
                TRL8ImageData* data = lib.GetImageData(node);
                Rl8Png::Image png;
                png.Width = data->Width;
                png.Height = data->Height;
                png.Pixels = data->CopyPixels();
                png.Palette.resize(256);
                std::string bytes, error;
                Rl8Png::Write(png, 9, bytes, error);
                pngs.push_back(std::move(bytes));
                pixelBytes += int64_t{data->Width} * data->Height;
                names.push_back(entry.first);
                lib.ReleaseImage(node);
            }
            ok = !names.empty();
        } catch (...) {
        }
    }
};

const YarnsFixture& Yarns() {
    static const YarnsFixture f;
    return f;
}

// Headline: every image of yarns.rl8 got from the open file and released.
void BM_YarnsGetImage(benchmark::State& state) {
    const YarnsFixture& f = Yarns();
    if (!f.ok) {
        state.SkipWithError("yarns.rl8 is not built (target fbw_assets)");
        return;
    }
    TRL8Library lib;
    lib.Open(f.path);
    for (auto _ : state) {
        for (const auto& name : f.names) {
            TImageNode* node = lib.GetImage(name);
            benchmark::DoNotOptimize(node);
            lib.ReleaseImage(node);
        }
    }
    state.SetBytesProcessed(state.iterations() * f.pixelBytes);
    state.counters["images"] = static_cast<double>(f.names.size());
}
BENCHMARK(BM_YarnsGetImage);

// Its peer: libpng decoding the same pixels from level-9 indexed PNGs.
void BM_YarnsLibpngDecode(benchmark::State& state) {
    const YarnsFixture& f = Yarns();
    if (!f.ok) {
        state.SkipWithError("yarns.rl8 is not built (target fbw_assets)");
        return;
    }
    Rl8Png::Image out;
    std::string error;
    for (auto _ : state) {
        for (const auto& p : f.pngs) {
            Rl8Png::Read(p, out, error);
            benchmark::DoNotOptimize(out.Pixels.data());
        }
    }
    state.SetBytesProcessed(state.iterations() * f.pixelBytes);
}
BENCHMARK(BM_YarnsLibpngDecode);

// The decoder alone: coded segments in memory into one reused buffer.
void BM_Rl8DecodeSegments(benchmark::State& state) {
    const Fixture& f = Data();
    std::vector<uint8_t> out(65280);
    for (auto _ : state) {
        for (const auto& image : f.images) {
            const TRL8Banding& b = image->Banding();
            for (uint32_t i = 0; i < image->SegmentCount; ++i) {
                TRL8ImageSegment& seg = image->Segments()[i];
                const uint8_t* src = seg.Lock();
                if (seg.Flags & TRL8ImageSegment::kSimple)
                    TRL8Decoder::DecodeSimple(src, seg.DataSize(), out.data(), image->Width,
                                              b.Stride, b.RowsOf(i), seg.Escape1);
                else
                    TRL8Decoder::DecodeLineCodes(src, seg.DataSize(), out.data(), image->Width,
                                                 b.Stride, b.RowsOf(i), seg.Escape1, seg.Escape2,
                                                 !(seg.Flags & TRL8ImageSegment::kRawRows));
                seg.Unlock();
                benchmark::DoNotOptimize(out.data());
            }
        }
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * f.pixelBytes);
    state.counters["coded_ratio"] = double(f.codedBytes) / double(f.pixelBytes);
}
BENCHMARK(BM_Rl8DecodeSegments);

// What the game does: get every image of an open library (read the coded
// data from the library file, allocate the blocks, decode), then release it.
void BM_Rl8LibraryGetImage(benchmark::State& state) {
    const Fixture& f = Data();
    TRL8Library lib;
    lib.OpenStream(std::make_unique<plat::MemoryStream>(f.library), "bench.rl8");
    for (auto _ : state) {
        for (const auto& a : f.art) {
            TImageNode* node = lib.GetImage(a.name);
            benchmark::DoNotOptimize(node);
            lib.ReleaseImage(node);
        }
    }
    state.SetBytesProcessed(state.iterations() * f.pixelBytes);
}
BENCHMARK(BM_Rl8LibraryGetImage);

// The peer: libpng decoding the same pixels from level-9 indexed PNGs.
void BM_LibpngDecode(benchmark::State& state) {
    const Fixture& f = Data();
    Rl8Png::Image out;
    std::string error;
    int64_t pngBytes = 0;
    for (const auto& p : f.pngs)
        pngBytes += static_cast<int64_t>(p.size());
    for (auto _ : state) {
        for (const auto& p : f.pngs) {
            Rl8Png::Read(p, out, error);
            benchmark::DoNotOptimize(out.Pixels.data());
        }
    }
    state.SetBytesProcessed(state.iterations() * f.pixelBytes);
    state.counters["coded_ratio"] = double(pngBytes) / double(f.pixelBytes);
}
BENCHMARK(BM_LibpngDecode);

// Runs Work repeatedly for about Seconds.
void WarmUp(const std::function<void()>& work, double seconds) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < until)
        work();
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    const YarnsFixture& y = Yarns();
    if (y.ok) {
        TRL8Library lib;
        lib.Open(y.path);
        WarmUp(
            [&] {
                for (const auto& name : y.names)
                    lib.ReleaseImage(lib.GetImage(name));
            },
            0.5);
        Rl8Png::Image out;
        std::string error;
        WarmUp(
            [&] {
                for (const auto& p : y.pngs)
                    Rl8Png::Read(p, out, error);
            },
            0.5);
    }
    Data();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
