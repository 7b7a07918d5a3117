#pragma once
// TFmtLabel: a label that paints its caption in the inline markup of ui/markup/Markup.h. The
// caption is parsed anew on every paint; the label grows to fit (never shrinks), can place
// itself inside its parent (Align), and gives every blinking segment its own 300 ms timer.
#include <QFont>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <vector>

#include "ui/markup/Colors.h"

namespace ui {

enum TAlignment { taLeftJustify, taRightJustify, taCenter };

// Self-placement inside the parent.
enum TMAlign { alMNone, alMTop, alMBottom, alMLeft, alMRight, alMCenter };

class TFmtLabel;

// One blinking segment as drawn by the last paint. Fields in the order of the original record;
// the timer is a child of the label and dies with this object.
struct TBlinkObj {
  bool Phase = false;  // false: the next tick hides the text
  bool Shadow = false;
  QString Text;
  std::unique_ptr<QTimer> Timer;
  int X = 0;
  int Y = 0;
  TFmtLabel* Canvas = nullptr;  // not owned
  QFont Font;
  TColor FontColor = clBlack;
  TColor BackColor = clBtnFace;
  TColor ShadowColor = clBtnShadow;
  bool Shown = true;  // what the label shows now: true until the first tick
};

class TFmtLabel : public QWidget {
  Q_OBJECT
 public:
  explicit TFmtLabel(QWidget* owner = nullptr);
  ~TFmtLabel() override;

  // The markup text. Changing it auto-sizes (when AutoSize is on) and repaints.
  QString Caption() const { return caption_; }
  void SetCaption(const QString& caption);

  // The starting font of every paint; its colour is FontColor.
  QFont Font() const { return font(); }
  void SetFont(const QFont& f);
  TColor FontColor() const { return fontColor_; }
  void SetFontColor(TColor color);

  // Background when not Transparent; also the colour that hides blinking text.
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool on);

  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment a);
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool on);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool on);

  TMAlign Align() const { return align_; }
  void SetAlign(TMAlign a);
  TColor ShadowColor() const { return shadowColor_; }
  void SetShadowColor(TColor c);

  // Blink objects of the last paint, owned by the label.
  const std::vector<std::unique_ptr<TBlinkObj>>& BlinkList() const { return blinkList_; }
  // Stops and frees every blink object.
  void Elibereaza_BlinkList();

  // The label as it looks now, blinking phases included, without restarting the blinking
  // (a plain grab() repaints and so starts every blinking segment afresh).
  QImage Snapshot();

  // The room the parsed caption needs in the current font, measured as painting measures it
  // for `alignment` (centred: the widest line; otherwise the sum of the line widths).
  QSize MarkupExtent(TAlignment alignment) const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void AutoSizeToRawCaption();
  void BlinkTick(TBlinkObj* obj);

  QString caption_;
  TColor fontColor_ = clWindowText;
  TColor color_ = clBtnFace;
  bool transparent_ = false;
  TAlignment alignment_ = taLeftJustify;
  bool autoSize_ = true;
  bool wordWrap_ = false;
  TMAlign align_ = alMNone;
  TColor shadowColor_ = clBtnShadow;
  std::vector<std::unique_ptr<TBlinkObj>> blinkList_;
  bool paintingEnabled_ = true;
  bool blinkOnlyPaint_ = false;  // the pending paint was asked for by a blink tick
  bool snapshot_ = false;
};

}  // namespace ui
