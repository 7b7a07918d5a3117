#pragma once
// Colour values as the program stores them: 32 bits, red in the lowest byte, green in the next,
// blue in the third. With the top bit set, the low byte is a system colour number instead
// (resolved against the user's colour scheme when drawn; see ui/store/SystemColors.h).
#include <cstdint>

namespace ui {

using TColor = std::uint32_t;

constexpr TColor kSystemColorFlag = 0x80000000u;

constexpr TColor RGBColor(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return TColor(r) | (TColor(g) << 8) | (TColor(b) << 16);
}
constexpr TColor SystemColorValue(std::uint8_t n) {
  return kSystemColorFlag | n;
}
constexpr bool IsSystemColor(TColor c) {
  return (c & kSystemColorFlag) != 0;
}
constexpr std::uint8_t RedOf(TColor c) {
  return c & 0xFF;
}
constexpr std::uint8_t GreenOf(TColor c) {
  return (c >> 8) & 0xFF;
}
constexpr std::uint8_t BlueOf(TColor c) {
  return (c >> 16) & 0xFF;
}

constexpr TColor clBlack = RGBColor(0, 0, 0);
constexpr TColor clMaroon = RGBColor(128, 0, 0);
constexpr TColor clGreen = RGBColor(0, 128, 0);
constexpr TColor clOlive = RGBColor(128, 128, 0);
constexpr TColor clNavy = RGBColor(0, 0, 128);
constexpr TColor clPurple = RGBColor(128, 0, 128);
constexpr TColor clTeal = RGBColor(0, 128, 128);
constexpr TColor clGray = RGBColor(128, 128, 128);
constexpr TColor clSilver = RGBColor(192, 192, 192);
constexpr TColor clRed = RGBColor(255, 0, 0);
constexpr TColor clLime = RGBColor(0, 255, 0);
constexpr TColor clYellow = RGBColor(255, 255, 0);
constexpr TColor clBlue = RGBColor(0, 0, 255);
constexpr TColor clFuchsia = RGBColor(255, 0, 255);
constexpr TColor clAqua = RGBColor(0, 255, 255);
constexpr TColor clWhite = RGBColor(255, 255, 255);

constexpr TColor clScrollBar = SystemColorValue(0);
constexpr TColor clBackground = SystemColorValue(1);
constexpr TColor clActiveCaption = SystemColorValue(2);
constexpr TColor clInactiveCaption = SystemColorValue(3);
constexpr TColor clMenu = SystemColorValue(4);
constexpr TColor clWindow = SystemColorValue(5);
constexpr TColor clWindowFrame = SystemColorValue(6);
constexpr TColor clMenuText = SystemColorValue(7);
constexpr TColor clWindowText = SystemColorValue(8);
constexpr TColor clCaptionText = SystemColorValue(9);
constexpr TColor clActiveBorder = SystemColorValue(10);
constexpr TColor clInactiveBorder = SystemColorValue(11);
constexpr TColor clAppWorkSpace = SystemColorValue(12);
constexpr TColor clHighlight = SystemColorValue(13);
constexpr TColor clHighlightText = SystemColorValue(14);
constexpr TColor clBtnFace = SystemColorValue(15);
constexpr TColor clBtnShadow = SystemColorValue(16);
constexpr TColor clGrayText = SystemColorValue(17);
constexpr TColor clBtnText = SystemColorValue(18);
constexpr TColor clInactiveCaptionText = SystemColorValue(19);
constexpr TColor clBtnHighlight = SystemColorValue(20);

// The 37 colours that "@n" selects in markup, n = 0 .. 36.
constexpr int kMarkupColorCount = 37;
constexpr TColor kMarkupColors[kMarkupColorCount] = {
    clBlack,        clMaroon,      clGreen,         clOlive,
    clNavy,         clPurple,      clTeal,          clGray,
    clSilver,       clRed,         clLime,          clYellow,
    clBlue,         clFuchsia,     clAqua,          clWhite,
    clScrollBar,    clBackground,  clActiveCaption, clInactiveCaption,
    clMenu,         clWindow,      clWindowFrame,   clMenuText,
    clWindowText,   clCaptionText, clActiveBorder,  clInactiveBorder,
    clAppWorkSpace, clHighlight,   clHighlightText, clBtnFace,
    clBtnShadow,    clGrayText,    clBtnText,       clInactiveCaptionText,
    clBtnHighlight};

}  // namespace ui
