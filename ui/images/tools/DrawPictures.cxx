// Draws every picture of the image store with QPainter and writes them as PNG files, one per
// picture, into the folder given as the only argument. Run through generate.sh; the PNGs are
// committed, so the build does not need this program.
//
// Conventions: the top-left pixel of each picture is its transparent colour (kBack for glyphs
// and marks); glyph strips hold three equal cells: normal, disabled, hot/pressed.
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>
#include <cstdio>
#include <functional>
#include <map>

#include "Symbols.h"

namespace {

using Draw = std::function<void(QPainter&, const QRectF& box, const QColor& ink)>;

// Fills `img` with the background and lets `paint` draw on a transparent layer, which is then
// laid over the background. Pixels that came out exactly as the background colour are nudged
// by one step, so nothing drawn turns transparent by accident.
QImage Compose(int w, int h, const QColor& back, const std::function<void(QPainter&)>& paint) {
  QImage layer(w, h, QImage::Format_ARGB32_Premultiplied);
  layer.fill(Qt::transparent);
  {
    QPainter p(&layer);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    paint(p);
  }
  QImage out(w, h, QImage::Format_RGB32);
  out.fill(back);
  {
    QPainter p(&out);
    p.drawImage(0, 0, layer);
  }
  const QRgb bg = back.rgb();
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (qAlpha(layer.pixel(x, y)) != 0 && out.pixel(x, y) == bg)
        out.setPixel(x, y, qRgb(qRed(bg) ^ 1, qGreen(bg), qBlue(bg)));
  return out;
}

// ---- strips of three cells ---------------------------------------------------------------
// Cell 1 (disabled) is cell 0 turned grey and faded; cell 2 (hot or pressed) is brighter.
QImage Strip(int cw, int ch, const QColor& ink, const Draw& draw, double margin = 0.08) {
  auto cellBox = [&](int i) {
    const double m = std::min(cw, ch) * margin;
    const double side = std::min(cw, ch) - 2 * m;
    return QRectF(i * cw + (cw - side) / 2, (ch - side) / 2, side, side);
  };
  QImage faded(cw, ch, QImage::Format_ARGB32);
  faded.fill(Qt::transparent);
  {
    QPainter p(&faded);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p, cellBox(0), ink);
  }
  for (int y = 0; y < ch; ++y)
    for (int x = 0; x < cw; ++x) {
      const QRgb c = faded.pixel(x, y);
      const int g = 110 + qGray(c) * 100 / 255;
      faded.setPixel(x, y, qRgba(g, g, g, qAlpha(c)));
    }
  return Compose(cw * 3, ch, kBack, [&](QPainter& p) {
    draw(p, cellBox(0), ink);
    p.drawImage(QPointF(cw, 0), faded);
    draw(p, cellBox(2), Lighter(ink));
  });
}

// ---- message icons, 42 x 64 -------------------------------------------------------------
QImage MessageIcon(const QColor& base, const QString& sign, bool triangle) {
  return Compose(42, 64, kBack, [&](QPainter& p) {
    // Soft ground shadow, then the badge standing on it.
    QRadialGradient shade(QPointF(21, 58), 18);
    shade.setColorAt(0, QColor(0, 0, 0, 70));
    shade.setColorAt(1, QColor(0, 0, 0, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(shade);
    p.drawEllipse(QRectF(3, 53, 36, 10));
    QLinearGradient g(0, 8, 0, 52);
    g.setColorAt(0, base.lighter(140));
    g.setColorAt(1, base.darker(115));
    p.setBrush(g);
    p.setPen(QPen(base.darker(170), 1.5));
    QPainterPath shape;
    if (triangle) {
      shape.moveTo(21, 10);
      shape.lineTo(40, 50);
      shape.lineTo(2, 50);
      shape.closeSubpath();
      QPainterPathStroker rounder;
      rounder.setWidth(4);
      rounder.setJoinStyle(Qt::RoundJoin);
      shape = shape.united(rounder.createStroke(shape));
    } else {
      shape.addEllipse(QRectF(2, 12, 38, 38));
    }
    p.drawPath(shape);
    // Glossy highlight on the upper half.
    QLinearGradient gloss(0, 12, 0, 32);
    gloss.setColorAt(0, QColor(255, 255, 255, 120));
    gloss.setColorAt(1, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(gloss);
    if (!triangle) p.drawEllipse(QRectF(8, 14, 26, 16));
    // The sign.
    QFont f("DejaVu Sans");
    f.setBold(true);
    f.setPixelSize(triangle ? 26 : 28);
    p.setFont(f);
    const QRectF box = triangle ? QRectF(2, 20, 38, 30) : QRectF(2, 12, 38, 38);
    p.setPen(QColor(0, 0, 0, 90));
    p.drawText(box.translated(1, 1), Qt::AlignCenter, sign);
    p.setPen(triangle ? QColor(40, 30, 0) : Qt::white);
    p.drawText(box, Qt::AlignCenter, sign);
  });
}

// ---- skins ------------------------------------------------------------------------------
// One rounded face is drawn 3 cells wide and cut into left end, middle (its centre column
// repeated, so tiling shows no seam) and right end.
QImage FaceRow(int cw, int h, int state) {
  QImage whole = Compose(cw * 3, h, kBack, [&](QPainter& p) {
    const QRectF r(0.5, 0.5, cw * 3 - 1, h - 1);
    QLinearGradient g(0, 0, 0, h);
    if (state == 2) {
      g.setColorAt(0, QColor(176, 176, 176));
      g.setColorAt(1, QColor(226, 226, 226));
    } else {
      g.setColorAt(0, QColor(255, 255, 255));
      g.setColorAt(0.5, QColor(232, 232, 232));
      g.setColorAt(1, QColor(200, 200, 200));
    }
    p.setBrush(g);
    p.setPen(QPen(state == 1 ? QColor(40, 110, 200) : QColor(112, 112, 112), state == 1 ? 1.6 : 1));
    p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), h / 2.6, h / 2.6);
  });
  QImage row(cw * 3, h, QImage::Format_RGB32);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < cw * 3; ++x) {
      int sx = x;
      if (x >= cw && x < 2 * cw) sx = cw + cw / 2;
      row.setPixel(x, y, whole.pixel(sx, y));
    }
  return row;
}
QImage Skin(int cw, int h, int states) {
  QImage out(cw * 3 * states, h, QImage::Format_RGB32);
  QPainter p(&out);
  for (int s = 0; s < states; ++s) p.drawImage(s * cw * 3, 0, FaceRow(cw, h, s));
  return out;
}

QImage Plain(int w, int h, const QColor& back, const std::function<void(QPainter&)>& paint) {
  return Compose(w, h, back, paint);
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: DrawPictures OUTDIR\n");
    return 2;
  }
  const QString dir = QString::fromLocal8Bit(argv[1]);
  std::map<QString, QImage> out;

  const QColor green(40, 150, 60), red(200, 40, 40), blue(40, 100, 200), amber(235, 175, 30);
  const QColor brown(150, 100, 60), grey(110, 110, 120), teal(30, 140, 140), purple(120, 70, 170);

  out["Warning"] = MessageIcon(amber, "!", true);
  out["Error"] = MessageIcon(QColor(205, 35, 35), QString(QChar(0x2715)), false);
  out["Information"] = MessageIcon(QColor(40, 110, 210), "i", false);
  out["Confirmation"] = MessageIcon(QColor(40, 150, 70), "?", false);

  // Button glyphs: 20 x 20 cells unless stated.
  auto g = [&](const char* name, int cw, int ch, const QColor& ink, Draw d) { out[name] = Strip(cw, ch, ink, d); };
  using P = QPainter;
  using R = QRectF;
  using C = QColor;
  g("OK", 20, 20, green, Check);
  g("Cancel", 20, 20, red, Cross);
  g("Help", 20, 20, blue, [](P& p, const R& b, const C& c) { Letter(p, b, c, "?"); });
  g("Nu", 20, 20, red, NoSign);
  g("Exit", 20, 20, green, Door);
  g("Retry", 20, 20, blue, Retry);
  g("Add", 20, 20, green, PlusSign);
  g("Delete", 20, 20, red, MinusSign);
  g("Jurnal", 20, 20, brown, Book);
  g("Vizual", 20, 20, blue, Eye);
  g("Print", 20, 20, grey, Printer);
  g("Edit", 20, 20, amber, Pencil);
  g("Analitic", 20, 20, blue, ListLines);
  g("Detalii", 20, 20, blue, Details);
  g("Save", 20, 20, blue, Floppy);
  g("Mail", 20, 20, brown, Envelope);
  g("Image1", 20, 20, green, [](P& p, const R& b, const C& c) {
    Check(p, b.adjusted(-2, 2, -4, -2), c);
    Check(p, b.adjusted(4, -2, 2, -6), c);
  });
  g("Avansat", 20, 20, blue, Chevrons);
  g("PrnSetup", 20, 20, grey, [](P& p, const R& b, const C& c) {
    Printer(p, b, c);
    Gear(p, R(b.right() - b.width() * 0.45, b.bottom() - b.height() * 0.45, b.width() * 0.45, b.height() * 0.45), QColor(220, 150, 30));
  });
  g("SaveAs", 20, 20, blue, [](P& p, const R& b, const C& c) {
    Floppy(p, b.adjusted(0, 0, -3, -3), c);
    Pencil(p, R(b.center().x(), b.center().y(), b.width() / 2, b.height() / 2), QColor(230, 170, 40));
  });
  g("Plus", 16, 20, green, PlusSign);
  g("PlusAdd", 20, 20, green, [](P& p, const R& b, const C& c) {
    Paper(p, b.adjusted(2, 0, -4, -2), QColor(90, 90, 90));
    PlusSign(p, R(b.center().x() - 1, b.center().y() - 1, b.width() / 2 + 1, b.height() / 2 + 1), c);
  });
  g("MinusDel", 20, 20, red, [](P& p, const R& b, const C& c) {
    Paper(p, b.adjusted(2, 0, -4, -2), QColor(90, 90, 90));
    MinusSign(p, R(b.center().x() - 1, b.center().y() - 1, b.width() / 2 + 1, b.height() / 2 + 1), c);
  });
  g("Precedent", 16, 20, blue, [](P& p, const R& b, const C& c) { Triangle(p, b, c, true, false); });
  g("Urmator", 16, 20, blue, [](P& p, const R& b, const C& c) { Triangle(p, b, c, false, false); });
  g("Buget", 16, 20, green, Pie);
  g("FirstPag", 20, 20, blue, [](P& p, const R& b, const C& c) { PageTurn(p, b, c, true, true); });
  g("LastPag", 20, 20, blue, [](P& p, const R& b, const C& c) { PageTurn(p, b, c, false, true); });
  g("PrevPag", 20, 20, blue, [](P& p, const R& b, const C& c) { PageTurn(p, b, c, true, false); });
  g("NextPag", 20, 20, blue, [](P& p, const R& b, const C& c) { PageTurn(p, b, c, false, false); });
  g("nFirst", 16, 20, blue, [](P& p, const R& b, const C& c) { Triangle(p, b, c, true, true); });
  g("nPrev", 12, 20, blue, [](P& p, const R& b, const C& c) { Triangle(p, b, c, true, false); });
  g("nNext", 12, 20, blue, [](P& p, const R& b, const C& c) { Triangle(p, b, c, false, false); });
  g("nLast", 16, 20, blue, [](P& p, const R& b, const C& c) { Triangle(p, b, c, false, true); });
  g("Find", 20, 20, blue, Magnifier);
  g("FindNext", 20, 20, blue, [](P& p, const R& b, const C& c) {
    Magnifier(p, b.adjusted(0, 0, -3, -3), c);
    Arrow(p, QPointF(b.center().x() + 1, b.bottom() - 2), QPointF(b.right() - 1, b.bottom() - 2), QColor(40, 150, 60), 2);
  });
  g("Grafic", 20, 20, blue, Bars);
  // Large toolbar glyphs: 32 x 26 cells; BIntr is the widest at 41 x 26.
  g("BigExit", 32, 26, green, Door);
  g("BUnelte", 32, 26, grey, Wrench);
  g("Config", 32, 26, grey, Gear);
  g("Stoc", 32, 26, brown, Boxes);
  g("Sold", 32, 26, teal, Scale);
  g("BIntr", 41, 26, green, [](P& p, const R& b, const C& c) { Tray(p, b, c, true); });
  g("BSediu", 32, 26, purple, Building);
  g("BIes", 32, 26, red, [](P& p, const R& b, const C& c) { Tray(p, b, c, false); });
  g("BBani", 32, 26, green, Banknote);

  // Skins.
  out["ButtonFace"] = Skin(20, 28, 3);
  out["ButtonFace2"] = Skin(20, 42, 2);
  out["LookupFace"] = Skin(20, 42, 2);
  out["SpeedFace"] = Skin(6, 16, 3);
  out["IconFace"] = Plain(56, 30, kBack, [](P& p) {
    QLinearGradient lg(0, 0, 0, 30);
    lg.setColorAt(0, QColor(250, 250, 250));
    lg.setColorAt(1, QColor(200, 205, 215));
    p.setBrush(lg);
    p.setPen(QPen(QColor(120, 125, 140), 1));
    p.drawRoundedRect(QRectF(1.5, 1.5, 53, 27), 8, 8);
  });

  // Radio: unchecked, checked (11 x 11 each).
  out["Radio"] = Plain(22, 11, kBack, [](P& p) {
    for (int i = 0; i < 2; ++i) {
      QRadialGradient rg(QPointF(i * 11 + 4.5, 4), 7);
      rg.setColorAt(0, Qt::white);
      rg.setColorAt(1, QColor(205, 210, 220));
      p.setBrush(rg);
      p.setPen(QPen(QColor(90, 100, 120), 1));
      p.drawEllipse(QRectF(i * 11 + 0.5, 0.5, 10, 10));
      if (i) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(30, 90, 190));
        p.drawEllipse(QRectF(i * 11 + 3, 3, 5, 5));
      }
    }
  });
  // Check: unchecked, checked, grayed, and the same three disabled (11 x 15 each).
  out["Check"] = Plain(66, 15, kBack, [](P& p) {
    for (int i = 0; i < 6; ++i) {
      const bool off = i >= 3;
      const QRectF box(i * 11 + 0.5, 2.5, 10, 10);
      p.setPen(QPen(off ? QColor(160, 160, 160) : QColor(90, 100, 120), 1));
      p.setBrush(off ? QColor(230, 230, 230) : Qt::white);
      p.drawRect(box);
      if (i % 3 == 1) Check(p, box.adjusted(1.5, 1.5, -1.5, -1.5), off ? QColor(150, 150, 150) : QColor(30, 120, 50));
      if (i % 3 == 2) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(160, 160, 160));
        p.drawRect(box.adjusted(2.5, 2.5, -2.5, -2.5));
      }
    }
  });
  out["Surub"] = Plain(8, 8, kBack, [](P& p) {
    QRadialGradient rg(QPointF(3, 3), 5);
    rg.setColorAt(0, QColor(245, 245, 245));
    rg.setColorAt(1, QColor(130, 130, 135));
    p.setBrush(rg);
    p.setPen(QPen(QColor(80, 80, 85), 0.8));
    p.drawEllipse(QRectF(0.5, 0.5, 7, 7));
    p.setPen(QPen(QColor(60, 60, 65), 1.2));
    p.drawLine(QPointF(2, 6), QPointF(6, 2));
  });
  out["Permis"] = Plain(12, 12, kBack, [&](P& p) { Circle(p, R(0, 0, 12, 12), green); Check(p, R(2, 2, 8, 8), Qt::white); });
  out["Interzis"] = Plain(12, 12, kBack, [&](P& p) { Circle(p, R(0, 0, 12, 12), red); MinusSign(p, R(1, 1, 10, 10), Qt::white); });
  out["Linii"] = Plain(8, 8, Qt::white, [](P& p) {
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QColor(200, 205, 220));
    p.drawLine(0, 7, 7, 7);
  });
  out["HatchB"] = Plain(8, 8, Qt::white, [](P& p) {
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QColor(170, 175, 190));
    for (int i = 0; i < 8; ++i) p.drawPoint(i, 7 - i);
  });
  out["Anulat"] = Plain(92, 52, kBack, [](P& p) {
    p.translate(46, 26);
    p.rotate(-14);
    const QColor ink(200, 30, 30);
    p.setPen(QPen(ink, 2.5));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(-40, -14, 80, 28), 5, 5);
    p.setFont(Bold(17));
    p.setPen(ink);
    p.drawText(QRectF(-40, -14, 80, 28), Qt::AlignCenter, "ANULAT");
  });
  auto groupMark = [&](bool filled) {
    return Plain(42, 15, kBack, [=](P& p) {
      p.setPen(QPen(QColor(90, 100, 120), 1));
      p.setBrush(QColor(250, 250, 250));
      p.drawRoundedRect(QRectF(0.5, 1.5, 41, 12), 6, 6);
      if (filled) Cross(p, R(14, 0.5, 14, 14), QColor(190, 40, 40));
      else {
        p.setPen(QPen(QColor(60, 120, 60), 1.6));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(16.5, 3.5, 9, 8));
      }
    });
  };
  out["GrupX"] = groupMark(true);
  out["Grup0"] = groupMark(false);
  auto sortMark = [&](bool up) {
    return Plain(20, 15, kBack, [=](P& p) {
      QPolygonF t;
      if (up) t << QPointF(10, 2) << QPointF(17, 13) << QPointF(3, 13);
      else t << QPointF(10, 13) << QPointF(17, 2) << QPointF(3, 2);
      p.setPen(QPen(QColor(60, 70, 90), 1));
      p.setBrush(QColor(120, 140, 170));
      p.drawPolygon(t);
    });
  };
  out["crescator"] = sortMark(true);
  out["descrescator"] = sortMark(false);
  auto grip = [&](int w, int h) {
    return Plain(w, h, kBack, [=](P& p) {
      p.setRenderHint(QPainter::Antialiasing, false);
      for (int y = 2; y < h - 1; y += 3)
        for (int x = 2; x < w - 1; x += 3) {
          p.setPen(Qt::white);
          p.drawPoint(x + 1, y + 1);
          p.setPen(QColor(128, 128, 128));
          p.drawPoint(x, y);
        }
    });
  };
  out["ToolbVert"] = grip(8, 26);
  out["ToolbOriz"] = grip(26, 8);
  out["EscapeImg"] = Plain(84, 15, kBack, [](P& p) {
    p.setPen(QPen(QColor(100, 100, 110), 1));
    p.setBrush(QColor(250, 250, 250));
    p.drawRoundedRect(QRectF(0.5, 0.5, 28, 14), 3, 3);
    QFont f("DejaVu Sans");
    f.setPixelSize(9);
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(40, 40, 40));
    p.drawText(QRectF(0, 0, 29, 15), Qt::AlignCenter, "Esc");
    f.setBold(false);
    f.setPixelSize(10);
    p.setFont(f);
    p.drawText(QRectF(32, 0, 52, 15), Qt::AlignVCenter | Qt::AlignLeft, "= renunt");
  });
  out["Pag"] = Plain(20, 30, kBack, [](P& p) {
    Paper(p, QRectF(1.5, 1.5, 17, 27), QColor(90, 90, 90));
    TextLines(p, QRectF(3, 8, 12, 18), QColor(150, 150, 150), 5);
  });
  out["PalmaDeMajorca"] = Plain(78, 11, kBack, [](P& p) {
    QLinearGradient lg(0, 0, 78, 0);
    lg.setColorAt(0, QColor(40, 110, 200, 0));
    lg.setColorAt(0.5, QColor(40, 110, 200));
    lg.setColorAt(1, QColor(40, 110, 200, 0));
    p.setPen(QPen(QBrush(lg), 2));
    QPainterPath w;
    w.moveTo(0, 5.5);
    for (int x = 0; x < 78; x += 12) w.cubicTo(x + 3, 1, x + 9, 10, x + 12, 5.5);
    p.drawPath(w);
  });
  auto background = [&](bool grid) {
    return Plain(160, 160, QColor(250, 250, 246), [=](P& p) {
      p.setPen(QPen(QColor(225, 230, 240), 1));
      for (int y = 20; y < 160; y += 20) p.drawLine(0, y, 160, y);
      if (grid)
        for (int x = 20; x < 160; x += 20) p.drawLine(x, 0, x, 160);
      else {
        p.setPen(QPen(QColor(240, 215, 215), 1));
        p.drawLine(24, 0, 24, 160);
      }
    });
  };
  out["ImageDate"] = background(true);
  out["ImageListe"] = background(false);
  out["Mijloc"] = Plain(32, 250, QColor(200, 210, 225), [](P& p) {
    QLinearGradient lg(0, 0, 32, 0);
    lg.setColorAt(0, QColor(170, 185, 210));
    lg.setColorAt(0.5, QColor(235, 240, 248));
    lg.setColorAt(1, QColor(170, 185, 210));
    p.fillRect(QRectF(0, 0, 32, 250), lg);
  });
  out["Hartie"] = Plain(32, 68, QColor(252, 250, 240), [](P& p) {
    p.setPen(QPen(QColor(215, 225, 240), 1));
    for (int y = 8; y < 68; y += 12) p.drawLine(0, y, 32, y);
  });
  out["StopModi"] = Plain(86, 53, kBack, [](P& p) {
    QPolygonF oct;
    for (int i = 0; i < 8; ++i) {
      const double a = M_PI / 8 + i * M_PI / 4;
      oct << QPointF(26 + 24 * std::cos(a), 26.5 + 24 * std::sin(a));
    }
    p.setPen(QPen(Qt::white, 2));
    p.setBrush(QColor(200, 30, 30));
    p.drawPolygon(oct);
    p.setFont(Bold(11));
    p.setPen(Qt::white);
    p.drawText(QRectF(2, 10, 48, 33), Qt::AlignCenter, "STOP");
    QFont f("DejaVu Sans");
    f.setPixelSize(9);
    p.setFont(f);
    p.setPen(QColor(60, 60, 60));
    p.drawText(QRectF(52, 8, 34, 40), Qt::AlignCenter | Qt::TextWordWrap, "Nu se modifica");
  });
  out["Tarvex"] = Plain(102, 32, kBack, [](P& p) {
    QLinearGradient lg(0, 0, 0, 32);
    lg.setColorAt(0, QColor(60, 120, 200));
    lg.setColorAt(1, QColor(20, 60, 130));
    p.setBrush(lg);
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(1, 1, 100, 30), 6, 6);
    p.setFont(Bold(18));
    p.setPen(Qt::white);
    p.drawText(QRectF(1, 1, 100, 30), Qt::AlignCenter, "Tarvex");
  });
  out["Logo"] = Plain(165, 25, kBack, [](P& p) {
    p.setFont(Bold(15));
    p.setPen(QColor(30, 80, 160));
    p.drawText(QRectF(0, 0, 165, 25), Qt::AlignCenter, "Import preturi");
  });

  int failures = 0;
  for (const auto& [name, img] : out) {
    if (!img.save(dir + "/" + name + ".png", "PNG")) {
      std::fprintf(stderr, "cannot write %s\n", qPrintable(name));
      ++failures;
    }
  }
  std::printf("%zu pictures written\n", out.size());
  return failures ? 1 : 0;
}
