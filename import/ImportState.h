#pragma once
// The choices of the main window that the import run reads, kept as plain data: the window
// fills it from its controls (and keeps it in step with them); the command-line tool fills it
// from its arguments. Field comments name the control each value mirrors.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "import/PriceRule.h"

namespace imp {

enum PriceKind { pkLei = 0, pkValuta = 1 };                                       // `MTipPret`
enum ArticleIdentification { aiCodExtern = 0, aiCodIntern = 1, aiDenumire = 2 };  // `MArtIdentif`

struct PriceCategoryItem {
  std::string Name;       // "DENUMIRE", as read (untrimmed)
  std::int16_t Code = 0;  // "COD"
};

struct TImportState {
  std::filesystem::path DataRoot;       // folder of "Firme.DB", fixed at start
  std::string SelectedCompany;          // text of the item selected in `LFirme` ("" for none)
  std::string CurrentCompany;           // "" until a company with a folder is chosen
  std::filesystem::path CompanyFolder;  // DataRoot / CurrentCompany

  std::filesystem::path FileName;  // `FileListBox1`'s full file name; empty when none selected

  int IdColumn = 0;                  // `SCodArt`, 1-based, 0 = not chosen
  int PriceColumn = 0;               // `SPret`, 1-based, 0 = not chosen
  int StartRow = 0;                  // `SRandStart`, 1-based, 0 = not chosen
  int PriceKindIndex = pkLei;        // `MTipPret`
  int Identification = aiCodExtern;  // `MArtIdentif`
  bool ProducerRestriction = false;  // second item of `MProducator` selected
  std::string ProducerName;          // text of `LProducator`

  std::vector<PriceCategoryItem> PriceCategories;  // items of `LCatPret`
  int SelectedPriceCategory = -1;                  // index into PriceCategories, -1 = none

  std::int16_t PriceCategoryCode = 0;  // read as "CodCatPret" when the company became current
  std::string PriceCategoryName;       // read as "DenCatPret"; kept, not otherwise used

  PriceRule Rule;  // off unless a profile or the command line sets one
};

// The name of the article index that the identification choice makes current.
const char* ArticleIndexName(int identification);

}  // namespace imp
