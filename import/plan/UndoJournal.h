#pragma once
// The undo journal of a company's last run, beside the settings file. The run starts it before
// its first write and adds every value before it is written: the table, the record's primary
// key, the field, the stored bytes it replaces and the value written (or the multiple-price row
// it adds). A new run replaces it; an undo uses it up.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "import/plan/ChangeRow.h"

namespace imp {

std::filesystem::path UndoJournalPath(const std::string& company);

// Writes the journal while the run goes (an observer of the real run only).
class UndoJournalWriter final : public ChangeObserver {
 public:
  // With `companyFolder` given, the multiple-price table is copied before the run's first write
  // to it (see TableCopy.h).
  UndoJournalWriter(std::filesystem::path file, std::string company, std::string workbook,
                    std::filesystem::path companyFolder = {});
  ~UndoJournalWriter() override;  // writes out what is still held
  UndoJournalWriter(const UndoJournalWriter&) = delete;
  UndoJournalWriter& operator=(const UndoJournalWriter&) = delete;

  void BeforeArticleWrite(const ChangeRow& row) override;
  void BeforeMultiPriceWrite(const ChangeRow& row) override;
  bool NeedsArticleDetails() const override { return false; }
  void Flush();  // raises std::runtime_error when the journal cannot be written
  // The run is over (also when it was stopped): notes how it left the copied table, then
  // flushes.
  void Finish();

 private:
  void Start();
  void Add(std::string line);
  void AddEntry(char kind, std::int32_t code, int indexLocal, const std::string& field,
                const StoredPrice& old, double written);

  std::filesystem::path file_;
  std::string company_, workbook_;
  std::filesystem::path companyFolder_;
  std::string pending_;
  int fd_ = -1;
  bool copyTried_ = false, copied_ = false;
};

// Hands every row to several observers in turn.
class ObserverList final : public ChangeObserver {
 public:
  void Add(ChangeObserver* observer) { list_.push_back(observer); }
  void BeforeArticleWrite(const ChangeRow& row) override;
  void BeforeMultiPriceWrite(const ChangeRow& row) override;
  bool NeedsArticleDetails() const override;

 private:
  std::vector<ChangeObserver*> list_;
};

struct JournalEntry {
  enum Kind { ArticlePrice, MultiPrice, AddedMultiPrice } What = ArticlePrice;
  std::int32_t CodArt = 0;
  int IndexLocal = 0;
  std::string Field;
  StoredPrice Old;
  double Written = 0;
};

struct UndoJournal {
  std::string Company, Workbook, RunTime;
  std::vector<JournalEntry> Entries;
  bool MultiPriceCopy = false;     // the multiple-price table was copied before the run wrote it
  std::string MultiPriceAfterRun;  // its fingerprint when the run was over ("" unknown)
};

// Reads a journal; false when there is none or it cannot be read (`error` says why).
bool ReadUndoJournal(const std::filesystem::path& file, UndoJournal& journal, std::string& error);

struct UndoResult {
  int Restored = 0;                    // values put back, added rows removed included
  std::vector<std::string> LeftAlone;  // records changed since the run, one line each
};

// Puts back, through the table engine, every value of the journal whose record still holds
// what the run wrote, last write first, and removes the rows the run added; the journal is
// removed once done. The multiple-price table, when it is exactly as the run left it, gets its
// copy from before the run back instead, so that it is the same to the byte. Raises on a failure of
// the tables (what was restored stays restored, and a second undo finishes the rest).
UndoResult UndoLastImport(const std::filesystem::path& companyFolder,
                          const std::filesystem::path& journalFile, const UndoJournal& journal);

// Messages of the undo.
std::string UndoConfirmationText(const UndoJournal& journal);
std::string UndoSummaryText(const UndoResult& result);
inline constexpr const char* kNothingToUndoMessage =
    " Nu exista un import anterior care sa poata fi anulat pentru firma selectata ";

}  // namespace imp
