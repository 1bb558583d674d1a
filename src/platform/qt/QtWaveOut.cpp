// A wave-out device on an audio output of the Qt platform.
#include "platform/qt/QtWaveOut.h"

#include <QCoreApplication>
#include <QMetaObject>

#include "platform/AudioOutput.h"

namespace plat {

QtWaveOut::QtWaveOut(std::shared_ptr<AudioOutput> output, std::weak_ptr<WaveOutWindow> window)
    : output_(std::move(output)) {
    output_->Attach([id = Id(), target = std::move(window)](WaveHeader* header) {
        QCoreApplication* app = QCoreApplication::instance();
        if (!app || target.expired())
            return;
        // Posted, never called: the receiver may be inside a call into this device.
        const WaveDoneMessage message{id, header};
        QMetaObject::invokeMethod(
            app, [target, message] { WaveOutWindow::Deliver(target, message); },
            Qt::QueuedConnection);
    });
}

QtWaveOut::~QtWaveOut() {
    if (output_) {
        Reset();
        Close();
    }
}

bool QtWaveOut::Write(WaveHeader& header) {
    if (!output_ || !(header.flags & kWhdrPrepared) || (header.flags & kWhdrInQueue))
        return false;
    header.flags = (header.flags & ~kWhdrDone) | kWhdrInQueue;
    if (!output_->Write(header)) {
        header.flags &= ~kWhdrInQueue;
        return false;
    }
    return true;
}

void QtWaveOut::Reset() {
    if (output_)
        output_->Reset();
}

bool QtWaveOut::Close() {
    if (!output_ || output_->Busy())
        return false;
    output_->Detach();
    output_.reset();
    return true;
}

bool QtWaveOut::BreakLoop() {
    if (output_)
        output_->BreakLoop();
    return true;
}

bool QtWaveOut::GetPosition(WavePosition& position) {
    position.unit = WavePosition::Unit::Milliseconds;
    position.value = output_ ? output_->PositionMs() : 0;
    return true;
}

} // namespace plat
