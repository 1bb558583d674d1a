// The drawing target of the Qt platform: palette-index transfers applied to a
// QImage (32-bit formats directly, others through a painter) or to whatever a
// QPainter paints on (a widget, a printer), with the raster operations mapped
// to the painter's composition modes. The image or painter is not owned and
// must outlive the target.
#pragma once
#include <QImage>
#include <QPainter>

#include "platform/DrawTarget.h"

namespace plat {

class QtDrawTarget : public DrawTarget {
public:
    explicit QtDrawTarget(QImage& image);
    explicit QtDrawTarget(QPainter& painter);

protected:
    void Blit(int x, int y, int w, int h, const uint8_t* topRow, std::ptrdiff_t rowStep,
              const uint32_t (&lut)[256], RasterOp op) override;

private:
    void BlitWithPainter(QPainter& painter, int x, int y, int w, int h, const uint8_t* topRow,
                         std::ptrdiff_t rowStep, const uint32_t (&lut)[256], RasterOp op);

    QImage* image_ = nullptr;
    QPainter* painter_ = nullptr;
};

} // namespace plat
