// TScaledControls: controls shown at a whole-number multiple of their size.
#include "ui/ScaledControls.h"

#include <QAbstractButton>
#include <QFrame>
#include <QRegularExpression>
#include <algorithm>

namespace {

// Style Sheet with every "<n>px" multiplied by Scale.
QString ScaledSheet(const QString& sheet, int scale) {
    static const QRegularExpression pixels(QStringLiteral("(\\d+)px"));
    QString out;
    qsizetype last = 0;
    for (auto it = pixels.globalMatch(sheet); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out += sheet.mid(last, m.capturedStart() - last);
        out += QString::number(m.captured(1).toLongLong() * scale) + QStringLiteral("px");
        last = m.capturedEnd();
    }
    return out + sheet.mid(last);
}

// Icon's pictures at Size, each pixel a Scale x Scale block.
QIcon ScaledIcon(const QIcon& icon, const QSize& size, int scale) {
    QIcon out;
    for (const QIcon::Mode mode : {QIcon::Normal, QIcon::Disabled}) {
        const QPixmap p = icon.pixmap(size, 1.0, mode);
        if (!p.isNull())
            out.addPixmap(p.scaled(p.size() * scale, Qt::IgnoreAspectRatio, Qt::FastTransformation),
                          mode);
    }
    return out;
}

} // namespace

void TScaledControls::Add(QWidget& control) {
    const auto take = [this](QWidget& w, bool isControl) {
        Entry e;
        e.widget = &w;
        e.control = isControl;
        e.geometry = w.geometry();
        e.font = w.font();
        if (const auto* frame = qobject_cast<QFrame*>(&w))
            e.lineWidth = frame->lineWidth();
        if (const auto* button = qobject_cast<QAbstractButton*>(&w)) {
            e.iconSize = button->iconSize();
            e.icon = button->icon();
        }
        e.styleSheet = w.styleSheet();
        entries_.push_back(std::move(e));
    };
    take(control, true);
    for (QWidget* child : control.findChildren<QWidget*>())
        take(*child, false);
}

void TScaledControls::Apply(int scale) {
    scale = std::max(scale, 1);
    if (scale == scale_)
        return;
    scale_ = scale;
    for (const Entry& e : entries_) {
        QWidget* w = e.widget;
        if (!w)
            continue;
        if (e.control)
            w->resize(e.geometry.size() * scale);
        else
            w->setGeometry(QRect(e.geometry.topLeft() * scale, e.geometry.size() * scale));
        // Every widget gets its font at the scale, inherited ones too, so
        // that one set on a control does not stand over its children's.
        QFont font = e.font;
        if (font.pixelSize() > 0)
            font.setPixelSize(font.pixelSize() * scale);
        else if (font.pointSizeF() > 0)
            font.setPointSizeF(font.pointSizeF() * scale);
        w->setFont(font);
        if (e.lineWidth >= 0)
            static_cast<QFrame*>(w)->setLineWidth(e.lineWidth * scale);
        if (e.iconSize.isValid()) {
            auto* button = static_cast<QAbstractButton*>(w);
            button->setIconSize(e.iconSize * scale);
            if (!e.icon.isNull())
                button->setIcon(scale == 1 ? e.icon : ScaledIcon(e.icon, e.iconSize, scale));
        }
        if (!e.styleSheet.isEmpty())
            w->setStyleSheet(ScaledSheet(e.styleSheet, scale));
    }
}
