#include "ui/buttons/NiceButton.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <algorithm>

#include "ui/activecontrols/AccelText.h"
#include "ui/buttons/ControlPaint.h"
#include "ui/buttons/MToolbar.h"

namespace ui {

namespace {

// The one hot skinned button of the program.
QPointer<TNiceButton> g_hotButton;

constexpr int kGlyphArea = 35;
constexpr int kFaceCells = 9;
constexpr int kForcedDownMs = 20;

}  // namespace

struct TNiceButton::Geometry {
  QImage glyph;
  int glyphArea = 0;  // 35 with a glyph, else 0
  QRect glyphCell;    // where the glyph's cell is drawn
  QImage face;        // the nine-cell skin
  int cellWidth = 0;  // width of one skin cell
  int faceTop = 0;
  int faceHeight = 0;
};

TNiceButton::TNiceButton(QWidget* parent) : TKindButton(parent, clWindow) {
  resize(100, 28);
  setMouseTracking(true);
  m_forcedDownTimer = new QTimer(this);
  m_forcedDownTimer->setSingleShot(true);
  m_forcedDownTimer->setInterval(kForcedDownMs);
  connect(m_forcedDownTimer, &QTimer::timeout, this, [this] { SetForcedDown(false); });
  RegisterInToolbar();
}

TNiceButton::~TNiceButton() {
  if (g_hotButton == this) g_hotButton = nullptr;
  UnregisterFromToolbar();
}

TNiceButton* TNiceButton::HotButton() {
  return g_hotButton.data();
}

void TNiceButton::SetKind(TMButtonKind kind) {
  if (kind == Kind()) return;
  if (!m_captionPinned) SetDefaultCaption(QString::fromUtf8(KindInfo(kind).Caption));
  ApplyKind(kind);
  update();
}

void TNiceButton::SetCaption(const QString& caption) {
  m_captionPinned = true;
  if (caption == text()) return;
  setText(caption);
  update();
}

void TNiceButton::SetForcedDown(bool down) {
  if (down == m_forcedDown) return;
  m_forcedDown = down;
  if (down && !m_mousePressed)
    m_forcedDownTimer->start();
  else if (!down)
    m_forcedDownTimer->stop();
  update();
}

QImage TNiceButton::EffectiveGlyph() const {
  if (Kind() == mkCustom) return Glyph();
  const char* name = KindInfo(Kind()).NiceGlyph;
  return name ? StorePicture(name) : QImage();
}

TNiceButton::Geometry TNiceButton::Layout() const {
  Geometry g;
  g.glyph = EffectiveGlyph();
  if (g.glyph.width() >= 1) {
    g.glyphArea = kGlyphArea;
    const int cellWidth = g.glyph.width() / 3;
    const int cellHeight = g.glyph.height();
    const int x = CaptionVisible() ? kGlyphArea - 1 - cellWidth : (kGlyphArea - cellWidth) / 2;
    g.glyphCell = QRect(x, (height() - cellHeight) / 2, cellWidth, cellHeight);
  }
  g.face = StorePicture("ButtonFace");
  g.cellWidth = g.face.width() / kFaceCells;
  g.faceHeight = g.face.isNull() ? height() : g.face.height();
  g.faceTop = (height() - g.faceHeight) / 2;
  m_glyphCellWidth = g.glyphCell.width();
  m_glyphCellHeight = g.glyphCell.height();
  return g;
}

int TNiceButton::CaptionRoom() const {
  const Geometry g = Layout();
  const int half = g.cellWidth / 2;
  return width() - half - (g.glyphArea + half);
}

bool TNiceButton::HitTest(QPoint pos) const {
  const Geometry g = Layout();
  const bool hasGlyph = g.glyphArea > 0;
  if (!hasGlyph && !CaptionVisible()) return rect().contains(pos);
  if (hasGlyph) {
    QRect glyphHit = g.glyphCell;
    if (CaptionVisible()) glyphHit.setRight(kGlyphArea - 1);
    if (glyphHit.contains(pos)) return true;
  }
  if (CaptionVisible()) {
    const QRect band(g.glyphArea, g.faceTop, width() - g.glyphArea, g.faceHeight);
    if (band.contains(pos)) return true;
  }
  return false;
}

bool TNiceButton::hitButton(const QPoint& pos) const {
  return HitTest(pos);
}

void TNiceButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const Geometry g = Layout();
  const bool down = m_forcedDown || isDown();
  const bool disabled = !isEnabled();

  if (CaptionVisible()) {
    if (g.cellWidth > 0) {
      const int w = g.cellWidth;
      const int state = down ? 6 : m_hot ? 3 : 0;
      auto cell = [&](int index) { return QRect(index * w, 0, w, g.faceHeight); };
      const int left = g.glyphArea;
      const int right = width() - w;  // where the right end starts
      DrawTransparent(painter, QPoint(left, g.faceTop), g.face, cell(state));
      painter.save();
      painter.setClipRect(QRect(left + w, g.faceTop, std::max(0, right - left - w), g.faceHeight));
      for (int x = left + w; x < right; x += w)
        painter.drawImage(QPoint(x, g.faceTop), g.face, cell(state + 1));
      painter.restore();
      if (right > left) DrawTransparent(painter, QPoint(right, g.faceTop), g.face, cell(state + 2));
    }

    const int half = g.cellWidth / 2;
    const int room = CaptionRoom();
    QFont bold = font();
    bold.setBold(true);
    // A caption wider than its room (a wider fallback face than the one the buttons were
    // sized for) is narrowed rather than cut by the skin's rounded end.
    const int captionWidth = QFontMetrics(bold).horizontalAdvance(StripAccel(text()));
    if (captionWidth > room + 4 && captionWidth > 0)
      bold.setStretch(std::max(75, 100 * (room + 4) / captionWidth));
    painter.setFont(bold);
    const int textHeight = QFontMetrics(bold).height();
    const QRect textRect(g.glyphArea + half, g.faceTop + (g.faceHeight - textHeight) / 2, room,
                         textHeight);
    const int format = Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine;
    const QColor red(255, 0, 0);
    if (disabled) {
      DrawEngravedText(painter, textRect, text(), format);
    } else if (m_hot) {
      painter.setPen(red);
      DrawAccelText(painter, text(), down ? textRect.translated(1, 1) : textRect, true, red,
                    format);
    } else {
      painter.setPen(palette().color(QPalette::ButtonText));
      DrawAccelText(painter, text(), textRect, hasFocus(), red, format);
    }
  } else {
    painter.fillRect(rect(), ToQColor(Color()));
  }

  if (g.glyphArea > 0) {
    const int cellIndex = disabled ? 1 : m_hot ? 2 : 0;
    DrawTransparent(
        painter, g.glyphCell.topLeft(), g.glyph,
        QRect(cellIndex * g.glyphCell.width(), 0, g.glyphCell.width(), g.glyphCell.height()));
  }
}

void TNiceButton::SetHot(bool hot) {
  if (hot) {
    if (g_hotButton && g_hotButton != this) g_hotButton->SetHot(false);
    g_hotButton = this;
  } else if (g_hotButton == this) {
    g_hotButton = nullptr;
  }
  if (hot == m_hot) return;
  m_hot = hot;
  update();
}

void TNiceButton::BecomeHotFromMouse() {
  if (!isEnabled()) return;
  SetHot(true);
  auto* focused = qobject_cast<TNiceButton*>(QApplication::focusWidget());
  if (focused && focused != this) setFocus(Qt::MouseFocusReason);
}

void TNiceButton::mousePressEvent(QMouseEvent* e) {
  if (HitTest(e->position().toPoint())) m_mousePressed = true;
  TKindButton::mousePressEvent(e);
}

void TNiceButton::mouseReleaseEvent(QMouseEvent* e) {
  m_clickFromMouse = true;
  TKindButton::mouseReleaseEvent(e);
  m_clickFromMouse = false;
  m_mousePressed = false;
}

void TNiceButton::mouseMoveEvent(QMouseEvent* e) {
  TKindButton::mouseMoveEvent(e);
  if (HitTest(e->position().toPoint()))
    BecomeHotFromMouse();
  else if (m_hot && !hasFocus())
    SetHot(false);
}

void TNiceButton::enterEvent(QEnterEvent* e) {
  TKindButton::enterEvent(e);
  if (HitTest(e->position().toPoint())) BecomeHotFromMouse();
}

void TNiceButton::leaveEvent(QEvent* e) {
  TKindButton::leaveEvent(e);
  if (!hasFocus()) SetHot(false);
}

void TNiceButton::focusInEvent(QFocusEvent* e) {
  TKindButton::focusInEvent(e);
  SetHot(true);
}

void TNiceButton::focusOutEvent(QFocusEvent* e) {
  TKindButton::focusOutEvent(e);
  SetHot(false);
}

void TNiceButton::changeEvent(QEvent* e) {
  TKindButton::changeEvent(e);
  if (e->type() == QEvent::EnabledChange && !isEnabled()) {
    if (g_hotButton == this) g_hotButton = nullptr;
    m_hot = false;
  }
}

void TNiceButton::Click() {
  const bool fromMouse = m_clickFromMouse;
  QPointer<TNiceButton> self(this);
  StandardClick();
  if (!self) return;  // an OnClick handler may free its own button
  if (!fromMouse) SetForcedDown(true);
  NotifyToolbar();
  if (self && hasFocus()) SetHot(true);
}

void TNiceButton::SetToolbarEntry(TMToolbar& toolbar, TMButtonKind kind, bool set) {
  if (set)
    toolbar.SetNiceButtonEntry(kind, this);
  else if (toolbar.NiceButton(kind) == this)
    toolbar.SetNiceButtonEntry(kind, nullptr);
}

}  // namespace ui
