#pragma once
// Placing a glyph and a one-line caption on a button face, like a bitmap button does.

#include <QPoint>
#include <QSize>

#include "ui/buttons/MButton.h"

namespace ui {

struct GlyphLayout {
  QPoint Glyph;
  QPoint Text;
};

// `glyph` and `text` are empty when absent. Margin -1 centres the glyph-spacing-caption
// block; Spacing -1 centres the caption in the room after the glyph; both -1 split the free
// room in three.
GlyphLayout LayOutGlyph(QSize client, QSize glyph, QSize text, TButtonLayout layout, int margin,
                        int spacing);

}  // namespace ui
