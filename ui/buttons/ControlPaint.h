#pragma once
// Drawing helpers shared by the buttons, the title bar, the transparent image and the radio
// controls: colour resolution, pictures of the image store, transparent copies and the
// bevelled push-button face.

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRect>

#include "ui/markup/Colors.h"
#include "ui/store/SystemColors.h"

class QPainter;

namespace ui {

// A picture of the image store by name; an empty image when the store lacks it.
QImage StorePicture(const char* name);

// Copies `source` of `picture` to `dest`, leaving the target unchanged where the picture has
// its transparent colour.
void DrawTransparent(QPainter& painter, QPoint dest, const QImage& picture, QRect source);

// The classic raised push-button face filling `rect`: `bevel` pixels of light and shadow
// edges (1 in the new look, 2 in the old), sunken when `pressed`, with the black default
// frame around it when `defaultFrame`.
void DrawButtonFace(QPainter& painter, QRect rect, QColor face, int bevel, bool pressed,
                    bool defaultFrame);

}  // namespace ui
