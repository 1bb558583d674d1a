// RealizeFormPalette over a drawing target that each form keeps.
#include "ui/FormPalette.h"

#include <QImage>
#include <QObject>
#include <QWidget>
#include <memory>

#include "image/RL8Library.h"
#include "platform/Screen.h"
#include "platform/qt/QtDrawTarget.h"

namespace {
// The form's palette state: a drawing target whose realisation count tells
// what changed since the form last realised. A child of the form, so it goes
// with it.
class TFormPaletteState : public QObject {
public:
    explicit TFormPaletteState(QObject* parent)
        : QObject(parent), image_(1, 1, QImage::Format_RGB32),
          target_(std::make_unique<plat::QtDrawTarget>(image_)) {
        setObjectName("FormPaletteState");
    }
    plat::DrawTarget& Target() { return *target_; }

private:
    QImage image_;
    std::unique_ptr<plat::QtDrawTarget> target_;
};
} // namespace

int RealizeFormPalette(QWidget* form, TRL8Library* library) {
    if (!form || !library || !library->IsOpen())
        return 0;
    const plat::LogPalette* palette = library->GetHPal();
    if (!palette)
        return 0;
    auto* state = dynamic_cast<TFormPaletteState*>(
        form->findChild<QObject*>("FormPaletteState", Qt::FindDirectChildrenOnly));
    if (!state)
        state = new TFormPaletteState(form); // owned by the form
    plat::DrawTarget& target = state->Target();
    const plat::LogPalette* previous = target.SelectPalette(palette);
    int changed = target.RealizePalette();
    if (plat::ScreenColourDepth() > 8)
        changed = 0;
    if (changed != 0)
        form->update();
    target.SelectPalette(previous);
    return changed;
}
