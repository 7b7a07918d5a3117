#pragma once
// The calculator window's layout: one grid of keys under the expression and result, the VAT
// row below it. Shared by the files that build the window.
namespace calculator::layout {

inline constexpr int kWidth = 328;
inline constexpr int kHeight = 332;
inline constexpr int kMargin = 10;
inline constexpr int kKeyWidth = 48;
inline constexpr int kKeyHeight = 28;
inline constexpr int kGap = 4;
inline constexpr int kKeypadTop = 134;

}  // namespace calculator::layout
