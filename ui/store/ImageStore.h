#pragma once
// The image store: every picture that the program's own controls and dialogs draw (message
// icons, button glyphs, button skins, the radio glyph, small marks), loaded once from the
// compiled-in PNG resources. The colour of a picture's top-left pixel is its transparent colour.
//
// On displays deeper than 8 bits per pixel the store adapts the pictures to the user's colours
// at creation: glyph backgrounds (the top-left colour) become the button-face colour, and the
// shading of the skins ButtonFace and LookupFace is re-derived between white and the button
// face. The large backgrounds (ImageDate, ImageListe, StopModi, Hartie, Mijloc) stay as drawn.
//
// Usage:
//   const QImage& icon = ui::DlgImageStore().Picture("Warning");     // 42 x 64
//   QPixmap glyph = ui::DlgImageStore().TransparentPixmap("OK");    // background alpha 0
//   const QImage& radio = ui::DlgImageStore().SmallMark(5);          // "Radio"
// Unknown names and numbers give an empty (null) image, which draws nothing.
#include <QImage>
#include <QPixmap>
#include <QSize>
#include <QString>
#include <map>
#include <vector>

namespace ui {

class TMesaj {
 public:
  // Loads every picture; `colorDepth` is the display's bits per pixel (the process-wide store
  // reads it from the primary screen).
  explicit TMesaj(int colorDepth);

  // The picture of that name (case-sensitive, as listed in Catalogue()), or a null image.
  const QImage& Picture(const QString& name) const;

  // Small mark by number (0 Permis, 1 Interzis, 2 Surub, 3 Linii, 4 Check, 5 Radio, 6 Anulat,
  // 7 GrupX, 8 Grup0, 9 crescator, 10 descrescator, 11 ToolbVert, 12 ToolbOriz, 13 EscapeImg,
  // 14 Logo, 15 Pag, 16 Tarvex, 17 Buget). The top bit of the byte is ignored (133 is 5);
  // numbers without a picture give a null image.
  const QImage& SmallMark(int number) const;

  // The picture as a pixmap whose transparent colour (its top-left pixel) has alpha 0; a null
  // pixmap for unknown names. Needs a QGuiApplication.
  QPixmap TransparentPixmap(const QString& name) const;

  // The transparent colour of a picture: its top-left pixel (invalid for a null image).
  static QColor TransparentColor(const QImage& image);

  // `image` with every pixel of its top-left colour made fully transparent (ARGB32).
  static QImage WithTransparency(const QImage& image);

  // The display depth the pictures were adapted for.
  int ColorDepth() const { return colorDepth_; }

  struct PictureSpec {
    const char* Name;
    int Width;
    int Height;
  };
  // Every picture of the store with its designed size.
  static const std::vector<PictureSpec>& Catalogue();

 private:
  void AdaptToScheme();
  int colorDepth_;
  std::map<QString, QImage> pictures_;
};

// The process-wide store, created on first use (after the QApplication) for the primary
// screen's depth and kept until the program ends.
const TMesaj& DlgImageStore();

}  // namespace ui
