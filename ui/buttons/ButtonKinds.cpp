#include "ui/buttons/ButtonKinds.h"

namespace ui {
namespace {

// clang-format off: one row per button kind, kept as a table
const std::array<ButtonKindInfo, ButtonKindCount> kKinds = {{
    {"f", mrNone, 42, "Buget", nullptr},                // mkFirst
    {"&p", mrNone, 42, "Precedent", nullptr},           // mkPrev
    {"&u", mrNone, 42, "Urmator", nullptr},             // mkNext
    {"", mrNone, 42, nullptr, nullptr},                 // mkLast
    {"&Adaug", mrNone, 70, "Add", "Add"},               // mkAdd
    {"&Sterg", mrNone, 70, "Delete", "Delete"},         // mkDelete
    {"&Jurnal", mrNone, 70, "Jurnal", "Jurnal"},        // mkRecord
    {"&w", mrNone, 70, "Vizual", "Vizual"},             // mkView
    {"&Listare", mrNone, 70, "Print", "Print"},         // mkPrint
    {"O&K", mrOk, 70, "OK", "OK"},                      // mkOK
    {"&Renunt", mrCancel, 70, "Cancel", "Cancel"},      // mkCancel
    {"S&faturi", mrNone, 70, "Help", "Help"},           // mkHelp
    {"", mrNone, 90, nullptr, nullptr},                 // mkCustom
    {"&Da", mrYes, 90, "OK", "OK"},                     // mkYes
    {"&Nu", mrNo, 90, "Nu", "Nu"},                      // mkNo
    {"I&esire", mrCancel, 90, "Exit", "Exit"},          // mkClose
    {"&Abandon", mrAbort, 90, "Cancel", "Cancel"},      // mkAbort
    {"&Retry", mrRetry, 90, "Retry", "Retry"},          // mkRetry
    {"&Ignora", mrIgnore, 90, nullptr, "PrnSetup"},     // mkIgnore
    {"&Toate", mrAll, 90, "Image1", "Avansat"},         // mkAll
    {"&Modific", mrNone, 90, "Edit", "Edit"},           // mkEdit
    {"Analiti&c", mrNone, 90, "Analitic", "Analitic"},  // mkAnalitic
    {"&Detalii", mrNone, 90, "Detalii", "Detalii"},     // mkDetalii
    {"Tarv&ex", mrNone, 90, nullptr, nullptr},          // mkTarvex
    {"Salve&z", mrNone, 90, "Save", "Save"},            // mkSave
    {"", mrNone, 42, "Plus", nullptr},                  // mkPlus
    {"", mrNone, 45, "BUnelte", "BUnelte"},             // mkUnelte
    {"", mrNone, 45, "Config", "Config"},               // mkConfig
    {"", mrNone, 45, "Stoc", nullptr},                  // mkStoc
    {"", mrNone, 45, "Sold", nullptr},                  // mkSold
    {"", mrNone, 45, "BIntr", nullptr},                 // mkIntr
    {"", mrNone, 45, "BSediu", nullptr},                // mkTransf
    {"", mrNone, 45, "BIes", nullptr},                  // mkIes
    {"", mrNone, 45, "BBani", nullptr},                 // mkBani
    {"E&Mail", mrNone, 45, "Mail", "Mail"},             // mkMail
    {"", mrNone, 45, "BigExit", "BigExit"},             // mkBigExit
    {"", mrNone, 45, "PlusAdd", nullptr},               // mkPlusAdd
    {"", mrNone, 45, "MinusDel", nullptr},              // mkMinusDel
    {"", mrNone, 45, "FirstPag", nullptr},              // mkFirstPag
    {"", mrNone, 45, "LastPag", nullptr},               // mkLastPag
    {"", mrNone, 45, "PrevPag", nullptr},               // mkPrevPag
    {"", mrNone, 45, "NextPag", nullptr},               // mkNextPag
    {"", mrNone, 45, "nPrev", nullptr},                 // mknPrev
    {"", mrNone, 45, "nNext", nullptr},                 // mknNext
    {"", mrNone, 45, "Find", nullptr},                  // mkFind
    {"", mrNone, 45, "FindNext", nullptr},              // mkFindNext
    {"", mrNone, 45, "Grafic", nullptr},                // mkGrafic
    {"", mrNone, 45, "SaveAs", nullptr},                // mkSaveAs
    {"", mrNone, 45, "nFirst", nullptr},                // mknFirst
    {"", mrNone, 45, "nLast", nullptr},                 // mknLast
}};
// clang-format on

}  // namespace

const ButtonKindInfo& KindInfo(int kind) {
  if (kind < 0 || kind >= ButtonKindCount) return kKinds[mkCustom];
  return kKinds[static_cast<std::size_t>(kind)];
}

}  // namespace ui
