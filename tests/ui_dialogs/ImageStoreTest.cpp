// The image store: every picture at its size, small marks by number, the adaptation to the
// user's colours on deep displays, seamless skins.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPalette>

#include "ui/store/ImageStore.h"
#include "ui/store/SystemColors.h"

namespace ui {
namespace {

const QRgb kDesignedBack = qRgb(240, 240, 240);

TEST(ImageStore, EveryPictureIsDrawnAtItsSize) {
  const TMesaj store(32);
  EXPECT_EQ(TMesaj::Catalogue().size(), 79u);
  for (const auto& spec : TMesaj::Catalogue()) {
    const QString name = QString::fromLatin1(spec.Name);
    // The PNG itself, not the blank stand-in the store uses when one is missing.
    const QImage file(":/pictures/" + name + ".png");
    ASSERT_FALSE(file.isNull()) << spec.Name;
    EXPECT_EQ(file.size(), QSize(spec.Width, spec.Height)) << spec.Name;
    if (name == "Tarvex" || name == "Logo") {
      EXPECT_TRUE(store.Picture(name).isNull()) << "brand pictures only by number";
      continue;
    }
    EXPECT_EQ(store.Picture(name).size(), QSize(spec.Width, spec.Height)) << spec.Name;
  }
  EXPECT_EQ(store.Picture("Warning").size(), QSize(42, 64));
  EXPECT_EQ(store.Picture("nPrev").size(), QSize(36, 20));
  EXPECT_EQ(store.Picture("BIntr").size(), QSize(123, 26));
  EXPECT_TRUE(store.Picture("NoSuchPicture").isNull());
  // Glyph strips hold three equal cells.
  for (const char* glyph : {"OK", "Cancel", "Nu", "Help", "BIntr", "nNext", "Avansat"})
    EXPECT_EQ(store.Picture(glyph).width() % 3, 0) << glyph;
}

TEST(ImageStore, SmallMarksByNumber) {
  const TMesaj store(32);
  EXPECT_EQ(store.SmallMark(5), store.Picture("Radio"));
  EXPECT_EQ(store.SmallMark(133), store.SmallMark(5));  // top bit ignored
  EXPECT_EQ(store.SmallMark(2), store.Picture("Surub"));
  EXPECT_EQ(store.SmallMark(17), store.Picture("Buget"));
  EXPECT_EQ(store.SmallMark(16).size(), QSize(102, 32));  // Tarvex
  EXPECT_EQ(store.SmallMark(14).size(), QSize(165, 25));  // Logo
  EXPECT_TRUE(store.SmallMark(18).isNull());
  EXPECT_TRUE(store.SmallMark(255).isNull());
  EXPECT_TRUE(store.SmallMark(-1).isNull());
}

TEST(ImageStore, DeepDisplaysTakeTheButtonFaceColour) {
  QPalette saved = QApplication::palette();
  QPalette pal = saved;
  pal.setColor(QPalette::Button, QColor(200, 220, 255));
  QApplication::setPalette(pal);
  const TMesaj shallow(8), deep(24);
  const QRgb face = QColor(200, 220, 255).rgb();
  for (const char* name : {"OK", "Warning", "Radio", "Surub", "ButtonFace"}) {
    EXPECT_EQ(shallow.Picture(name).pixel(0, 0), kDesignedBack) << name;
    EXPECT_EQ(deep.Picture(name).pixel(0, 0), face) << name;
  }
  // Large backgrounds stay as drawn.
  for (const char* name : {"ImageDate", "ImageListe", "StopModi", "Hartie", "Mijloc"})
    EXPECT_EQ(deep.Picture(name), shallow.Picture(name)) << name;
  // The skin's shading follows the face colour: the middle of the normal face is tinted blue.
  const QRgb mid = deep.Picture("ButtonFace").pixel(30, 14);
  EXPECT_GT(qBlue(mid), qRed(mid));
  // Nothing drawn turned into the transparent colour.
  for (const char* name : {"ButtonFace", "LookupFace", "OK", "Warning"}) {
    const QImage& s = shallow.Picture(name);
    const QImage& d = deep.Picture(name);
    for (int y = 0; y < s.height(); ++y)
      for (int x = 0; x < s.width(); ++x)
        if (s.pixel(x, y) != kDesignedBack) {
          ASSERT_NE(d.pixel(x, y), face) << name << x << y;
        }
  }
  QApplication::setPalette(saved);
}

TEST(ImageStore, SkinTilesWithoutSeams) {
  const TMesaj store(32);
  const QImage& skin = store.Picture("ButtonFace");
  ASSERT_EQ(skin.size(), QSize(180, 28));
  const int w = 20;
  for (int state = 0; state < 3; ++state) {
    const int left = state * 3 * w, middle = left + w, right = middle + w;
    for (int y = 0; y < skin.height(); ++y) {
      const QRgb column = skin.pixel(middle, y);
      for (int x = middle; x < middle + w; ++x) ASSERT_EQ(skin.pixel(x, y), column) << state;
      // The ends meet the middle with the same column.
      EXPECT_EQ(skin.pixel(left + w - 1, y), column) << state << " y " << y;
      EXPECT_EQ(skin.pixel(right, y), column) << state << " y " << y;
    }
    // The corners are transparent; the face is not.
    EXPECT_EQ(skin.pixel(left, 0), skin.pixel(0, 0));
    EXPECT_NE(skin.pixel(middle, 14), skin.pixel(0, 0));
  }
}

TEST(ImageStore, TransparencyComesFromTheTopLeftPixel) {
  const TMesaj store(8);
  const QImage masked = TMesaj::WithTransparency(store.Picture("Error"));
  EXPECT_EQ(qAlpha(masked.pixel(0, 0)), 0);
  EXPECT_EQ(qAlpha(masked.pixel(21, 31)), 255);  // the middle of the disc
  EXPECT_EQ(TMesaj::TransparentColor(store.Picture("Error")), QColor(240, 240, 240));
  EXPECT_FALSE(store.TransparentPixmap("OK").isNull());
  EXPECT_TRUE(store.TransparentPixmap("Nothing").isNull());
}

TEST(SystemColors, PlainAndSystemValues) {
  EXPECT_EQ(ToQColor(clRed), QColor(255, 0, 0));
  EXPECT_EQ(ToQColor(RGBColor(1, 2, 3)), QColor(1, 2, 3));
  EXPECT_EQ(ToQColor(clBtnFace), QApplication::palette().color(QPalette::Button));
  EXPECT_EQ(ToQColor(clHighlight), QApplication::palette().color(QPalette::Highlight));
  EXPECT_EQ(FromQColor(QColor(10, 20, 30)), RGBColor(10, 20, 30));
}

}  // namespace
}  // namespace ui
