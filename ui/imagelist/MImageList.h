#pragma once
// TMImageList: equally sized images side by side in one strip, each with an optional mask in
// a second strip, drawn transparently where the mask is white.

#include <QColor>
#include <QImage>
#include <cstdint>
#include <stdexcept>
#include <vector>

class QPainter;

namespace ui {

// Failures of graphics operations ("Invalid image size", "Too many images", "Image
// dimensions do not match image list dimensions").
class EInvalidGraphicOperation : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TMImageList {
 public:
  // Both at least 1, else EInvalidGraphicOperation("Invalid image size").
  TMImageList(int width, int height);

  int Width() const { return m_width; }
  int Height() const { return m_height; }
  int Count() const { return static_cast<int>(m_entries.size()); }

  // Stores `bitmap` with a mask where its pixels of `maskColor` are transparent; returns the
  // new image's index.
  int AddMasked(const QImage& bitmap, QColor maskColor);
  void ReplaceMasked(int index, const QImage& bitmap, QColor maskColor);
  // Stores the image and the mask (white = transparent); a null image or mask is skipped.
  void Replace(int index, const QImage& image, const QImage& mask);

  // Draws image `index` with its top-left corner at (x, y); an index out of range draws
  // nothing.
  void Draw(QPainter& canvas, int x, int y, int index) const;

  // The strips and the entries, for inspection.
  const QImage& ImageStrip() const { return m_images; }
  const QImage& MaskStrip() const { return m_masks; }
  int NextPosition() const { return m_nextPosition; }
  bool HasMask(int index) const;

 private:
  int TakePosition();
  void CheckSize(const QImage& image) const;
  void CheckIndex(int index) const;

  static constexpr int kGrowth = 4;
  static constexpr int kMaxStripWidth = 32768;

  int m_width;
  int m_height;
  QImage m_images;  // ARGB, Height high
  QImage m_masks;   // same size once any mask is stored; white = transparent
  int m_nextPosition = 0;
  std::vector<std::uint32_t> m_entries;  // bits 0..15 x offset, bit 16 has a mask
};

}  // namespace ui
