#pragma once
// Finds the layout of a supplier's price list: the header row among the first rows of every
// worksheet, the identifier and price columns it names, the first price row under it, and the
// identification that matches the company's catalogue best.
#include <functional>
#include <string>
#include <vector>

#include "import/PriceWorkbook.h"

namespace imp {

inline constexpr int kHeaderSearchRows = 30;  // the header row is among these
inline constexpr int kIdentifiersTried = 50;  // identifiers looked up in the catalogue
inline constexpr int kMaxLayoutColumn = 100;  // the window's column and row fields go to 100

struct LayoutProposal {
  bool Found = false;
  int Sheet = 0;      // 0-based, position in the sheet list
  int HeaderRow = 0;  // 1-based
  int IdColumn = 0;   // 1-based
  int PriceColumn = 0;
  int StartRow = 0;                  // 1-based: the first row under the header holding both values
  int Identification = 0;            // ArticleIdentification
  bool IdentificationTried = false;  // false when no catalogue was at hand
  int Matched = 0, Tried = 0;
  std::vector<int> OtherPriceColumns;  // 1-based, in column order
  // Where nothing was found: why, in words for the user.
  std::string Reason;
};

// Whether the catalogue holds an article whose field `identification` (an
// ArticleIdentification) equals the text, as the run's key search finds it.
using CatalogueLookup = std::function<bool(int identification, const std::string& text)>;

// Reads an open workbook. `lookup` may be empty: the identification is then not proposed.
// Costs a bounded number of cell lookups per sheet and at most 50 catalogue lookups per
// identifier column and field.
LayoutProposal DetectLayout(PriceWorkbook& book, const CatalogueLookup& lookup);

// Opens the workbook and the company's catalogue ("Nart" of `companyFolder`; no lookups when
// the folder is empty) and detects. Raises when the workbook cannot be opened.
LayoutProposal DetectLayoutInFile(const std::string& file, const std::string& companyFolder);

// The line for the messages page: what was found, or why nothing was.
std::string ProposalMessage(const LayoutProposal& proposal);

// The identification's name as the command line spells it ("codextern", ...).
const char* IdentificationOptionName(int identification);

}  // namespace imp
