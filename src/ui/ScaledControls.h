// TScaledControls: a window's controls shown at a whole-number multiple of
// the size they were built at. Each control and every widget inside it keep
// their built size, places inside their control, fonts, frame lines, icon
// sizes and pictures and style-sheet pixels; a scale multiplies them all
// (pictures in whole-pixel blocks). Where a control
// itself stands is the window's to decide.
#pragma once
#include <QFont>
#include <QIcon>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QString>
#include <QWidget>
#include <vector>

class TScaledControls {
public:
    // Takes Control (and what is inside it) as it stands now, at scale 1.
    // The widgets must outlive this object or be destroyed with their window
    // (a widget that went is left alone).
    void Add(QWidget& control);
    // Shows every control taken at Scale (at least 1); nothing when it is
    // already shown so.
    void Apply(int scale);
    int Scale() const { return scale_; }

private:
    struct Entry {
        QPointer<QWidget> widget;
        bool control = false; // a control taken: its place is the window's
        QRect geometry;
        QFont font;
        int lineWidth = -1; // frames only
        QSize iconSize;     // buttons only
        QIcon icon;         // its pictures, grown in whole-pixel blocks
        QString styleSheet;
    };
    std::vector<Entry> entries_;
    int scale_ = 1;
};
