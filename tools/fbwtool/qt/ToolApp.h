// The GUI application fbwtool's Qt parts run under: made once, on the
// offscreen platform unless another one is asked for, with Qt's warnings kept
// out of the tool's output.
#pragma once
#include <QGuiApplication>

QGuiApplication& ToolApp();
