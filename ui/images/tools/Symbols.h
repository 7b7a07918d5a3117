// The symbols of the glyph strips and marks, each drawn inside the box it is given, in the ink
// it is given. Included by DrawPictures.cxx only (one translation unit, run by generate.sh).
#pragma once
#include <QColor>
#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>

namespace {

const QColor kBack(240, 240, 240);  // transparent colour of glyphs and marks

QFont Bold(double px) {
  QFont f("DejaVu Sans");
  f.setPixelSize(int(px));
  f.setBold(true);
  return f;
}

QPen Stroke(const QColor& c, double w) {
  return QPen(c, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QColor Lighter(const QColor& c) {
  return c.lighter(135);
}

// ---- symbols, drawn inside `b` -----------------------------------------------------------
void Check(QPainter& p, const QRectF& b, const QColor& c) {
  p.setPen(Stroke(c, b.width() * 0.16));
  QPainterPath path;
  path.moveTo(b.left() + b.width() * 0.12, b.top() + b.height() * 0.55);
  path.lineTo(b.left() + b.width() * 0.40, b.top() + b.height() * 0.82);
  path.lineTo(b.left() + b.width() * 0.88, b.top() + b.height() * 0.18);
  p.drawPath(path);
}
void Cross(QPainter& p, const QRectF& b, const QColor& c) {
  p.setPen(Stroke(c, b.width() * 0.16));
  const QRectF r =
      b.adjusted(b.width() * 0.2, b.height() * 0.2, -b.width() * 0.2, -b.height() * 0.2);
  p.drawLine(r.topLeft(), r.bottomRight());
  p.drawLine(r.topRight(), r.bottomLeft());
}
void Letter(QPainter& p, const QRectF& b, const QColor& c, const QString& s) {
  p.setPen(c);
  p.setFont(Bold(b.height() * 0.95));
  p.drawText(b, Qt::AlignCenter, s);
}
void Circle(QPainter& p, const QRectF& b, const QColor& c) {
  p.setPen(Stroke(c.darker(130), 1));
  p.setBrush(c);
  p.drawEllipse(b.adjusted(1, 1, -1, -1));
}
void NoSign(QPainter& p, const QRectF& b, const QColor& c) {
  const double w = b.width() * 0.14;
  p.setPen(Stroke(c, w));
  p.setBrush(Qt::NoBrush);
  const QRectF r = b.adjusted(w, w, -w, -w);
  p.drawEllipse(r);
  const double k = 0.146 * r.width();
  p.drawLine(QPointF(r.left() + k, r.bottom() - k), QPointF(r.right() - k, r.top() + k));
}
void Arrow(QPainter& p, QPointF from, QPointF to, const QColor& c, double w) {
  p.setPen(Stroke(c, w));
  p.drawLine(from, to);
  const QLineF l(to, from);
  const double a = qDegreesToRadians(l.angle());
  const double len = w * 2.2;
  QPolygonF head;
  head << to << to + QPointF(len * std::cos(a + 0.6), -len * std::sin(a + 0.6))
       << to + QPointF(len * std::cos(a - 0.6), -len * std::sin(a - 0.6));
  p.setBrush(c);
  p.setPen(Stroke(c, 1));
  p.drawPolygon(head);
}
void Door(QPainter& p, const QRectF& b, const QColor& c) {
  p.setPen(Stroke(c.darker(140), 1.2));
  p.setBrush(QColor(150, 100, 60));
  p.drawRect(QRectF(b.left() + b.width() * 0.1, b.top() + b.height() * 0.08, b.width() * 0.45,
                    b.height() * 0.84));
  Arrow(p, QPointF(b.left() + b.width() * 0.45, b.center().y()),
        QPointF(b.right() - b.width() * 0.04, b.center().y()), c, b.height() * 0.13);
}
void Retry(QPainter& p, const QRectF& b, const QColor& c) {
  const QRectF r =
      b.adjusted(b.width() * 0.18, b.height() * 0.18, -b.width() * 0.18, -b.height() * 0.18);
  p.setPen(Stroke(c, b.width() * 0.13));
  p.setBrush(Qt::NoBrush);
  p.drawArc(r, 60 * 16, 270 * 16);
  const QPointF tip(r.center().x() + r.width() / 2 * std::cos(qDegreesToRadians(60.0)),
                    r.center().y() - r.height() / 2 * std::sin(qDegreesToRadians(60.0)));
  QPolygonF head;
  const double s = b.width() * 0.22;
  head << tip + QPointF(s * 0.7, -s * 0.1) << tip + QPointF(-s * 0.1, -s * 0.8)
       << tip + QPointF(-s * 0.2, s * 0.5);
  p.setBrush(c);
  p.setPen(Qt::NoPen);
  p.drawPolygon(head);
}
void PlusSign(QPainter& p, const QRectF& b, const QColor& c) {
  p.setPen(Stroke(c, b.width() * 0.2));
  p.drawLine(QPointF(b.center().x(), b.top() + b.height() * 0.18),
             QPointF(b.center().x(), b.bottom() - b.height() * 0.18));
  p.drawLine(QPointF(b.left() + b.width() * 0.18, b.center().y()),
             QPointF(b.right() - b.width() * 0.18, b.center().y()));
}
void MinusSign(QPainter& p, const QRectF& b, const QColor& c) {
  p.setPen(Stroke(c, b.width() * 0.2));
  p.drawLine(QPointF(b.left() + b.width() * 0.18, b.center().y()),
             QPointF(b.right() - b.width() * 0.18, b.center().y()));
}
void Paper(QPainter& p, const QRectF& r, const QColor& edge) {
  p.setPen(Stroke(edge, 1));
  p.setBrush(Qt::white);
  QPainterPath path;
  const double f = r.width() * 0.3;
  path.moveTo(r.topLeft());
  path.lineTo(r.right() - f, r.top());
  path.lineTo(r.right(), r.top() + f);
  path.lineTo(r.bottomRight());
  path.lineTo(r.bottomLeft());
  path.closeSubpath();
  p.drawPath(path);
  p.drawLine(QPointF(r.right() - f, r.top()), QPointF(r.right() - f, r.top() + f));
  p.drawLine(QPointF(r.right() - f, r.top() + f), QPointF(r.right(), r.top() + f));
}
void TextLines(QPainter& p, const QRectF& r, const QColor& c, int n) {
  p.setPen(Stroke(c, 1));
  for (int i = 0; i < n; ++i) {
    const double y = r.top() + r.height() * (i + 1) / (n + 1);
    p.drawLine(QPointF(r.left() + 2, y), QPointF(r.right() - 2 - (i % 2) * 2, y));
  }
}
void Book(QPainter& p, const QRectF& b, const QColor& c) {
  const QRectF r =
      b.adjusted(b.width() * 0.15, b.height() * 0.08, -b.width() * 0.15, -b.height() * 0.08);
  p.setPen(Stroke(c.darker(150), 1));
  p.setBrush(c);
  p.drawRoundedRect(r, 1.5, 1.5);
  p.setBrush(Qt::white);
  p.drawRect(QRectF(r.left() + r.width() * 0.25, r.top() + 2, r.width() * 0.65, r.height() - 4));
  TextLines(p, QRectF(r.left() + r.width() * 0.25, r.top() + 2, r.width() * 0.65, r.height() - 4),
            c, 3);
}
void Eye(QPainter& p, const QRectF& b, const QColor& c) {
  QPainterPath path;
  const double cy = b.center().y();
  path.moveTo(b.left() + 1, cy);
  path.quadTo(b.center().x(), b.top() - b.height() * 0.05, b.right() - 1, cy);
  path.quadTo(b.center().x(), b.bottom() + b.height() * 0.05, b.left() + 1, cy);
  p.setPen(Stroke(c.darker(140), 1.2));
  p.setBrush(Qt::white);
  p.drawPath(path);
  p.setBrush(c);
  const double r = b.height() * 0.2;
  p.drawEllipse(b.center(), r, r);
  p.setBrush(Qt::black);
  p.setPen(Qt::NoPen);
  p.drawEllipse(b.center(), r * 0.45, r * 0.45);
}
void Printer(QPainter& p, const QRectF& b, const QColor& c) {
  p.setPen(Stroke(QColor(60, 60, 60), 1));
  p.setBrush(Qt::white);
  p.drawRect(QRectF(b.left() + b.width() * 0.28, b.top() + b.height() * 0.08, b.width() * 0.44,
                    b.height() * 0.4));
  p.setBrush(c);
  p.drawRoundedRect(QRectF(b.left() + b.width() * 0.08, b.top() + b.height() * 0.38,
                           b.width() * 0.84, b.height() * 0.36),
                    2, 2);
  p.setBrush(Qt::white);
  p.drawRect(QRectF(b.left() + b.width() * 0.28, b.top() + b.height() * 0.64, b.width() * 0.44,
                    b.height() * 0.3));
}
void Pencil(QPainter& p, const QRectF& b, const QColor& c) {
  p.save();
  p.translate(b.center());
  p.rotate(-45);
  const double L = b.width() * 0.95, W = b.height() * 0.24;
  p.setPen(Stroke(c.darker(160), 1));
  p.setBrush(c);
  p.drawRect(QRectF(-L / 2 + L * 0.2, -W / 2, L * 0.8, W));
  QPolygonF tip;
  tip << QPointF(-L / 2, 0) << QPointF(-L / 2 + L * 0.2, -W / 2)
      << QPointF(-L / 2 + L * 0.2, W / 2);
  p.setBrush(QColor(240, 210, 160));
  p.drawPolygon(tip);
  p.restore();
}
void ListLines(QPainter& p, const QRectF& b, const QColor& c) {
  for (int i = 0; i < 4; ++i) {
    const double y = b.top() + b.height() * (0.2 + 0.2 * i);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawRect(QRectF(b.left() + b.width() * 0.1, y - 1.5, 3, 3));
    p.setPen(Stroke(QColor(60, 60, 60), 1.4));
    p.drawLine(QPointF(b.left() + b.width() * 0.32, y),
               QPointF(b.right() - b.width() * (i % 2 ? 0.25 : 0.1), y));
  }
}
void Magnifier(QPainter& p, const QRectF& b, const QColor& c) {
  const double r = b.width() * 0.28;
  const QPointF ctr(b.left() + b.width() * 0.4, b.top() + b.height() * 0.4);
  p.setPen(Stroke(QColor(70, 70, 70), b.width() * 0.14));
  p.drawLine(ctr + QPointF(r * 0.7, r * 0.7),
             QPointF(b.right() - b.width() * 0.1, b.bottom() - b.height() * 0.1));
  p.setPen(Stroke(c.darker(130), b.width() * 0.09));
  p.setBrush(QColor(220, 240, 255));
  p.drawEllipse(ctr, r, r);
}
void Details(QPainter& p, const QRectF& b, const QColor& c) {
  Paper(p,
        QRectF(b.left() + b.width() * 0.12, b.top() + b.height() * 0.05, b.width() * 0.6,
               b.height() * 0.85),
        QColor(90, 90, 90));
  TextLines(p,
            QRectF(b.left() + b.width() * 0.12, b.top() + b.height() * 0.2, b.width() * 0.45,
                   b.height() * 0.6),
            QColor(120, 120, 120), 4);
  Magnifier(p,
            QRectF(b.left() + b.width() * 0.35, b.top() + b.height() * 0.35, b.width() * 0.65,
                   b.height() * 0.65),
            c);
}
void Floppy(QPainter& p, const QRectF& b, const QColor& c) {
  const QRectF r =
      b.adjusted(b.width() * 0.1, b.height() * 0.1, -b.width() * 0.1, -b.height() * 0.1);
  p.setPen(Stroke(c.darker(160), 1));
  p.setBrush(c);
  p.drawRoundedRect(r, 1.5, 1.5);
  p.setBrush(Qt::white);
  p.drawRect(QRectF(r.left() + r.width() * 0.2, r.top() + r.height() * 0.5, r.width() * 0.6,
                    r.height() * 0.5));
  p.setBrush(QColor(200, 200, 210));
  p.drawRect(QRectF(r.left() + r.width() * 0.25, r.top(), r.width() * 0.5, r.height() * 0.32));
}
void Envelope(QPainter& p, const QRectF& b, const QColor& c) {
  const QRectF r =
      b.adjusted(b.width() * 0.06, b.height() * 0.2, -b.width() * 0.06, -b.height() * 0.2);
  p.setPen(Stroke(c.darker(150), 1.2));
  p.setBrush(QColor(255, 250, 230));
  p.drawRect(r);
  p.drawLine(r.topLeft(), QPointF(r.center().x(), r.center().y() + 1));
  p.drawLine(r.topRight(), QPointF(r.center().x(), r.center().y() + 1));
}
void Gear(QPainter& p, const QRectF& b, const QColor& c) {
  QPolygonF g;
  const QPointF o = b.center();
  const double R = b.width() * 0.46, r = b.width() * 0.34;
  for (int i = 0; i < 32; ++i) {
    const double a = 2 * M_PI * i / 32;
    const double rr = (i / 2) % 2 ? r : R;
    g << o + QPointF(rr * std::cos(a), rr * std::sin(a));
  }
  p.setPen(Stroke(c.darker(150), 1));
  p.setBrush(c);
  p.drawPolygon(g);
  p.setBrush(kBack);
  p.drawEllipse(o, b.width() * 0.13, b.width() * 0.13);
}
void Wrench(QPainter& p, const QRectF& b, const QColor& c) {
  p.save();
  p.translate(b.center());
  p.rotate(45);
  const double L = b.height() * 0.9, W = b.width() * 0.16;
  p.setPen(Stroke(c.darker(160), 1));
  p.setBrush(c);
  p.drawRoundedRect(QRectF(-W / 2, -L * 0.2, W, L * 0.68), 1, 1);
  p.drawEllipse(QPointF(0, -L * 0.3), W * 1.3, W * 1.3);
  p.setBrush(kBack);
  p.setPen(Qt::NoPen);
  p.drawRect(QRectF(-W * 0.45, -L * 0.3 - W * 1.4, W * 0.9, W * 1.4));
  p.restore();
}
void Boxes(QPainter& p, const QRectF& b, const QColor& c) {
  const double s = b.width() * 0.4;
  p.setPen(Stroke(c.darker(160), 1));
  p.setBrush(c);
  p.drawRect(QRectF(b.left() + b.width() * 0.08, b.bottom() - s - 1, s, s));
  p.drawRect(QRectF(b.right() - s - b.width() * 0.08, b.bottom() - s - 1, s, s));
  p.setBrush(Lighter(c));
  p.drawRect(QRectF(b.center().x() - s / 2, b.bottom() - 2 * s - 1, s, s));
}
void Scale(QPainter& p, const QRectF& b, const QColor& c) {
  p.setPen(Stroke(QColor(70, 70, 70), 1.4));
  p.drawLine(QPointF(b.center().x(), b.top() + 2), QPointF(b.center().x(), b.bottom() - 2));
  p.drawLine(QPointF(b.left() + b.width() * 0.25, b.bottom() - 2),
             QPointF(b.right() - b.width() * 0.25, b.bottom() - 2));
  p.drawLine(QPointF(b.left() + b.width() * 0.12, b.top() + b.height() * 0.25),
             QPointF(b.right() - b.width() * 0.12, b.top() + b.height() * 0.25));
  p.setBrush(c);
  p.setPen(Stroke(c.darker(150), 1));
  p.drawChord(QRectF(b.left(), b.top() + b.height() * 0.3, b.width() * 0.36, b.height() * 0.3),
              180 * 16, 180 * 16);
  p.drawChord(QRectF(b.right() - b.width() * 0.36, b.top() + b.height() * 0.3, b.width() * 0.36,
                     b.height() * 0.3),
              180 * 16, 180 * 16);
}
void Tray(QPainter& p, const QRectF& b, const QColor& c, bool in) {
  const QRectF tray(b.left() + b.width() * 0.1, b.top() + b.height() * 0.55, b.width() * 0.8,
                    b.height() * 0.38);
  p.setPen(Stroke(QColor(80, 80, 80), 1));
  p.setBrush(QColor(200, 190, 170));
  p.drawRect(tray);
  const double x = b.center().x();
  if (in)
    Arrow(p, QPointF(x, b.top() + 1), QPointF(x, tray.top() + tray.height() * 0.5), c,
          b.width() * 0.12);
  else
    Arrow(p, QPointF(x, tray.top() + tray.height() * 0.5), QPointF(x, b.top() + 1), c,
          b.width() * 0.12);
}
void Building(QPainter& p, const QRectF& b, const QColor& c) {
  const QRectF r =
      b.adjusted(b.width() * 0.2, b.height() * 0.08, -b.width() * 0.2, -b.height() * 0.04);
  p.setPen(Stroke(c.darker(160), 1));
  p.setBrush(c);
  p.drawRect(r);
  p.setBrush(QColor(255, 250, 200));
  p.setPen(Qt::NoPen);
  for (int row = 0; row < 3; ++row)
    for (int col = 0; col < 2; ++col)
      p.drawRect(QRectF(r.left() + r.width() * (0.15 + 0.45 * col),
                        r.top() + r.height() * (0.1 + 0.27 * row), r.width() * 0.28,
                        r.height() * 0.15));
}
void Banknote(QPainter& p, const QRectF& b, const QColor& c) {
  const QRectF r =
      b.adjusted(b.width() * 0.04, b.height() * 0.22, -b.width() * 0.04, -b.height() * 0.22);
  p.setPen(Stroke(c.darker(160), 1));
  p.setBrush(c);
  p.drawRect(r);
  p.setBrush(Lighter(c));
  p.drawEllipse(r.center(), r.height() * 0.32, r.height() * 0.32);
}
void Pie(QPainter& p, const QRectF& b, const QColor& c) {
  const QRectF r =
      b.adjusted(b.width() * 0.1, b.height() * 0.1, -b.width() * 0.1, -b.height() * 0.1);
  p.setPen(Stroke(QColor(70, 70, 70), 1));
  p.setBrush(c);
  p.drawPie(r, 90 * 16, 250 * 16);
  p.setBrush(QColor(240, 200, 60));
  p.drawPie(r.translated(1, -1), 340 * 16, 110 * 16);
}
void Triangle(QPainter& p, const QRectF& b, const QColor& c, bool left, bool bar) {
  const double w = b.width() * 0.5, h = b.height() * 0.6;
  const double cx = b.center().x() + (bar ? (left ? w * 0.15 : -w * 0.15) : 0);
  QPolygonF t;
  if (left)
    t << QPointF(cx - w / 2, b.center().y()) << QPointF(cx + w / 2, b.center().y() - h / 2)
      << QPointF(cx + w / 2, b.center().y() + h / 2);
  else
    t << QPointF(cx + w / 2, b.center().y()) << QPointF(cx - w / 2, b.center().y() - h / 2)
      << QPointF(cx - w / 2, b.center().y() + h / 2);
  p.setPen(Stroke(c.darker(150), 1));
  p.setBrush(c);
  p.drawPolygon(t);
  if (bar) {
    const double x = left ? cx - w / 2 - 2 : cx + w / 2 + 2;
    p.setPen(Stroke(c.darker(150), b.width() * 0.12));
    p.drawLine(QPointF(x, b.center().y() - h / 2), QPointF(x, b.center().y() + h / 2));
  }
}
void PageTurn(QPainter& p, const QRectF& b, const QColor& c, bool left, bool bar) {
  Paper(p,
        QRectF(b.left() + b.width() * 0.12, b.top() + b.height() * 0.05, b.width() * 0.76,
               b.height() * 0.9),
        QColor(90, 90, 90));
  Triangle(p, b.adjusted(b.width() * 0.15, b.height() * 0.2, -b.width() * 0.15, -b.height() * 0.1),
           c, left, bar);
}
void Bars(QPainter& p, const QRectF& b, const QColor& c) {
  p.setPen(Stroke(QColor(70, 70, 70), 1));
  p.drawLine(QPointF(b.left() + 2, b.bottom() - 2), QPointF(b.right() - 1, b.bottom() - 2));
  const double hs[] = {0.4, 0.75, 0.55};
  const QColor cols[] = {c, QColor(230, 170, 40), QColor(60, 160, 70)};
  for (int i = 0; i < 3; ++i) {
    const double w = b.width() * 0.2;
    p.setBrush(cols[i]);
    p.drawRect(QRectF(b.left() + b.width() * (0.15 + 0.25 * i), b.bottom() - 2 - b.height() * hs[i],
                      w, b.height() * hs[i]));
  }
}
void Chevrons(QPainter& p, const QRectF& b, const QColor& c) {
  p.setPen(Stroke(c, b.width() * 0.13));
  p.setBrush(Qt::NoBrush);
  for (int i = 0; i < 2; ++i) {
    const double x = b.left() + b.width() * (0.2 + 0.3 * i);
    QPolygonF v;
    v << QPointF(x, b.top() + b.height() * 0.2) << QPointF(x + b.width() * 0.28, b.center().y())
      << QPointF(x, b.bottom() - b.height() * 0.2);
    p.drawPolyline(v);
  }
}

}  // namespace
