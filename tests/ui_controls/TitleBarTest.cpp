// The title bar's gradient bands, bottom line, caption colours and icon room; the transparent
// image.
#include <gtest/gtest.h>

#include "TestWindow.h"
#include "ui/store/ImageStore.h"
#include "ui/store/SystemColors.h"
#include "ui/titlebar/TitleBar.h"
#include "ui/titlebar/TransImage.h"

using namespace ui;

TEST(TitleBar, GradientBandsAreContiguousAndChangeColourAtEveryBorder) {
  const auto bands = TTitleBar::GradientBands(Qt::black, Qt::white, 300);
  ASSERT_FALSE(bands.empty());
  EXPECT_LE(bands.size(), 256u);
  EXPECT_EQ(bands.front().Left, 0);
  EXPECT_EQ(bands.back().Right, 300);
  EXPECT_EQ(bands.front().Color, QColor(Qt::black));
  for (std::size_t i = 1; i < bands.size(); ++i) {
    EXPECT_EQ(bands[i].Left, bands[i - 1].Right);
    EXPECT_GT(bands[i].Color.red(), bands[i - 1].Color.red());
    EXPECT_EQ(bands[i].Color.red(), bands[i].Color.blue());
  }
  // Column x has the channel value trunc(x * 255 / 300) (up to the rounding of the sum).
  EXPECT_NEAR(bands.back().Color.red(), 254, 1);

  const auto same = TTitleBar::GradientBands(QColor(10, 20, 30), QColor(10, 20, 30), 200);
  ASSERT_EQ(same.size(), 1u);
  EXPECT_EQ(same[0].Left, 0);
  EXPECT_EQ(same[0].Right, 200);

  // Narrower than the colour difference: one band per column.
  EXPECT_EQ(TTitleBar::GradientBands(Qt::black, Qt::white, 50).size(), 50u);
  EXPECT_TRUE(TTitleBar::GradientBands(Qt::black, Qt::white, 0).empty());
}

TEST(TitleBar, PaintsTheBandsAndTheWhiteBottomLineOnlyWhenAlignedTop) {
  test::TestWindow window(300, 100);
  auto* bar = new TTitleBar(window.get());
  bar->setGeometry(0, 40, 300, 25);
  bar->SetStartColor(clBlack);
  bar->SetEndColor(clWhite);
  bar->SetPlainFill(false);
  window.Show();

  QImage image = bar->grab().toImage();
  const auto bands = TTitleBar::GradientBands(Qt::black, Qt::white, 300);
  for (const auto& band : bands)
    for (int x : {band.Left, band.Right - 1}) {
      ASSERT_EQ(image.pixelColor(x, 1), band.Color) << x;
      ASSERT_EQ(image.pixelColor(x, 24), band.Color) << x;  // full height: no line
    }

  bar->SetAlign(alTop);
  EXPECT_EQ(bar->geometry(), QRect(0, 0, 300, 25));  // takes the parent's top edge
  image = bar->grab().toImage();
  for (int x : {0, 150, 299}) {
    EXPECT_EQ(image.pixelColor(x, 24), QColor(Qt::white)) << x;
    EXPECT_EQ(image.pixelColor(x, 23), QColor(Qt::white)) << x;
  }
  EXPECT_EQ(image.pixelColor(0, 21), QColor(Qt::black));
  window.get()->resize(500, 100);
  EXPECT_EQ(bar->width(), 500);

  bar->SetPlainFill(true);
  bar->SetColor(RGBColor(0, 0, 128));
  image = bar->grab().toImage();
  EXPECT_EQ(image.pixelColor(5, 5), QColor(0, 0, 128));
  EXPECT_EQ(image.pixelColor(495, 5), QColor(0, 0, 128));
}

TEST(TitleBar, CaptionHasAOnePixelShadowAndTakesTheGrayedColour) {
  test::TestWindow window(300, 100);
  auto* bar = new TTitleBar(window.get());
  bar->resize(300, 25);
  bar->SetStartColor(RGBColor(0, 0, 128));
  bar->SetEndColor(RGBColor(0, 0, 128));
  bar->SetCaption(QStringLiteral("IIII"));
  window.Show();
  const QColor captionColor = ToQColor(clCaptionText);
  const QColor grayColor = ToQColor(clGrayText);
  ASSERT_NE(captionColor, grayColor);

  auto exact = [](const QImage& image, QColor color) {
    return test::CountPixels(image, [&](QRgb c) { return c == color.rgb(); });
  };
  QImage image = bar->grab().toImage();
  const int captionPixels = exact(image, captionColor);
  EXPECT_GT(captionPixels, 10);
  // The first pass, one pixel right and down, is the shadow in the font's colour (black).
  int shadowed = 0;
  for (int y = 0; y + 1 < image.height(); ++y)
    for (int x = 0; x + 1 < image.width(); ++x)
      if (image.pixelColor(x, y) == captionColor &&
          image.pixelColor(x + 1, y + 1) == QColor(Qt::black))
        ++shadowed;
  EXPECT_GT(shadowed, 0);

  bar->SetGrayed(true);
  image = bar->grab().toImage();
  EXPECT_EQ(exact(image, captionColor), 0);
  EXPECT_GT(exact(image, grayColor), 10);
}

TEST(TitleBar, IconStyleReservesRoomLeftOfTheCaption) {
  TTitleBar bar;
  bar.resize(300, 25);
  EXPECT_EQ(bar.IconRoom(), 0);
  EXPECT_EQ(bar.CaptionWidth(), 290);
  bar.SetIconStyle(isSearch);
  const int iconFace = DlgImageStore().Picture(QStringLiteral("IconFace")).width();
  ASSERT_EQ(iconFace, 56);
  EXPECT_EQ(bar.IconRoom(), 56 / 2 + 5);
  EXPECT_EQ(bar.CaptionWidth(), 300 - 33 - 10);
  bar.resize(200, 25);
  EXPECT_EQ(bar.CaptionWidth(), 200 - 33 - 10);
}

TEST(TransImage, ShowsTheParentThroughTheTransparentColourAndClipsWithoutAutoSize) {
  test::TestWindow window(100, 100);
  window.get()->setAutoFillBackground(true);
  QPalette palette = window.get()->palette();
  palette.setColor(QPalette::Window, QColor(0, 128, 0));
  window.get()->setPalette(palette);

  QImage picture(10, 6, QImage::Format_RGB32);
  picture.fill(QColor(255, 0, 255));      // transparent colour
  picture.setPixelColor(3, 2, Qt::blue);  // one opaque pixel
  picture.setPixelColor(9, 5, Qt::red);

  auto* image = new TTransImage(window.get());
  EXPECT_EQ(image->size(), QSize(24, 24));
  image->SetBitmap(picture);
  EXPECT_EQ(image->size(), QSize(10, 6));  // AutoSize
  window.Show();
  QImage shot = window.get()->grab(image->geometry()).toImage();
  EXPECT_EQ(shot.pixelColor(0, 0), QColor(0, 128, 0));
  EXPECT_EQ(shot.pixelColor(3, 2), QColor(Qt::blue));

  image->SetAutoSize(false);
  image->resize(5, 5);  // the top-left part, unscaled
  shot = window.get()->grab(image->geometry()).toImage();
  EXPECT_EQ(shot.size(), QSize(5, 5));
  EXPECT_EQ(shot.pixelColor(3, 2), QColor(Qt::blue));

  image->SetVisible(false);
  shot = window.get()->grab(image->geometry()).toImage();
  EXPECT_EQ(shot.pixelColor(3, 2), QColor(0, 128, 0));
}
