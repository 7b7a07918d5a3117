#pragma once
// Turning the program's colour values into Qt colours. System colour numbers resolve against the
// application palette, so the controls follow the user's colour scheme.
#include <QColor>

#include "ui/markup/Colors.h"

namespace ui {

// The colour of system colour number n (0 .. 24, as in ui/markup/Colors.h); unknown numbers give
// the window text colour.
QColor SystemColor(int n);

// A plain colour as is; a system colour through SystemColor.
QColor ToQColor(TColor color);

// The 32-bit value of a Qt colour (alpha dropped).
TColor FromQColor(const QColor& color);

// Bits per pixel of the primary screen (32 when there is none).
int ScreenColorDepth();

}  // namespace ui
