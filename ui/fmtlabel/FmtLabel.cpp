#include "ui/fmtlabel/FmtLabel.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

#include "ui/markup/Markup.h"
#include "ui/store/SystemColors.h"

namespace ui {
namespace {

constexpr int kBlinkIntervalMs = 300;
// "&n" takes any 16-bit size; beyond this a label would need more memory than any screen
// could show, so larger sizes paint at this one.
constexpr int kLargestPointSize = 400;

// A segment ready to measure and draw.
struct Piece {
  QString Text;
  QFont Font;
  TColor Color;
  bool Shadow;
  bool Blink;
  int Width;
  int Ascent;
  int Height;
};

struct LaidLine {
  std::vector<Piece> Pieces;
  int Width = 0;
  int Ascent = 0;
  int Height = 0;
};

QFont SegmentFont(const QFont& base, const MarkupFont& mf) {
  QFont f = base;
  if (mf.Size != MarkupFont::kInheritedSize && mf.Size > 0)
    f.setPointSize(std::min(mf.Size, kLargestPointSize));
  f.setBold(mf.Style & fsBold);
  f.setItalic(mf.Style & fsItalic);
  f.setUnderline(mf.Style & fsUnderline);
  f.setStrikeOut(mf.Style & fsStrikeOut);
  return f;
}

MarkupFont StartFont(const QFont& f, TColor color) {
  MarkupFont mf;
  mf.Style = (f.bold() ? fsBold : 0u) | (f.italic() ? fsItalic : 0u) |
             (f.underline() ? fsUnderline : 0u) | (f.strikeOut() ? fsStrikeOut : 0u);
  mf.Color = color;
  return mf;
}

std::vector<LaidLine> LayOut(const QString& caption, const QFont& base, TColor color) {
  std::vector<LaidLine> out;
  const auto lines = ParseMarkup(caption.toStdString(), StartFont(base, color));
  out.reserve(lines.size());
  for (const MarkupLine& line : lines) {
    LaidLine laid;
    for (const MarkupSegment& seg : line) {
      Piece p{QString::fromStdString(seg.Text),
              SegmentFont(base, seg.Font),
              seg.Font.Color,
              seg.Shadow,
              seg.Blink,
              0,
              0,
              0};
      const QFontMetrics fm(p.Font);
      p.Width = fm.horizontalAdvance(p.Text);
      p.Ascent = fm.ascent();
      p.Height = fm.height();
      laid.Width += p.Width;
      laid.Ascent = std::max(laid.Ascent, p.Ascent);
      laid.Height = std::max(laid.Height, p.Height);
      laid.Pieces.push_back(std::move(p));
    }
    out.push_back(std::move(laid));
  }
  return out;
}

QSize Needed(const std::vector<LaidLine>& lines, TAlignment alignment) {
  int height = 0, widest = 0, sum = 0;
  for (const LaidLine& l : lines) {
    height += l.Height;
    widest = std::max(widest, l.Width);
    sum += l.Width;
  }
  // Only centred text is measured by its widest line; the other alignments reserve the sum of
  // the line widths, which the placement rules of existing forms were laid out with.
  return {alignment == taCenter ? widest : sum, height};
}

}  // namespace

TFmtLabel::TFmtLabel(QWidget* owner) : QWidget(owner) {
  paintingEnabled_ = true;
  shadowColor_ = clBtnShadow;
}

TFmtLabel::~TFmtLabel() {
  Elibereaza_BlinkList();
}

void TFmtLabel::SetCaption(const QString& caption) {
  if (caption == caption_) return;
  caption_ = caption;
  blinkOnlyPaint_ = false;
  AutoSizeToRawCaption();
  update();
}

void TFmtLabel::SetFont(const QFont& f) {
  setFont(f);  // auto-sizes through changeEvent
  update();
}

void TFmtLabel::changeEvent(QEvent* event) {
  // A font change, set here or inherited from the parent, auto-sizes like a caption change.
  if (event->type() == QEvent::FontChange) {
    blinkOnlyPaint_ = false;
    AutoSizeToRawCaption();
  }
  QWidget::changeEvent(event);
}

void TFmtLabel::SetFontColor(TColor color) {
  if (color == fontColor_) return;
  fontColor_ = color;
  blinkOnlyPaint_ = false;
  update();
}

void TFmtLabel::SetColor(TColor color) {
  if (color == color_) return;
  color_ = color;
  blinkOnlyPaint_ = false;
  update();
}

void TFmtLabel::SetTransparent(bool on) {
  if (on == transparent_) return;
  transparent_ = on;
  blinkOnlyPaint_ = false;
  update();
}

void TFmtLabel::SetAlignment(TAlignment a) {
  if (a == alignment_) return;
  alignment_ = a;
  blinkOnlyPaint_ = false;
  update();
}

void TFmtLabel::SetAutoSize(bool on) {
  if (on == autoSize_) return;
  autoSize_ = on;
  AutoSizeToRawCaption();
}

void TFmtLabel::SetWordWrap(bool on) {
  if (on == wordWrap_) return;
  wordWrap_ = on;
  AutoSizeToRawCaption();
}

void TFmtLabel::SetAlign(TMAlign a) {
  if (a == align_) return;
  align_ = a;
  blinkOnlyPaint_ = false;
  update();
}

void TFmtLabel::SetShadowColor(TColor c) {
  if (c == shadowColor_) return;
  shadowColor_ = c;
  blinkOnlyPaint_ = false;
  update();
}

void TFmtLabel::Elibereaza_BlinkList() {
  // Freeing the timers is what stops the blinking.
  blinkList_.clear();
}

// The plain label's auto-size: the raw caption, codes and all, in the label's font.
void TFmtLabel::AutoSizeToRawCaption() {
  if (!autoSize_) return;
  QString text = caption_;
  text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  const QFontMetrics fm(font());
  constexpr int kUnbounded = 1 << 24;
  if (wordWrap_) {
    const QRect r = fm.boundingRect(QRect(0, 0, std::max(width(), 1), kUnbounded),
                                    Qt::AlignLeft | Qt::TextWordWrap, text);
    resize(width(), std::max(r.height(), fm.height()));
  } else {
    const QRect r = fm.boundingRect(QRect(0, 0, kUnbounded, kUnbounded), Qt::AlignLeft, text);
    resize(std::max(r.width(), 1), std::max(r.height(), fm.height()));
  }
}

QSize TFmtLabel::MarkupExtent(TAlignment alignment) const {
  if (caption_.isEmpty()) return {0, 0};
  return Needed(LayOut(caption_, font(), fontColor_), alignment);
}

QImage TFmtLabel::Snapshot() {
  snapshot_ = true;
  const QImage image = grab().toImage();
  snapshot_ = false;
  return image;
}

void TFmtLabel::BlinkTick(TBlinkObj* obj) {
  // The object shows what its phase says, then the phase flips: the first tick after a paint
  // hides the text, the second shows it again.
  obj->Shown = obj->Phase;
  obj->Phase = !obj->Phase;
  blinkOnlyPaint_ = true;
  const QFontMetrics fm(obj->Font);
  update(QRect(obj->X, obj->Y, fm.horizontalAdvance(obj->Text) + 2, fm.height() + 2));
}

void TFmtLabel::paintEvent(QPaintEvent* event) {
  if (!paintingEnabled_) return;
  // A paint asked for by a blink tick (or a snapshot) draws the blinking segments in their
  // current phase; any other paint starts every blinking segment afresh, visible.
  bool keepPhases = snapshot_ || blinkOnlyPaint_;
  if (blinkOnlyPaint_ && !snapshot_) {
    QRegion blinkArea;
    for (const auto& obj : blinkList_) {
      const QFontMetrics fm(obj->Font);
      blinkArea += QRect(obj->X, obj->Y, fm.horizontalAdvance(obj->Text) + 2, fm.height() + 2);
    }
    keepPhases =
        blinkArea.contains(event->rect()) || (QRegion(event->rect()) - blinkArea).isEmpty();
  }
  blinkOnlyPaint_ = false;

  {
    QPainter bg(this);
    if (!transparent_) {
      paintingEnabled_ = false;
      bg.fillRect(rect(), ToQColor(color_));
      paintingEnabled_ = true;
    }
  }
  if (caption_.isEmpty()) {
    if (!keepPhases) Elibereaza_BlinkList();
    return;
  }

  std::vector<LaidLine> lines = LayOut(caption_, font(), fontColor_);

  if (!keepPhases) {
    // Grow to fit, never shrink.
    const QSize need = Needed(lines, alignment_);
    paintingEnabled_ = false;
    if (need.height() > height()) resize(width(), need.height());
    if (need.width() > width()) resize(need.width(), height());
    // Place inside the parent.
    if (QWidget* parent = parentWidget(); parent && align_ != alMNone) {
      const int cw = parent->width(), ch = parent->height();
      switch (align_) {
        case alMTop: move(x(), 1); break;
        case alMBottom: move(x(), ch - height() - 1); break;
        case alMLeft: move(1, y()); break;
        case alMRight: move(cw - width() - 2, y()); break;
        case alMCenter: {
          const int outer = parent->isWindow() ? parent->frameGeometry().width() : cw;
          move((outer - width()) / 2, (ch - height()) / 2);
          break;
        }
        case alMNone: break;
      }
    }
    paintingEnabled_ = true;
    Elibereaza_BlinkList();
  }

  QPainter p(this);
  p.setBackgroundMode(Qt::TransparentMode);
  const QColor shadow = ToQColor(shadowColor_);
  std::size_t blinkIndex = 0;
  int top = 0;
  for (const LaidLine& line : lines) {
    int x = 0;
    if (alignment_ == taRightJustify)
      x = width() - line.Width;
    else if (alignment_ == taCenter)
      x = (width() - line.Width) / 2;
    for (const Piece& piece : line.Pieces) {
      const int y = top + line.Ascent - piece.Ascent;
      bool shown = true;
      if (piece.Blink) {
        if (keepPhases) {
          if (blinkIndex < blinkList_.size()) shown = blinkList_[blinkIndex]->Shown;
          ++blinkIndex;
        } else {
          auto obj = std::make_unique<TBlinkObj>();
          obj->Shadow = piece.Shadow;
          obj->Text = piece.Text;
          obj->X = x;
          obj->Y = y;
          obj->Canvas = this;
          obj->Font = piece.Font;
          obj->FontColor = piece.Color;
          obj->BackColor = color_;
          obj->ShadowColor = shadowColor_;
          obj->Timer = std::make_unique<QTimer>();
          obj->Timer->setInterval(kBlinkIntervalMs);
          TBlinkObj* raw = obj.get();
          connect(obj->Timer.get(), &QTimer::timeout, this, [this, raw] { BlinkTick(raw); });
          obj->Timer->start();
          blinkList_.push_back(std::move(obj));
        }
      }
      if (shown && !piece.Text.isEmpty()) {
        p.setFont(piece.Font);
        const int baseline = y + piece.Ascent;
        if (piece.Shadow) {
          p.setPen(shadow);
          p.drawText(x + 1, baseline + 1, piece.Text);
        }
        p.setPen(ToQColor(piece.Color));
        p.drawText(x, baseline, piece.Text);
      }
      x += piece.Width;
    }
    // Lines advance by the ascent, so they sit closer than the measured height.
    top += line.Ascent;
  }
}

}  // namespace ui
