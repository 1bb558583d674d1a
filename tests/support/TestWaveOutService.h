// A wave-out service for tests: devices that play nothing. A written buffer
// completes a pass only when the test says so (FinishPass), and done messages
// wait in a queue until the test runs the message loop (DeliverMessages), as
// a real device's posted messages wait for the event loop. Failures of every
// device call can be switched on, and every opened device is recorded.
#pragma once
#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include "platform/WaveOutService.h"

namespace fbwtest {

class TestWaveOutService : public plat::WaveOutService {
public:
    // What the test switches.
    struct Control {
        int devices = 1;
        bool failOpen = false;
        bool failPrepare = false;
        bool failWrite = false;
        bool failBreakLoop = false;
        bool failPosition = false;
        plat::WavePosition position; // the answer of GetPosition
        // Runs inside every Reset, before the buffers end: a device whose
        // closing runs the event loop (as an audio server's output may), so
        // that a test can handle a click or a message there.
        std::function<void()> duringReset;
    };
    // The record of one opened device.
    struct Device {
        uint64_t id = 0;
        plat::WaveFormat format{};
        std::weak_ptr<plat::WaveOutWindow> window; // expired or empty: messages are dropped
        bool hasWindow = false;
        bool open = true;
        std::deque<plat::WaveHeader*> queue; // written, not yet done; the head plays
        uint32_t passesLeft = 0;             // of the head buffer
        int writes = 0;
        int resets = 0;
        int breakLoops = 0;
    };

    TestWaveOutService();

    Control& Controls() { return state_->control; }
    int DeviceCount() override;
    std::unique_ptr<plat::WaveOut> Open(const plat::WaveFormat& format,
                                        plat::WaveOutWindow* window) override;

    // The head buffer of the open device plays one pass; after its last pass
    // it is done and its message posted. False when no buffer plays.
    bool FinishPass();
    // The head buffer plays to its end whatever passes it has left.
    bool FinishBuffer();
    // The message loop: delivers the posted messages in order, and those
    // posted meanwhile, until none is left; returns how many it took from the
    // queue (messages to destroyed windows are dropped).
    int DeliverMessages();
    std::size_t PendingMessages() const { return state_->posted.size(); }

    // Every device opened through this service, oldest first.
    const std::vector<std::shared_ptr<Device>>& Devices() const { return state_->devices; }
    int OpenDevices() const;
    // The open device that has a buffer queued; nullptr when none.
    Device* Playing() const;

    // Records the wish; the test devices have no output to keep.
    void KeepOutputOpen(bool keep) override { keepOutput_ = keep; }
    bool KeepsOutputOpen() const { return keepOutput_; }

private:
    struct Posted {
        std::weak_ptr<plat::WaveOutWindow> target;
        plat::WaveDoneMessage message;
    };
    // Shared with the devices, which may outlive the service.
    struct State {
        Control control;
        std::vector<std::shared_ptr<Device>> devices;
        std::deque<Posted> posted;
    };
    class TestWaveOut;
    bool EndHead(Device& device, bool wholeBuffer);
    std::shared_ptr<State> state_;
    bool keepOutput_ = false;
};

} // namespace fbwtest
