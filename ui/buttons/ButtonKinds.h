#pragma once
// The button kinds: each gives a push button its default caption, modal result, width and
// glyph, so that a form only picks a kind and gets the right look and behaviour.

#include <array>
#include <cstdint>

namespace ui {

// clang-format off: the kinds in their published order, packed
enum TMButtonKind : std::uint8_t {
  mkFirst,
  mkPrev,
  mkNext,
  mkLast,
  mkAdd,
  mkDelete,
  mkRecord,
  mkView,
  mkPrint,
  mkOK,
  mkCancel,
  mkHelp,
  mkCustom,
  mkYes,
  mkNo,
  mkClose,
  mkAbort,
  mkRetry,
  mkIgnore,
  mkAll,
  mkEdit,
  mkAnalitic,
  mkDetalii,
  mkTarvex,
  mkSave,
  mkPlus,
  mkUnelte,
  mkConfig,
  mkStoc,
  mkSold,
  mkIntr,
  mkTransf,
  mkIes,
  mkBani,
  mkMail,
  mkBigExit,
  mkPlusAdd,
  mkMinusDel,
  mkFirstPag,
  mkLastPag,
  mkPrevPag,
  mkNextPag,
  mknPrev,
  mknNext,
  mkFind,
  mkFindNext,
  mkGrafic,
  mkSaveAs,
  mknFirst,
  mknLast
};
// clang-format on

inline constexpr int ButtonKindCount = 50;

// Modal results shared by every form of the program.
enum TModalResult : int {
  mrNone = 0,
  mrOk = 1,
  mrCancel = 2,
  mrAbort = 3,
  mrRetry = 4,
  mrIgnore = 5,
  mrYes = 6,
  mrNo = 7,
  mrAll = 8
};

struct ButtonKindInfo {
  const char* Caption;  // UTF-8, "&" marks the accelerator letter; "" when none
  int ModalResult;
  int Width;                 // width of a TMButton of this kind
  const char* MButtonGlyph;  // image store picture name, nullptr when none
  const char* NiceGlyph;     // image store picture name, nullptr when none (mkCustom: own glyph)
};

// The row of a kind; kinds outside the enumeration give the mkCustom row.
const ButtonKindInfo& KindInfo(int kind);

// True for the navigation kinds mkFirst..mkLast, which never show a caption on a TMButton.
inline constexpr bool IsNavigationKind(TMButtonKind kind) {
  return kind <= mkLast;
}

}  // namespace ui
