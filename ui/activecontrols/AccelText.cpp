#include "ui/activecontrols/AccelText.h"

#include <QFontMetrics>
#include <QPainter>

namespace ui {

void DrawAccelText(QPainter& canvas, const QString& text, QRect rect, bool underline, QColor accent,
                   int format) {
  const qsizetype amp = text.indexOf(QLatin1Char('&'));
  const QColor textColor = canvas.pen().color();
  if (amp < 0) {
    canvas.drawText(rect, format, text);
    return;
  }
  const QFontMetrics metrics(canvas.font());
  // Each piece is drawn left-aligned from where the previous one ended, so a centred or
  // right-aligned text is first placed as a whole.
  const int measuredRight = rect.left() + metrics.horizontalAdvance(StripAccel(text)) + 2;
  const int rectRight = rect.left() + rect.width();
  // Only the left edge moves, and the pieces are not cut at the right edge: a text wider than
  // the rectangle overflows both sides evenly, as a centred text does.
  format |= Qt::TextDontClip;
  if (format & Qt::AlignHCenter) {
    rect.setLeft(rect.left() + (rectRight - measuredRight) / 2);
    format &= ~Qt::AlignHCenter;
  } else if (format & Qt::AlignRight) {
    rect.setLeft(rect.left() + rectRight - measuredRight);
    format &= ~Qt::AlignRight;
  }

  const QString before = text.left(amp);
  if (!before.isEmpty()) {
    canvas.drawText(rect, format, before);
    rect.setLeft(rect.left() + metrics.horizontalAdvance(before));
  }
  const QString letter = text.mid(amp + 1, 1);
  canvas.setPen(accent);
  if (underline && !letter.isEmpty())
    canvas.drawText(rect, format | Qt::TextShowMnemonic, QLatin1Char('&') + letter);
  else
    canvas.drawText(rect, format, letter);
  rect.setLeft(rect.left() + metrics.horizontalAdvance(letter));
  canvas.setPen(textColor);
  const QString rest = text.mid(amp + 2);
  if (!rest.isEmpty()) canvas.drawText(rect, format, rest);
}

void DrawEngravedText(QPainter& canvas, QRect rect, const QString& text, int format) {
  const QPen saved = canvas.pen();
  format |= Qt::TextHideMnemonic;
  canvas.setPen(QColor(255, 255, 255));
  canvas.drawText(rect.translated(1, 1), format, text);
  canvas.setPen(QColor(128, 128, 128));
  canvas.drawText(rect, format, text);
  canvas.setPen(saved);
}

QChar AccelCharOf(const QString& caption) {
  const qsizetype amp = caption.indexOf(QLatin1Char('&'));
  if (amp < 0 || amp + 1 >= caption.size()) return {};
  return caption.at(amp + 1);
}

QString StripAccel(const QString& caption) {
  QString shown = caption;
  const qsizetype amp = shown.indexOf(QLatin1Char('&'));
  if (amp >= 0) shown.remove(amp, 1);
  return shown;
}

}  // namespace ui
