#include "ui/buttons/GlyphLayout.h"

namespace ui {

GlyphLayout LayOutGlyph(QSize client, QSize glyph, QSize text, TButtonLayout layout, int margin,
                        int spacing) {
  // An absent part (a default QSize is -1 by -1) takes no room.
  if (glyph.isEmpty()) glyph = QSize(0, 0);
  if (text.isEmpty()) text = QSize(0, 0);
  GlyphLayout result;
  const bool horizontal = layout == blGlyphLeft || layout == blGlyphRight;
  // Across the layout direction each part is centred on its own.
  if (horizontal) {
    result.Glyph.setY((client.height() - glyph.height() + 1) / 2);
    result.Text.setY((client.height() - text.height() + 1) / 2);
  } else {
    result.Glyph.setX((client.width() - glyph.width() + 1) / 2);
    result.Text.setX((client.width() - text.width() + 1) / 2);
  }
  if (text.isEmpty() || glyph.isEmpty()) spacing = 0;

  const int clientLength = horizontal ? client.width() : client.height();
  const int glyphLength = horizontal ? glyph.width() : glyph.height();
  const int textLength = horizontal ? text.width() : text.height();
  if (margin == -1) {
    if (spacing == -1) {
      margin = (clientLength - glyphLength - textLength) / 3;
      spacing = margin;
    } else {
      margin = (clientLength - (glyphLength + spacing + textLength) + 1) / 2;
    }
  } else if (spacing == -1) {
    spacing = (clientLength - (margin + glyphLength) - textLength) / 2;
  }

  switch (layout) {
    case blGlyphLeft:
      result.Glyph.setX(margin);
      result.Text.setX(margin + glyph.width() + spacing);
      break;
    case blGlyphRight:
      result.Glyph.setX(client.width() - margin - glyph.width());
      result.Text.setX(result.Glyph.x() - spacing - text.width());
      break;
    case blGlyphTop:
      result.Glyph.setY(margin);
      result.Text.setY(margin + glyph.height() + spacing);
      break;
    case blGlyphBottom:
      result.Glyph.setY(client.height() - margin - glyph.height());
      result.Text.setY(result.Glyph.y() - spacing - text.height());
      break;
  }
  return result;
}

}  // namespace ui
