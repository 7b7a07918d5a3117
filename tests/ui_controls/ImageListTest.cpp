// The image list: strip growth, the size checks and their messages, masked drawing.
#include <gtest/gtest.h>

#include <QPainter>

#include "ui/imagelist/MImageList.h"

using namespace ui;

namespace {

QImage Solid(int width, int height, QColor color) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(color);
  return image;
}

std::string MessageOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const EInvalidGraphicOperation& e) {
    return e.what();
  }
  return "no error";
}

}  // namespace

TEST(ImageList, SizeChecksRaiseTheirMessagesBeforeAnythingChanges) {
  EXPECT_EQ(MessageOf([] { TMImageList(0, 16); }), "Invalid image size");
  EXPECT_EQ(MessageOf([] { TMImageList(16, -1); }), "Invalid image size");

  TMImageList list(16, 16);
  EXPECT_EQ(MessageOf([&] { list.AddMasked(Solid(16, 15, Qt::red), Qt::white); }),
            "Image dimensions do not match image list dimensions");
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.NextPosition(), 0);
  EXPECT_EQ(list.AddMasked(Solid(16, 16, Qt::red), Qt::white), 0);
  EXPECT_EQ(MessageOf([&] { list.Replace(0, QImage(), Solid(15, 16, Qt::white)); }),
            "Image dimensions do not match image list dimensions");
  EXPECT_TRUE(list.HasMask(0));
  EXPECT_THROW(list.Replace(3, Solid(16, 16, Qt::red), QImage()), std::out_of_range);
}

TEST(ImageList, StripGrowsByFourImagesAndRefusesBeyond32768Pixels) {
  TMImageList list(16, 16);
  EXPECT_EQ(list.ImageStrip().width(), 0);
  list.AddMasked(Solid(16, 16, Qt::red), Qt::white);
  EXPECT_EQ(list.ImageStrip().width(), 64);
  for (int i = 1; i < 4; ++i) list.AddMasked(Solid(16, 16, Qt::red), Qt::white);
  EXPECT_EQ(list.ImageStrip().width(), 64);
  EXPECT_EQ(list.AddMasked(Solid(16, 16, Qt::blue), Qt::white), 4);
  EXPECT_EQ(list.ImageStrip().width(), 128);
  EXPECT_EQ(list.MaskStrip().size(), list.ImageStrip().size());
  EXPECT_EQ(list.ImageStrip().pixelColor(64, 0), QColor(Qt::blue));
  EXPECT_EQ(list.ImageStrip().pixelColor(63, 0), QColor(Qt::red));  // old images kept

  TMImageList wide(8192, 1);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(wide.AddMasked(Solid(8192, 1, Qt::red), Qt::white), i);
  EXPECT_EQ(MessageOf([&] { wide.AddMasked(Solid(8192, 1, Qt::red), Qt::white); }),
            "Too many images");
  EXPECT_EQ(wide.Count(), 4);
  EXPECT_EQ(wide.NextPosition(), 5 * 8192);
  EXPECT_EQ(wide.ImageStrip().width(), 32768);
}

TEST(ImageList, MaskedImagesLeaveTheTargetWhereTheMaskColourWas) {
  TMImageList list(4, 2);
  QImage picture = Solid(4, 2, Qt::white);
  picture.setPixelColor(1, 0, Qt::red);
  picture.setPixelColor(2, 1, Qt::black);  // black is opaque too
  const int masked = list.AddMasked(picture, Qt::white);
  // The stored image is black where it is transparent.
  EXPECT_EQ(list.ImageStrip().pixelColor(0, 0), QColor(Qt::black));

  const int plainIndex = list.AddMasked(picture, Qt::white);
  list.Replace(plainIndex, picture, QImage());  // the same picture without a mask
  EXPECT_FALSE(list.HasMask(plainIndex));

  QImage target = Solid(10, 4, Qt::green);
  {
    QPainter painter(&target);
    list.Draw(painter, 1, 1, masked);
    list.Draw(painter, 5, 1, plainIndex);
    list.Draw(painter, 0, 0, 17);  // out of range: nothing
  }
  EXPECT_EQ(target.pixelColor(1, 1), QColor(Qt::green));
  EXPECT_EQ(target.pixelColor(2, 1), QColor(Qt::red));
  EXPECT_EQ(target.pixelColor(3, 2), QColor(Qt::black));
  EXPECT_EQ(target.pixelColor(4, 2), QColor(Qt::green));
  EXPECT_EQ(target.pixelColor(0, 0), QColor(Qt::green));
  EXPECT_EQ(target.pixelColor(5, 1), QColor(Qt::white));  // no mask: a plain copy
  EXPECT_EQ(target.pixelColor(6, 1), QColor(Qt::red));
}
