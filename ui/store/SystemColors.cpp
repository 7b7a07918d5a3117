#include "ui/store/SystemColors.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPalette>
#include <QScreen>

namespace ui {
namespace {

// The classic scheme, used when there is no application to ask.
constexpr TColor kClassic[] = {
    RGBColor(200, 200, 200), RGBColor(0, 128, 128),   RGBColor(0, 0, 128),
    RGBColor(128, 128, 128), RGBColor(192, 192, 192), RGBColor(255, 255, 255),
    RGBColor(0, 0, 0),       RGBColor(0, 0, 0),       RGBColor(0, 0, 0),
    RGBColor(255, 255, 255), RGBColor(192, 192, 192), RGBColor(192, 192, 192),
    RGBColor(128, 128, 128), RGBColor(0, 0, 128),     RGBColor(255, 255, 255),
    RGBColor(192, 192, 192), RGBColor(128, 128, 128), RGBColor(128, 128, 128),
    RGBColor(0, 0, 0),       RGBColor(192, 192, 192), RGBColor(255, 255, 255),
    RGBColor(0, 0, 0),       RGBColor(223, 223, 223), RGBColor(0, 0, 0),
    RGBColor(255, 255, 225)};
constexpr int kSystemColorCount = int(sizeof(kClassic) / sizeof(kClassic[0]));

QColor Rgb(TColor c) {
  return QColor(RedOf(c), GreenOf(c), BlueOf(c));
}

}  // namespace

QColor SystemColor(int n) {
  if (n < 0 || n >= kSystemColorCount) n = 8;
  if (!qGuiApp) return Rgb(kClassic[n]);
  // Colours with a role in the palette follow the application palette (the classic one once
  // the program's forms exist); the desktop and caption colours have none and stay classic.
  const QPalette pal = QGuiApplication::palette();
  using P = QPalette;
  switch (n) {
    case 4: return pal.color(P::Window);
    case 5: return pal.color(P::Base);
    case 7: return pal.color(P::WindowText);
    case 8: return pal.color(P::Text);
    case 10: return pal.color(P::Window);
    case 11: return pal.color(P::Window);
    case 13: return pal.color(P::Highlight);
    case 14: return pal.color(P::HighlightedText);
    case 15: return pal.color(P::Button);
    case 16: return pal.color(P::Dark);
    case 17: return pal.color(P::Disabled, P::Text);
    case 18: return pal.color(P::ButtonText);
    case 20: return pal.color(P::Light);
    case 21: return pal.color(P::Shadow);
    case 22: return pal.color(P::Midlight);
    case 23: return pal.color(P::ToolTipText);
    case 24: return pal.color(P::ToolTipBase);
    default: return Rgb(kClassic[n]);
  }
}

QPalette ClassicPalette() {
  auto c = [](int n) { return Rgb(kClassic[n]); };
  QPalette pal(c(18), c(15), c(20), c(21), c(16), c(8), c(5));
  pal.setColor(QPalette::Window, c(15));
  pal.setColor(QPalette::WindowText, c(8));
  pal.setColor(QPalette::Button, c(15));
  pal.setColor(QPalette::ButtonText, c(18));
  pal.setColor(QPalette::Base, c(5));
  pal.setColor(QPalette::AlternateBase, c(15));
  pal.setColor(QPalette::Text, c(8));
  pal.setColor(QPalette::Light, c(20));
  pal.setColor(QPalette::Midlight, c(22));
  pal.setColor(QPalette::Dark, c(16));
  pal.setColor(QPalette::Mid, QColor(160, 160, 160));
  pal.setColor(QPalette::Shadow, c(21));
  pal.setColor(QPalette::Highlight, c(13));
  pal.setColor(QPalette::HighlightedText, c(14));
  pal.setColor(QPalette::ToolTipBase, c(24));
  pal.setColor(QPalette::ToolTipText, c(23));
  pal.setColor(QPalette::PlaceholderText, c(17));
  pal.setColor(QPalette::Link, QColor(0, 0, 255));
  for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
    pal.setColor(QPalette::Disabled, role, c(17));
  pal.setColor(QPalette::Disabled, QPalette::Base, c(15));
  pal.setColor(QPalette::Disabled, QPalette::Highlight, c(16));
  return pal;
}

void InstallClassicPalette() {
  static bool installed = false;
  if (installed || !qobject_cast<QApplication*>(QCoreApplication::instance())) return;
  installed = true;
  QApplication::setPalette(ClassicPalette());
}

QColor ToQColor(TColor color) {
  if (IsSystemColor(color)) return SystemColor(color & 0xFF);
  return Rgb(color);
}

TColor FromQColor(const QColor& color) {
  return RGBColor(std::uint8_t(color.red()), std::uint8_t(color.green()),
                  std::uint8_t(color.blue()));
}

int ScreenColorDepth() {
  if (!qGuiApp) return 32;
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->depth() : 32;
}

}  // namespace ui
