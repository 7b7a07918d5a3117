#pragma once
// Turning the program's colour values into Qt colours. System colour numbers resolve against the
// application palette, which the program's forms set to the classic desktop scheme its colour
// choices were made for (white shadowed text on the grey face, navy highlight...).
#include <QColor>
#include <QPalette>

#include "ui/markup/Colors.h"

namespace ui {

// The colour of system colour number n (0 .. 24, as in ui/markup/Colors.h); unknown numbers give
// the window text colour.
QColor SystemColor(int n);

// The classic scheme as a Qt palette: face 192 grey, shadow 128, highlight white, dark shadow
// black, light 223, navy selection.
QPalette ClassicPalette();
// Makes the classic palette the application's, once; the first form of the program calls it
// (and the program before it creates the image store, whose pictures take the face colour).
void InstallClassicPalette();

// A plain colour as is; a system colour through SystemColor.
QColor ToQColor(TColor color);

// The 32-bit value of a Qt colour (alpha dropped).
TColor FromQColor(const QColor& color);

// Bits per pixel of the primary screen (32 when there is none).
int ScreenColorDepth();

}  // namespace ui
