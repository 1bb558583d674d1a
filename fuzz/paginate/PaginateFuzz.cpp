// Fuzz target: fbwtool paginate's arguments and file. The input's lines up to
// its first zero byte are the arguments, the rest is the file. Parsing never
// crashes and either fails with a message or gives values in range; a fixed
// canvas request then lays the file out, and every listed line lies inside
// the laid-out text.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "PaginateInput.h"
#include "platform/FixedCanvas.h"

namespace {
void Check(bool ok) {
    if (!ok)
        std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t zero = input.find('\0');
    const std::string head = input.substr(0, zero);
    const std::string file = zero == std::string::npos ? std::string() : input.substr(zero + 1);
    Args args;
    for (std::size_t start = 0;;) {
        const std::size_t end = head.find('\n', start);
        args.push_back(head.substr(start, end - start));
        if (end == std::string::npos)
            break;
        start = end + 1;
    }

    PaginateRequest r;
    std::string error;
    if (!ParsePaginateArgs(args, r, error)) {
        Check(!error.empty());
        return 0;
    }
    Check(r.width >= 0 && r.width <= kPaginateMaxPixels && r.height >= 0 &&
          r.height <= kPaginateMaxPixels && r.marginX >= 0 && r.marginY >= 0);
    if (!r.fixed) {
        Check(r.points >= 1 && r.dpi >= 1);
        return 0;
    }
    Check(r.charWidth >= 0 && r.lineHeight >= 0);
    plat::FixedCanvas canvas(r.charWidth, r.lineHeight);
    const std::string text = PaginateText(r, file);
    const std::string out = PaginateListing(r, canvas, text);
    // Each listed line: OFFSET LENGTH, a tab and that slice of the text.
    for (std::size_t at = 0; at < out.size();) {
        if (out.compare(at, 5, "page ") == 0) {
            at = out.find('\n', at);
            Check(at != std::string::npos);
            ++at;
            continue;
        }
        char* after = nullptr;
        const unsigned long long off = std::strtoull(out.c_str() + at, &after, 10);
        const unsigned long long len = std::strtoull(after, &after, 10);
        Check(*after == '\t' && off <= text.size() && len <= text.size() - off);
        const std::size_t body = static_cast<std::size_t>(after - out.c_str()) + 1;
        Check(out.compare(body, len, text, off, len) == 0 && out[body + len] == '\n');
        at = body + len + 1;
    }
    return 0;
}
