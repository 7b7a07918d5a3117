#pragma once
// TTitleBar: the coloured caption strip at the top of the program's forms: a left-to-right
// colour gradient painted as bands of equal colour, a bold caption with a one-pixel shadow and,
// when aligned to the top, a white line along its bottom edge.

#include <QWidget>

#include "ui/markup/Colors.h"

namespace ui {

enum TIconStyle { isNone, isSearch, isDetail };

// How a control places itself in its parent; only the top alignment changes the title bar's
// look (the white bottom line).
enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

class TTitleBar : public QWidget {
  Q_OBJECT

 public:
  // Height 25, bold 12-point sans-serif caption in black, active-caption to button-face.
  explicit TTitleBar(QWidget* parent = nullptr);

  TAlign Align() const { return m_align; }
  // Top: fills the parent's width at its top edge (and follows its resizes); client: fills
  // the parent; none leaves the geometry alone.
  void SetAlign(TAlign align);

  bool Grayed() const { return m_grayed; }
  // Redraws only the caption text in the grey-text or caption-text colour.
  void SetGrayed(bool grayed);

  TIconStyle IconStyle() const { return m_iconStyle; }
  void SetIconStyle(TIconStyle style);

  QString Caption() const { return m_caption; }
  void SetCaption(const QString& caption);

  TColor StartColor() const { return m_startColor; }
  void SetStartColor(TColor color);
  TColor EndColor() const { return m_endColor; }
  void SetEndColor(TColor color);

  // The fill of displays with 8 bits per pixel or fewer.
  TColor Color() const { return m_color; }
  void SetColor(TColor color);

  // Room left of the caption for an icon the owner draws (0 for isNone).
  int IconRoom() const { return m_iconRoom; }
  int CaptionWidth() const { return width() - m_iconRoom - 10; }

  // The bands of the gradient for a client `width` wide: each is [left, right) with one
  // colour; neighbouring columns of equal colour share a band.
  struct Band {
    int Left;
    int Right;
    QColor Color;
  };
  static std::vector<Band> GradientBands(QColor start, QColor end, int width);

  // Paints the bar without the gradient, as on a display of 8 bits per pixel or fewer; set
  // from the display's depth at creation.
  bool PlainFill() const { return m_plainFill; }
  void SetPlainFill(bool plain);

 protected:
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  void Recalculate();
  void FollowParent();
  void PaintCaption(QPainter& painter, QRect textRect, bool shadow);

  TAlign m_align = alNone;
  bool m_grayed = false;
  TIconStyle m_iconStyle = isNone;
  QString m_caption;
  TColor m_startColor = clActiveCaption;
  TColor m_endColor = clBtnFace;
  TColor m_color = clActiveCaption;
  bool m_plainFill = false;
  bool m_captionOnly = false;  // the next paint redraws only the caption
  int m_iconRoom = 0;
};

}  // namespace ui
