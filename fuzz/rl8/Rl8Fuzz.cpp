// Fuzz target: opens an image library from the input, gets every image and
// its surface, draws it into a work surface and shows it on a memory target.
// Only the engine's own exception may come out of the library.
#include <cstdint>
#include <memory>
#include <string>

#include "image/RL8Lib.h"
#include "platform/MemoryDrawTarget.h"
#include "platform/MemoryStream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TRL8Library lib;
    try {
        lib.OpenStream(std::make_unique<plat::MemoryStream>(
                           std::string(reinterpret_cast<const char*>(data), size)),
                       "fuzz.rl8");
    } catch (const RL8Exception&) {
        return 0;
    }
    // Longer than any name a library file can hold, so that no record of the
    // input can be taken for the work image.
    TImageNode* work = lib.CreateImage("_work_surface", 123, 90);
    TRL8ImageData* ws = lib.GetImageData(work);
    plat::MemoryDrawTarget dc(64, 48);
    dc.SelectPalette(lib.GetHPal());
    const auto directory = lib.Directory();
    for (const auto& entry : directory) {
        try {
            TImageNode* node = lib.GetImage(entry.first);
            TRL8ImageData* s = lib.GetImageData(node);
            if (s && ws) {
                const TRect all = s->GetBounds();
                ws->Draw(TPoint{-3, 5}, *s, all);
                ws->Draw(TPoint{60, -7}, *s, TRect{-2, 1, all.Right - 1, all.Bottom + 4});
                s->DisplayRect(dc, TPoint{-1, 2}, TRect{0, all.Bottom / 3, all.Right, all.Bottom});
                s->SetDisplayKey(200);
                s->DisplayRect(dc, TPoint{5, 5}, all);
                lib.DrawImageAt(dc, TPoint{1, -1}, node);
            }
            lib.ReleaseImageData(node);
            lib.ReleaseImage(node);
        } catch (const RL8Exception&) {
        }
    }
    if (ws)
        ws->DisplayDamage(dc, TPoint{0, 0});
    lib.ReleaseImageData(work);
    lib.ReleaseImage(work);
    return 0;
}
