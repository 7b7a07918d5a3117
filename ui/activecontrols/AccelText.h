#pragma once
// Caption drawing shared by labels, radio buttons and push buttons: the accelerator letter
// (the one after "&") in an accent colour, underlined only on request, and the engraved look
// of disabled text.

#include <QColor>
#include <QRect>
#include <QString>

class QPainter;

namespace ui {

// `format` takes Qt alignment and text flags (Qt::AlignLeft/AlignHCenter/AlignRight,
// Qt::AlignTop/AlignVCenter, Qt::TextSingleLine, Qt::TextExpandTabs). The text colour is the
// painter's pen colour; only the first "&" marks a letter.
void DrawAccelText(QPainter& canvas, const QString& text, QRect rect, bool underline, QColor accent,
                   int format);

// Disabled text: white one pixel right and down, then grey in place. A "&" is hidden.
void DrawEngravedText(QPainter& canvas, QRect rect, const QString& text, int format);

// The accelerator letter of a caption ("&" followed by it), or a null character.
QChar AccelCharOf(const QString& caption);

// The caption as shown: the marking "&" removed.
QString StripAccel(const QString& caption);

}  // namespace ui
