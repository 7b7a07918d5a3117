#include "import/HeaderDetect.h"

#include <algorithm>
#include <memory>
#include <optional>

#include "import/CompanyData.h"
#include "import/HeaderWords.h"
#include "import/ImportState.h"
#include "import/NumberText.h"
#include "import/TextUtil.h"
#include "import/WorkbookFormat.h"
#include "platform/db/Table.h"

namespace imp {
namespace {

struct Candidate {
  int column = 0;  // 0-based
  HeaderKind kind = HeaderKind::None;
};

// The cell as the run would read it, or nothing when the sheet holds no value there.
std::optional<std::string> CellText(PriceWorkbook& book, int sheet, int col, int row) {
  CellValue value;
  if (!book.GetCellValue(sheet, col, row, value)) return std::nullopt;
  return CellValueText(value);
}

bool HasValue(PriceWorkbook& book, int sheet, int col, int row) {
  std::optional<std::string> text = CellText(book, sheet, col, row);
  return text && !TrimControl(*text).empty();
}

// The identifiers the run would read first: from the start row down while both cells hold a
// value, at most kIdentifiersTried of them.
std::vector<std::string> FirstIdentifiers(PriceWorkbook& book, int sheet, int idCol, int priceCol,
                                          int startRow) {
  std::vector<std::string> ids;
  for (int row = startRow; static_cast<int>(ids.size()) < kIdentifiersTried; ++row) {
    std::optional<std::string> id = CellText(book, sheet, idCol, row);
    if (!id || !CellText(book, sheet, priceCol, row)) break;
    ids.push_back(std::move(*id));
  }
  return ids;
}

class SheetDetector {
 public:
  SheetDetector(PriceWorkbook& book, int sheet, const CatalogueLookup& lookup)
      : book_(book), sheet_(sheet), lookup_(lookup) {}

  // The proposal of this sheet; Found is false when it has no usable header row.
  LayoutProposal Detect(std::string& note) {
    for (int row = 0; row < kHeaderSearchRows; ++row) {
      std::vector<Candidate> ids, prices;
      ReadHeaderRow(row, ids, prices);
      if (ids.empty() || prices.empty()) continue;
      LayoutProposal p = FromHeader(row, ids, prices);
      if (p.Found) return p;
      if (note.empty())
        note = "Antet gasit pe randul " + std::to_string(row + 1) +
               ", dar sub el nu urmeaza niciun rand cu cod si pret";
    }
    return {};
  }

 private:
  void ReadHeaderRow(int row, std::vector<Candidate>& ids, std::vector<Candidate>& prices) {
    for (int col = 0; col < kMaxLayoutColumn; ++col) {
      CellValue value;
      if (!book_.GetCellValue(sheet_, col, row, value)) continue;
      const auto* text = std::get_if<std::string>(&value);
      if (!text) continue;  // a number names no column
      const HeaderKind kind = ClassifyHeader(*text);
      if (IsIdentifierKind(kind)) ids.push_back({col, kind});
      if (IsPriceKind(kind)) prices.push_back({col, kind});
    }
  }

  // The first row under the header holding a value in both columns, or -1 (0-based).
  int StartRow(int headerRow, int idCol, int priceCol) {
    for (int row = headerRow + 1; row < kMaxLayoutColumn; ++row)
      if (HasValue(book_, sheet_, idCol, row) && HasValue(book_, sheet_, priceCol, row)) return row;
    return -1;
  }

  LayoutProposal FromHeader(int headerRow, std::vector<Candidate>& ids,
                            const std::vector<Candidate>& prices) {
    LayoutProposal p;
    const Candidate* price = &prices.front();
    for (const Candidate& c : prices)
      if (c.kind == HeaderKind::SalePrice) {
        price = &c;
        break;
      }
    // Code columns are tried before name columns; a later one must match more to win.
    std::stable_partition(ids.begin(), ids.end(),
                          [](const Candidate& c) { return c.kind == HeaderKind::IdCode; });
    bool decided = false;
    for (const Candidate& id : ids) {
      const int start = StartRow(headerRow, id.column, price->column);
      if (start < 0) continue;
      if (!lookup_) {  // no catalogue: the first column with data
        Take(p, headerRow, id.column, price->column, start);
        break;
      }
      const std::vector<std::string> texts =
          FirstIdentifiers(book_, sheet_, id.column, price->column, start);
      for (int field : {aiCodExtern, aiCodIntern, aiDenumire}) {
        int matched = 0;
        for (const std::string& text : texts)
          if (lookup_(field, text)) ++matched;
        if (!p.Found || matched > p.Matched) {
          Take(p, headerRow, id.column, price->column, start);
          p.Identification = field;
          p.IdentificationTried = true;
          p.Matched = matched;
          p.Tried = static_cast<int>(texts.size());
        }
        if (matched == static_cast<int>(texts.size())) {
          decided = true;  // nothing later can match more
          break;
        }
      }
      if (decided) break;
    }
    if (!p.Found) return p;
    for (const Candidate& c : prices)
      if (c.column != price->column) p.OtherPriceColumns.push_back(c.column + 1);
    return p;
  }

  void Take(LayoutProposal& p, int headerRow, int idCol, int priceCol, int start) {
    p.Found = true;
    p.Sheet = sheet_;
    p.HeaderRow = headerRow + 1;
    p.IdColumn = idCol + 1;
    p.PriceColumn = priceCol + 1;
    p.StartRow = start + 1;
  }

  PriceWorkbook& book_;
  int sheet_;
  const CatalogueLookup& lookup_;
};

// Key searches in the company's catalogue, each index made current only when first needed.
class CatalogueSearch {
 public:
  explicit CatalogueSearch(const std::string& folder) : table_(OpenCompanyTable("Nart", folder)) {}

  bool Find(int identification, const std::string& text) {
    if (identification < 0 || identification > 2 || unusable_[identification]) return false;
    if (identification != current_) {
      try {
        table_->SetIndexName(ArticleIndexName(identification));
      } catch (const std::exception&) {
        unusable_[identification] = true;  // a catalogue without this index matches nothing
        current_ = -1;
        return false;
      }
      current_ = identification;
    }
    try {
      return table_->FindKey({db::KeyValue(text)});
    } catch (const std::exception&) {
      return false;  // a text the key cannot take (letters for a numeric code) finds nothing
    }
  }

 private:
  std::unique_ptr<db::Table> table_;
  int current_ = -1;
  bool unusable_[3] = {false, false, false};
};

std::string Plural(int n, const char* one, const char* many) {
  if (n == 1) return "1 " + std::string(one);
  const int tail = n % 100;
  const bool de = n != 0 && (tail == 0 || tail >= 20);
  return std::to_string(n) + (de ? " de " : " ") + many;
}

}  // namespace

LayoutProposal DetectLayout(PriceWorkbook& book, const CatalogueLookup& lookup) {
  std::string note;
  const int sheets = book.SheetCount();
  for (int sheet = 0; sheet < sheets; ++sheet) {
    try {
      SheetDetector detector(book, sheet, lookup);
      LayoutProposal p = detector.Detect(note);
      if (p.Found) return p;
    } catch (const std::exception& e) {
      // A damaged sheet gives no proposal; the others are still looked at.
      if (note.empty()) note = "Pagina " + std::to_string(sheet + 1) + " nu poate fi citita";
    }
  }
  LayoutProposal none;
  none.Reason = !note.empty() ? note
                              : "Nu am gasit un rand de antet cu cod si pret in primele " +
                                    std::to_string(kHeaderSearchRows) + " de randuri ale paginilor";
  return none;
}

LayoutProposal DetectLayoutInFile(const std::string& file, const std::string& companyFolder) {
  std::unique_ptr<PriceWorkbook> book = MakeFileWorkbook();
  book->Open(file);
  struct Closer {
    PriceWorkbook& b;
    ~Closer() {
      try {
        b.Close();
      } catch (...) {
        // Closing a file only read cannot lose anything.
      }
    }
  } closer{*book};
  if (companyFolder.empty()) return DetectLayout(*book, {});
  CatalogueSearch search(companyFolder);
  return DetectLayout(*book, [&search](int identification, const std::string& text) {
    return search.Find(identification, text);
  });
}

const char* IdentificationOptionName(int identification) {
  switch (identification) {
    case aiCodIntern: return "codintern";
    case aiDenumire: return "denumire";
    default: return "codextern";
  }
}

std::string ProposalMessage(const LayoutProposal& p) {
  if (!p.Found) return p.Reason;
  std::string m = "Antet gasit pe ";
  if (p.Sheet > 0) m += "pagina " + std::to_string(p.Sheet + 1) + ", ";
  m += "randul " + std::to_string(p.HeaderRow) + ": cod in coloana " + std::to_string(p.IdColumn) +
       ", pret in coloana " + std::to_string(p.PriceColumn);
  if (p.StartRow != p.HeaderRow + 1)
    m += ", preturile incep cu randul " + std::to_string(p.StartRow);
  if (p.IdentificationTried) {
    static const char* const kNames[] = {"CODEXTERN", "CODINTERN", "DENUMIRE"};
    m += "; " + std::to_string(p.Matched) + " din " +
         Plural(p.Tried, "cod gasit", "coduri gasite") + " dupa " +
         kNames[p.Identification >= 0 && p.Identification <= 2 ? p.Identification : 0];
  } else {
    m += "; identificarea articolelor nu a fost verificata (nu ai selectat Firma de lucru)";
  }
  if (!p.OtherPriceColumns.empty()) {
    m +=
        p.OtherPriceColumns.size() == 1 ? "; alt pret in coloana " : "; alte preturi in coloanele ";
    for (std::size_t i = 0; i < p.OtherPriceColumns.size(); ++i)
      m += (i ? ", " : "") + std::to_string(p.OtherPriceColumns[i]);
  }
  return m;
}

}  // namespace imp
