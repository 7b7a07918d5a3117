#include "ui/store/SystemColors.h"

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
  const QPalette pal = QGuiApplication::palette();
  using P = QPalette;
  switch (n) {
    case 0: return pal.color(P::Midlight);
    case 1: return pal.color(P::Dark);
    case 2: return pal.color(P::Active, P::Highlight);
    case 3: return pal.color(P::Mid);
    case 4: return pal.color(P::Window);
    case 5: return pal.color(P::Base);
    case 6: return pal.color(P::Shadow);
    case 7: return pal.color(P::WindowText);
    case 8: return pal.color(P::Text);
    case 9: return pal.color(P::Active, P::HighlightedText);
    case 10: return pal.color(P::Window);
    case 11: return pal.color(P::Window);
    case 12: return pal.color(P::Dark);
    case 13: return pal.color(P::Highlight);
    case 14: return pal.color(P::HighlightedText);
    case 15: return pal.color(P::Button);
    case 16: return pal.color(P::Dark);
    case 17: return pal.color(P::Disabled, P::Text);
    case 18: return pal.color(P::ButtonText);
    case 19: return pal.color(P::Disabled, P::WindowText);
    case 20: return pal.color(P::Light);
    case 21: return pal.color(P::Shadow);
    case 22: return pal.color(P::Midlight);
    case 23: return pal.color(P::ToolTipText);
    default: return pal.color(P::ToolTipBase);
  }
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
