#include "import/ImportRun.h"

#include <set>
#include <system_error>

#include "import/CompanyData.h"
#include "import/MarkupText.h"
#include "import/RowText.h"
#include "import/RunChecks.h"
#include "import/Settings.h"
#include "import/WorkbookFormat.h"
#include "import/plan/RowDescription.h"
#include "platform/db/Table.h"

namespace fs = std::filesystem;

namespace imp {
namespace {

constexpr char CR = '\r';
// A long run of empty rows (formatted cells far below a list) still lets the window repaint.
constexpr int kEmptyRowsPerPump = 256;

// The producer name as a literal of the filter: its quotes doubled, so "O'Brien" matches.
std::string ProducerFilter(const std::string& producer) {
  std::string filter = "Producator = '";
  for (char c : producer) {
    filter += c;
    if (c == '\'') filter += '\'';
  }
  filter += '\'';
  return filter;
}

// One run over an open workbook: the tables, the counts and the steps of the row loop.
class TImportRun {
 public:
  TImportRun(const TImportState& state, ImportView& view, const RunOptions& options,
             PriceWorkbook& book)
      : state_(state), view_(view), options_(options), book_(book) {}

  ImportResult ImportSheets();

 private:
  bool ReadPriceRow();
  void ProcessPriceRow();
  bool FindArticle();
  void UpdateMultiPrice(double read, double price);
  int LastIndexLocal(std::int32_t articleCode);
  void OpenTables();
  void CloseRun(bool completed);

  const TImportState& state_;
  ImportView& view_;
  const RunOptions& options_;
  PriceWorkbook& book_;

  std::unique_ptr<db::Table> articles_;
  std::unique_ptr<db::Table> multiPrices_;
  db::Field* articleCode_ = nullptr;
  db::Field* articlePrice_ = nullptr;
  db::Field* articlePriceKind_ = nullptr;
  db::Field* articleKey_ = nullptr;
  std::int16_t priceCategory_ = 0;
  std::set<std::int32_t> plannedNewRows_;  // dry run: articles given a new row of the category

  int sheetIndex_ = 0;
  int rowIndex_ = 0;
  std::string identifierText_;
  std::string priceText_;
  CellValue cell_;
  PriceCellKind priceKind_ = PriceCellKind::Number;
  ChangeRow change_;  // the row being written, for the observer
  ImportResult result_;
  double totalRead_ = 0, totalWritten_ = 0;  // under a price rule, for the summary
};

ImportResult TImportRun::ImportSheets() {
  view_.ClearErrorLines();
  view_.ShowPage(kSettingsPage);
  view_.ShowProgressPanel(true);
  try {
    OpenTables();
    priceCategory_ = UsablePriceCategory(state_, view_);
    // Whatever could refuse a write later refuses now, before anything is changed; the real
    // run keeps both tables' locks from here to its end.
    articles_->CheckWritable({articlePrice_->FieldName()}, false, !options_.DryRun);
    if (priceCategory_ != 0)
      multiPrices_->CheckWritable({state_.PriceKindIndex == pkValuta ? "Valuta" : "Lei"}, true,
                                  !options_.DryRun);
  } catch (...) {
    articles_.reset();
    multiPrices_.reset();
    view_.ShowProgressPanel(false);
    throw;
  }

  result_.Ran = true;
  try {
    const int sheets = book_.SheetCount();
    for (sheetIndex_ = 0; sheetIndex_ < sheets; ++sheetIndex_) {
      // Every row up to the sheet's last one with a cell; empty rows are passed over and
      // counted when a price line follows them.
      const int lastRow = book_.LastRow(sheetIndex_);
      int emptyRows = 0;
      for (rowIndex_ = state_.StartRow - 1; rowIndex_ <= lastRow;) {
        if (!ReadPriceRow()) {
          ++rowIndex_;
          if (++emptyRows % kEmptyRowsPerPump == 0) view_.ProcessPendingMessages();
          continue;
        }
        result_.EmptyRows += emptyRows;
        emptyRows = 0;
        ProcessPriceRow();
        ++rowIndex_;
        view_.SetProgressCaption("Pagina " + std::to_string(sheetIndex_ + 1) +
                                 "        Linia @13 " + std::to_string(rowIndex_));
        view_.ProcessPendingMessages();
      }
    }
  } catch (...) {
    // What was posted stays posted; the user still learns how far the run got.
    CloseRun(false);
    throw;
  }
  CloseRun(true);
  return result_;
}

void TImportRun::OpenTables() {
  articles_ = OpenCompanyTable("Nart", state_.CompanyFolder);
  multiPrices_ = OpenCompanyTable("PretM", state_.CompanyFolder);
  articles_->SetIndexName(ArticleIndexName(state_.Identification));
  if (state_.ProducerRestriction) {
    articles_->SetFilter(ProducerFilter(state_.ProducerName));
    articles_->SetFiltered(true);
  }
  articleCode_ = &articles_->Fields(0);
  articlePrice_ =
      &articles_->FieldByName(state_.PriceKindIndex == pkValuta ? "PretValuta" : "PretVanzare");
  articlePriceKind_ = &articles_->FieldByName("TipPret");
  articleKey_ = &articles_->FieldByName(ArticleIndexName(state_.Identification));
}

void TImportRun::CloseRun(bool completed) {
  // What the summary reports is on stable storage before it is shown, after a failure too.
  std::string flushFailure;
  for (db::Table* t : {articles_.get(), multiPrices_.get()}) {
    try {
      if (t) t->Flush();
    } catch (const db::DbError& e) {
      if (flushFailure.empty()) flushFailure = e.what();
    }
  }
  articles_.reset();
  multiPrices_.reset();
  if (options_.Outcome) *options_.Outcome = result_;
  view_.ShowProgressPanel(false);
  std::string summary = ImportSummaryText(result_.Imported, result_.Errors, result_.EmptyRows);
  if (state_.Rule.On) summary += PriceRuleSummary(state_.Rule, totalRead_, totalWritten_);
  view_.ShowMessage(summary, MessageKind::dkInformation);
  if (view_.ErrorLineCount() > 0) view_.ShowPage(kMessagesPage);
  if (completed && !flushFailure.empty()) throw db::DbError(flushFailure);
}

// False when both cells of the row are empty or blank; a missing cell beside a used one
// reads as "".
bool TImportRun::ReadPriceRow() {
  cell_ = std::monostate{};
  identifierText_ = book_.GetCellValue(sheetIndex_, state_.IdColumn - 1, rowIndex_, cell_)
                        ? CellValueText(cell_)
                        : std::string();
  cell_ = std::monostate{};
  const bool havePrice = book_.GetCellValue(sheetIndex_, state_.PriceColumn - 1, rowIndex_, cell_);
  priceText_ = havePrice ? CellValueText(cell_) : std::string();
  priceKind_ = havePrice ? book_.KindOfLastCell(cell_) : PriceCellKind::Text;
  if (IsBlankCellText(identifierText_) && IsBlankCellText(priceText_)) return false;
  // A price typed with a decimal point reads with the program's decimal separator.
  if (std::size_t dot = priceText_.find('.'); dot != std::string::npos) priceText_[dot] = ',';
  return true;
}

bool TImportRun::FindArticle() {
  // An empty identifier names no article: it would match the first one with a blank code.
  if (IsBlankCellText(identifierText_)) return false;
  return FindArticleByKey(*articles_, *articleKey_, IdentifierKeyText(identifierText_));
}

void TImportRun::ProcessPriceRow() {
  const int sheetNumber = sheetIndex_ + 1;
  const int rowNumber = rowIndex_ + 1;
  bool failed = false;
  const bool found = FindArticle();
  double read = 0, price = 0;
  const bool isNumber = TextToFloat(priceText_, read);
  const bool priced = isNumber && ApplyPriceRule(state_.Rule, read, price);
  if (!found) {
    std::string line = ArticleNotFoundLine(sheetNumber, rowNumber, identifierText_);
    if (state_.Rule.On && priced) line += PriceRuleLineSuffix(priceText_, price);
    view_.AddErrorLine(line);
    failed = true;
  }
  if (!priced) {
    std::string line = BadPriceLine(sheetNumber, rowNumber, priceText_);
    if (isNumber) line += " (regula de pret nu se aplica unui pret negativ sau prea mare)";
    view_.AddErrorLine(line);
    failed = true;
  }
  if (failed) {
    ++result_.Errors;
    return;
  }
  totalRead_ += read;
  totalWritten_ += price;

  if (options_.Observer) {
    change_ = DescribeArticleChange(
        *articles_, *articlePrice_,
        {sheetNumber, rowNumber, identifierText_, priceText_, priceKind_, read, price},
        options_.Observer->NeedsArticleDetails());
    options_.Observer->BeforeArticleWrite(change_);
  }
  if (options_.DryRun) {
    if (options_.OnPlannedChange)
      options_.OnPlannedChange(
          {articleCode_->AsInteger(), articlePrice_->FieldName(), price, read});
  } else {
    articles_->Edit();
    articlePrice_->SetAsFloat(price);
    articles_->Post();
  }
  if (priceCategory_ != 0 && articlePriceKind_->AsString() == "M") UpdateMultiPrice(read, price);
  ++result_.Imported;
}

void TImportRun::UpdateMultiPrice(double read, double price) {
  const std::int32_t code = articleCode_->AsInteger();
  const char* priceField = state_.PriceKindIndex == pkValuta ? "Valuta" : "Lei";
  // A dry run writes nothing, so the row it planned for an article listed before is found
  // in the plan rather than in the table.
  if ((options_.DryRun && plannedNewRows_.count(code)) ||
      multiPrices_->Locate("CodArt;CodPret", {db::KeyValue(std::int64_t{code}),
                                              db::KeyValue(std::int64_t{priceCategory_})})) {
    if (options_.Observer) {
      DescribeMultiPriceChange(change_, priceField, &multiPrices_->FieldByName(priceField),
                               multiPrices_->FieldByName("IndexLocal").AsInteger());
      options_.Observer->BeforeMultiPriceWrite(change_);
    }
    if (options_.DryRun) {
      if (options_.OnPlannedChange)
        options_.OnPlannedChange({code, std::string("PretM.") + priceField, price, read});
      return;
    }
    multiPrices_->Edit();
    multiPrices_->FieldByName(priceField).SetAsFloat(price);
    multiPrices_->Post();
    return;
  }
  const int indexLocal = LastIndexLocal(code) + 1;
  if (options_.Observer) {
    DescribeMultiPriceChange(change_, priceField, nullptr, indexLocal);
    options_.Observer->BeforeMultiPriceWrite(change_);
  }
  if (options_.DryRun) {
    plannedNewRows_.insert(code);
    if (options_.OnPlannedChange)
      options_.OnPlannedChange(
          {code, std::string("PretM.") + priceField, price, read, true, indexLocal});
    return;
  }
  multiPrices_->Append();
  multiPrices_->FieldByName("CodArt").SetAsInteger(code);
  multiPrices_->FieldByName("IndexLocal").SetAsInteger(indexLocal);
  multiPrices_->FieldByName("CodPret").SetAsInteger(priceCategory_);
  multiPrices_->FieldByName(priceField).SetAsFloat(price);
  multiPrices_->Post();
}

int TImportRun::LastIndexLocal(std::int32_t articleCode) {
  struct RangeGuard {
    db::Table& table;
    ~RangeGuard() {
      try {
        table.CancelRange();
      } catch (...) {
        // Lifting a range only moves the cursor; a failure here changes nothing on disk.
      }
    }
  };
  multiPrices_->SetRange({db::KeyValue(std::int64_t{articleCode})},
                         {db::KeyValue(std::int64_t{articleCode})});
  RangeGuard guard{*multiPrices_};
  if (multiPrices_->RecordCount() <= 0) return 0;
  multiPrices_->Last();
  return static_cast<std::int16_t>(multiPrices_->FieldByName("IndexLocal").AsInteger());
}

bool g_running = false;

// Marks a run in progress for its whole length.
class RunningFlag {
 public:
  RunningFlag() { g_running = true; }
  ~RunningFlag() { g_running = false; }
  RunningFlag(const RunningFlag&) = delete;
  RunningFlag& operator=(const RunningFlag&) = delete;
};

// Closes the workbook and gives the cursor back, whatever happens in between.
class RunGuard {
 public:
  RunGuard(ImportView& view, PriceWorkbook& book) : view_(view), book_(book) {
    view_.SetBusyCursor(true);
  }
  ~RunGuard() {
    try {
      book_.Close();
    } catch (...) {
      // Closing a read-only file cannot lose data; the run's own outcome stands.
    }
    view_.SetBusyCursor(false);
  }
  RunGuard(const RunGuard&) = delete;
  RunGuard& operator=(const RunGuard&) = delete;

 private:
  ImportView& view_;
  PriceWorkbook& book_;
};

}  // namespace

std::string ImportSummaryText(int imported, int errors, int emptyRows) {
  std::string text = " Au fost preluate  @15%  " + std::to_string(imported) + "@0%  preturi. " +
                     CR + CR + " Au fost semnalate @15%~ " + std::to_string(errors) +
                     "@0%~ linii cu erori ";
  if (emptyRows > 0)
    text += std::string(1, CR) + CR + " Au fost sarite @15%~ " + std::to_string(emptyRows) +
            "@0%~ randuri goale intre preturi ";
  return text;
}

std::string ArticleNotFoundLine(int sheet, int row, const std::string& identifier) {
  return "Pagina " + std::to_string(sheet) + "    Linia " + std::to_string(row) +
         " ...... Cod articol inexistent in baza de date : " + OneLineText(identifier);
}

std::string BadPriceLine(int sheet, int row, const std::string& price) {
  return "Pagina " + std::to_string(sheet) + "    Linia " + std::to_string(row) +
         " ...... Pret articol eronat : " + OneLineText(price);
}

bool CheckImportSettings(TImportState& state, ImportView& view, const RunOptions& options) {
  auto refuse = [&view](const std::string& message) {
    view.ShowMessage(message, MessageKind::dkError);
    return false;
  };
  if (state.IdColumn == 0)
    return refuse("Nu ai precizat numarul coloanei in care se afla @9Cod Articol@0 ! ");
  if (state.PriceColumn == 0)
    return refuse("Nu ai precizat numarul coloanei in care se afla @9Pretul@0 ! ");
  if (state.StartRow == 0)
    return refuse("Nu ai precizat numarul randului cu care incep preturile ! ");
  if (state.CurrentCompany.empty()) return refuse(kNoCompanyMessage);
  {
    std::error_code ec;
    if (!fs::is_directory(state.CompanyFolder, ec))
      return refuse(std::string("Nu exista directorul cu firma de lucru @15% ") + CR + CR +
                    EscapeForMarkup(state.CompanyFolder.string()));
  }
  if (state.ProducerRestriction && state.ProducerName.empty())
    return refuse("Nu ai selectat producatorul pentru care faci actualizarile ");
  if (state.FileName.empty()) return refuse("Nu ai selectat Fisierul de importat ");
  {
    std::error_code ec;
    if (!fs::is_regular_file(state.FileName, ec)) return refuse("Nu exista fisierul de importat ");
  }

  // What is remembered for the company must stay one line of the settings file.
  if (!IsStorableIniValue(state.FileName.string()))
    return refuse(EscapeForMarkup(UnstorableValueMessage(state.FileName.string())));
  const std::string section =
      state.SelectedCompany.empty() ? state.CurrentCompany : state.SelectedCompany;
  if (!options.DryRun) WriteSetting(section, "FisierImport", state.FileName.string());
  const int selected = state.SelectedPriceCategory;
  if (selected >= 0 && selected < static_cast<int>(state.PriceCategories.size()) &&
      state.PriceCategories[static_cast<std::size_t>(selected)].Code != 0) {
    const PriceCategoryItem& item = state.PriceCategories[static_cast<std::size_t>(selected)];
    if (!IsStorableIniValue(item.Name))
      return refuse(EscapeForMarkup(UnstorableValueMessage(item.Name)));
    state.PriceCategoryCode = item.Code;
    if (!options.DryRun) {
      WriteSetting(section, "CodCatPret", std::to_string(item.Code));
      WriteSetting(section, "DenCatPret", item.Name);
    }
  }
  return true;
}

bool IsImportRunning() {
  return g_running;
}

ImportResult RunImport(const TImportState& state, ImportView& view, const RunOptions& options) {
  if (g_running) return {};
  RunningFlag running;
  std::unique_ptr<PriceWorkbook> book =
      options.MakeWorkbook ? options.MakeWorkbook() : MakeFileWorkbook();
  RunGuard guard(view, *book);
  try {
    book->Open(state.FileName);
  } catch (const WorkbookEncrypted&) {
    view.ShowMessage(std::string(" Fisierul selectat este protejat cu parola !") + CR + CR +
                         " El nu poate fi citit ",
                     MessageKind::dkError);
    return {};
  } catch (...) {
    view.ShowMessage(std::string(" Nu pot deschide fisierul selectat !") + CR + CR +
                         " Este posibil ca el sa nu fie un fisier EXCEL ",
                     MessageKind::dkError);
    return {};
  }
  if (book->SheetCount() == 0) {
    view.ShowMessage(" Fisierul nu contine  informatii despre preturi !", MessageKind::dkError);
    return {};
  }
  if (state.IdColumn - 1 > book->LastCol()) {
    view.ShowMessage(" Pentru @9Cod Articol@0 ai precizat un numar de coloana prea mare !",
                     MessageKind::dkError);
    return {};
  }
  if (state.PriceColumn - 1 > book->LastCol()) {
    view.ShowMessage(" Pentru @9Pret Articol@0 ai precizat un numar de coloana prea mare !",
                     MessageKind::dkError);
    return {};
  }
  TImportRun run(state, view, options, *book);
  return run.ImportSheets();
}

}  // namespace imp
