// A small stand-in for libFuzzer's driver, so that every fuzz target gets a
// short run in the ordinary test suite: each seed of CORPUS, then COUNT
// deterministic mutations of the seeds (bit flips, cuts, insertions, random
// bytes). Any crash or sanitizer report fails the test.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s CORPUS [COUNT]\n", argv[0]);
        return 2;
    }
    long count = argc > 2 ? std::strtol(argv[2], nullptr, 10) : 1000;
    std::vector<std::string> seeds;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(argv[1], ec)) {
        std::ifstream f(e.path(), std::ios::binary);
        seeds.emplace_back(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    }
    if (seeds.empty())
        seeds.emplace_back();
    for (const auto& s : seeds)
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(s.data()), s.size());

    uint64_t x = 0x9E3779B97F4A7C15ull;
    auto next = [&x] {
        x ^= x << 13;
        x ^= x >> 7;
        x ^= x << 17;
        return x;
    };
    for (long i = 0; i < count; ++i) {
        std::string s = seeds[next() % seeds.size()];
        int edits = 1 + static_cast<int>(next() % 8);
        for (int e = 0; e < edits; ++e) {
            switch (next() % 5) {
            case 0:
                if (!s.empty())
                    s[next() % s.size()] ^= static_cast<char>(1u << (next() % 8));
                break;
            case 1:
                if (!s.empty())
                    s.resize(next() % s.size());
                break;
            case 2:
                s.insert(s.begin() + static_cast<long>(s.empty() ? 0 : next() % s.size()),
                         static_cast<char>(next()));
                break;
            case 3:
                if (!s.empty())
                    s[next() % s.size()] = static_cast<char>(next());
                break;
            default:
                if (!s.empty())
                    s[next() % s.size()] = static_cast<char>((next() & 1) ? 0xFF : 0x00);
                break;
            }
        }
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(s.data()), s.size());
    }
    std::printf("%zu seeds and %ld mutations ran\n", seeds.size(), count);
    return 0;
}
