#include "ui/imagelist/MImageList.h"

#include <QPainter>
#include <stdexcept>

namespace ui {

namespace {

constexpr std::uint32_t kOffsetBits = 0xFFFF;
constexpr std::uint32_t kMaskBit = 1u << 16;
constexpr QRgb kWhite = 0xFFFFFFFFu;
constexpr QRgb kBlack = 0xFF000000u;

// A monochrome mask as this list stores it: white (transparent) where `picture` has `white`,
// black elsewhere.
QImage MonochromeOf(const QImage& picture, QRgb white) {
  QImage mask(picture.size(), QImage::Format_RGB32);
  const QImage source = picture.convertToFormat(QImage::Format_RGB32);
  for (int y = 0; y < source.height(); ++y) {
    const auto* in = reinterpret_cast<const QRgb*>(source.constScanLine(y));
    auto* out = reinterpret_cast<QRgb*>(mask.scanLine(y));
    for (int x = 0; x < source.width(); ++x)
      out[x] = (in[x] | kBlack) == (white | kBlack) ? kWhite : kBlack;
  }
  return mask;
}

// `strip` widened to `width`, its old content kept and the new room black.
QImage Widened(const QImage& strip, int width, int height) {
  QImage wider(width, height, QImage::Format_RGB32);
  wider.fill(kBlack);
  if (!strip.isNull()) {
    QPainter painter(&wider);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(0, 0, strip);
  }
  return wider;
}

void Paste(QImage& strip, int x, const QImage& picture) {
  QPainter painter(&strip);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  painter.drawImage(x, 0, picture.convertToFormat(QImage::Format_RGB32));
}

}  // namespace

TMImageList::TMImageList(int width, int height) : m_width(width), m_height(height) {
  if (width < 1 || height < 1) throw EInvalidGraphicOperation("Invalid image size");
}

void TMImageList::CheckSize(const QImage& image) const {
  if (image.isNull()) return;
  if (image.width() != m_width || image.height() != m_height)
    throw EInvalidGraphicOperation("Image dimensions do not match image list dimensions");
}

void TMImageList::CheckIndex(int index) const {
  if (index < 0 || index >= Count()) throw std::out_of_range("Image index out of range");
}

bool TMImageList::HasMask(int index) const {
  return index >= 0 && index < Count() && (m_entries[index] & kMaskBit) != 0;
}

int TMImageList::TakePosition() {
  const int offset = m_nextPosition;
  m_nextPosition += m_width;
  if (m_images.width() < m_nextPosition) {
    const int wider = m_images.width() + kGrowth * m_width;
    if (wider > kMaxStripWidth) throw EInvalidGraphicOperation("Too many images");
    m_images = Widened(m_images, wider, m_height);
  }
  m_entries.push_back(static_cast<std::uint32_t>(offset) & kOffsetBits);
  return Count() - 1;
}

int TMImageList::AddMasked(const QImage& bitmap, QColor maskColor) {
  CheckSize(bitmap);
  const int index = TakePosition();
  ReplaceMasked(index, bitmap, maskColor);
  return index;
}

void TMImageList::ReplaceMasked(int index, const QImage& bitmap, QColor maskColor) {
  CheckIndex(index);
  CheckSize(bitmap);
  if (bitmap.isNull()) {
    Replace(index, {}, {});
    return;
  }
  const QImage mask = MonochromeOf(bitmap, maskColor.rgb());
  // The stored image is black where the mask is white, so that drawing can combine them.
  QImage image = bitmap.convertToFormat(QImage::Format_RGB32);
  for (int y = 0; y < image.height(); ++y) {
    auto* pixels = reinterpret_cast<QRgb*>(image.scanLine(y));
    const auto* maskPixels = reinterpret_cast<const QRgb*>(mask.constScanLine(y));
    for (int x = 0; x < image.width(); ++x)
      if (maskPixels[x] == kWhite) pixels[x] = kBlack;
  }
  Replace(index, image, mask);
}

void TMImageList::Replace(int index, const QImage& image, const QImage& mask) {
  CheckIndex(index);
  CheckSize(image);
  CheckSize(mask);
  const int offset = static_cast<int>(m_entries[index] & kOffsetBits);
  if (!image.isNull()) Paste(m_images, offset, image);
  if (!mask.isNull()) {
    if (m_masks.size() != m_images.size()) m_masks = Widened(m_masks, m_images.width(), m_height);
    Paste(m_masks, offset, MonochromeOf(mask, kWhite));
    m_entries[index] |= kMaskBit;
  } else {
    m_entries[index] &= ~kMaskBit;
  }
}

void TMImageList::Draw(QPainter& canvas, int x, int y, int index) const {
  if (index < 0 || index >= Count()) return;
  const int offset = static_cast<int>(m_entries[index] & kOffsetBits);
  const QRect source(offset, 0, m_width, m_height);
  if (!HasMask(index)) {
    canvas.drawImage(QPoint(x, y), m_images, source);
    return;
  }
  // Where the mask is white the target stays as it was; elsewhere the image covers it.
  QImage picture = m_images.copy(source).convertToFormat(QImage::Format_ARGB32);
  const QImage mask = m_masks.copy(source);
  for (int row = 0; row < m_height; ++row) {
    auto* pixels = reinterpret_cast<QRgb*>(picture.scanLine(row));
    const auto* maskPixels = reinterpret_cast<const QRgb*>(mask.constScanLine(row));
    for (int column = 0; column < m_width; ++column)
      if (maskPixels[column] == kWhite) pixels[column] = 0;
  }
  const QPainter::CompositionMode mode = canvas.compositionMode();
  canvas.setCompositionMode(QPainter::CompositionMode_SourceOver);
  canvas.drawImage(QPoint(x, y), picture);
  canvas.setCompositionMode(mode);
}

}  // namespace ui
