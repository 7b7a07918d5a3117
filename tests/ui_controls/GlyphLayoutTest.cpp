// Placing glyph and caption on a bitmap-style button face.
#include <gtest/gtest.h>

#include "ui/buttons/GlyphLayout.h"

using namespace ui;

TEST(GlyphLayout, MarginAndSpacingRulesInEveryDirection) {
  const QSize client(100, 40), glyph(20, 16), text(30, 12);
  // Margin -1: the block glyph + spacing + caption is centred; across, each part on its own.
  GlyphLayout l = LayOutGlyph(client, glyph, text, blGlyphLeft, -1, 4);
  EXPECT_EQ(l.Glyph, QPoint((100 - 54 + 1) / 2, (40 - 16 + 1) / 2));
  EXPECT_EQ(l.Text, QPoint(l.Glyph.x() + 20 + 4, (40 - 12 + 1) / 2));

  // Both -1: the free room is split in three.
  l = LayOutGlyph(client, glyph, text, blGlyphLeft, -1, -1);
  EXPECT_EQ(l.Glyph.x(), 50 / 3);
  EXPECT_EQ(l.Text.x(), 50 / 3 + 20 + 50 / 3);

  // Spacing -1 alone: the caption is centred in the room after the glyph.
  l = LayOutGlyph(client, glyph, text, blGlyphLeft, 5, -1);
  EXPECT_EQ(l.Glyph.x(), 5);
  EXPECT_EQ(l.Text.x(), 5 + 20 + (100 - 25 - 30) / 2);

  l = LayOutGlyph(client, glyph, text, blGlyphRight, 3, 2);
  EXPECT_EQ(l.Glyph.x(), 100 - 3 - 20);
  EXPECT_EQ(l.Text.x(), 100 - 3 - 20 - 2 - 30);

  l = LayOutGlyph(QSize(60, 80), glyph, text, blGlyphTop, -1, 0);
  EXPECT_EQ(l.Glyph, QPoint((60 - 20 + 1) / 2, (80 - 28 + 1) / 2));
  EXPECT_EQ(l.Text, QPoint((60 - 30 + 1) / 2, l.Glyph.y() + 16));

  l = LayOutGlyph(QSize(60, 80), glyph, text, blGlyphBottom, 6, 3);
  EXPECT_EQ(l.Glyph.y(), 80 - 6 - 16);
  EXPECT_EQ(l.Text.y(), 80 - 6 - 16 - 3 - 12);

  // Without a caption the spacing does not count: the glyph alone is centred.
  l = LayOutGlyph(client, glyph, QSize(), blGlyphLeft, -1, 10);
  EXPECT_EQ(l.Glyph.x(), (100 - 20 + 1) / 2);
}
