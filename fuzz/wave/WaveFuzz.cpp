// Fuzz target: loading a wave file into a sound node, and a play of it on the
// test device. A file is either refused with EAbort or loads with its samples
// inside the block.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "base/AbortException.h"
#include "platform/MemoryStream.h"
#include "platform/WaveOutService.h"
#include "sound/SoundNode.h"
#include "support/TestWaveOutService.h"

namespace {

struct Window : plat::WaveOutWindow {
    void WaveOutDone(const plat::WaveDoneMessage&) override {}
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A fresh device per input: the service records every device it opens.
    auto service = std::make_unique<fbwtest::TestWaveOutService>();
    fbwtest::TestWaveOutService* device = service.get();
    plat::SetWaveOutService(std::move(service));
    plat::MemoryStream stream(std::string(reinterpret_cast<const char*>(data), size));
    try {
        TSoundNode node(stream, 0, 1);
        if (node.DataSize() == 0 || node.DataSize() > size ||
            node.SoundBlock->Size() != node.DataSize() + TSoundNode::kDataOffset)
            std::abort();
        // Touch every sample, then play it through once.
        unsigned sum = 0;
        for (uint32_t i = 0; i < node.DataSize(); ++i)
            sum += node.Samples()[i];
        (void)sum;
        Window window;
        node.SetLoopCount(size % 3 + 1);
        if (node.Play(&window)) {
            while (device->FinishPass()) {
            }
            device->DeliverMessages();
        }
    } catch (const EAbort&) {
    }
    return 0;
}
