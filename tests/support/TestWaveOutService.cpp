// The test wave-out service and its devices.
#include "support/TestWaveOutService.h"

namespace fbwtest {

class TestWaveOutService::TestWaveOut : public plat::WaveOut {
public:
    TestWaveOut(std::shared_ptr<State> state, std::shared_ptr<Device> device)
        : state_(std::move(state)), device_(std::move(device)) {
        device_->id = Id();
    }
    ~TestWaveOut() override {
        if (device_->open) {
            Reset();
            Close();
        }
    }

    bool Prepare(plat::WaveHeader& header) override {
        return !state_->control.failPrepare && plat::WaveOut::Prepare(header);
    }
    bool Write(plat::WaveHeader& header) override {
        if (!(header.flags & plat::kWhdrPrepared) || (header.flags & plat::kWhdrInQueue) ||
            state_->control.failWrite)
            return false;
        header.flags = (header.flags & ~plat::kWhdrDone) | plat::kWhdrInQueue;
        if (device_->queue.empty())
            device_->passesLeft = plat::WaveOut::Passes(header);
        device_->queue.push_back(&header);
        ++device_->writes;
        return true;
    }
    void Reset() override {
        ++device_->resets;
        if (state_->control.duringReset)
            state_->control.duringReset();
        while (!device_->queue.empty()) {
            plat::WaveHeader* header = device_->queue.front();
            device_->queue.pop_front();
            header->flags = (header->flags & ~plat::kWhdrInQueue) | plat::kWhdrDone;
            Post(*state_, *device_, header);
        }
    }
    bool Close() override {
        if (!device_->queue.empty())
            return false;
        device_->open = false;
        return true;
    }
    bool BreakLoop() override {
        if (state_->control.failBreakLoop)
            return false;
        ++device_->breakLoops;
        if (!device_->queue.empty())
            device_->passesLeft = 1;
        return true;
    }
    bool GetPosition(plat::WavePosition& position) override {
        if (state_->control.failPosition)
            return false;
        position = state_->control.position;
        return true;
    }

    static void Post(State& state, const Device& device, plat::WaveHeader* header) {
        if (device.hasWindow)
            state.posted.push_back({device.window, {device.id, header}});
    }

private:
    std::shared_ptr<State> state_;
    std::shared_ptr<Device> device_;
};

TestWaveOutService::TestWaveOutService() : state_(std::make_shared<State>()) {}

int TestWaveOutService::DeviceCount() {
    return state_->control.devices;
}

std::unique_ptr<plat::WaveOut> TestWaveOutService::Open(const plat::WaveFormat& format,
                                                        plat::WaveOutWindow* window) {
    if (state_->control.devices <= 0 || state_->control.failOpen)
        return nullptr;
    auto device = std::make_shared<Device>();
    device->format = format;
    if (window) {
        device->window = window->Target();
        device->hasWindow = true;
    }
    state_->devices.push_back(device);
    return std::make_unique<TestWaveOut>(state_, device);
}

bool TestWaveOutService::EndHead(Device& device, bool wholeBuffer) {
    if (!wholeBuffer && device.passesLeft > 1) {
        --device.passesLeft;
        return true;
    }
    plat::WaveHeader* header = device.queue.front();
    device.queue.pop_front();
    header->flags = (header->flags & ~plat::kWhdrInQueue) | plat::kWhdrDone;
    TestWaveOut::Post(*state_, device, header);
    if (!device.queue.empty())
        device.passesLeft = plat::WaveOut::Passes(*device.queue.front());
    return true;
}

bool TestWaveOutService::FinishPass() {
    Device* device = Playing();
    return device && EndHead(*device, false);
}

bool TestWaveOutService::FinishBuffer() {
    Device* device = Playing();
    return device && EndHead(*device, true);
}

int TestWaveOutService::DeliverMessages() {
    int delivered = 0;
    while (!state_->posted.empty()) {
        Posted posted = state_->posted.front();
        state_->posted.pop_front();
        plat::WaveOutWindow::Deliver(posted.target, posted.message);
        ++delivered;
    }
    return delivered;
}

int TestWaveOutService::OpenDevices() const {
    int n = 0;
    for (const auto& device : state_->devices)
        n += device->open ? 1 : 0;
    return n;
}

TestWaveOutService::Device* TestWaveOutService::Playing() const {
    for (auto it = state_->devices.rbegin(); it != state_->devices.rend(); ++it)
        if ((*it)->open && !(*it)->queue.empty())
            return it->get();
    return nullptr;
}

} // namespace fbwtest
