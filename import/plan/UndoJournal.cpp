#include "import/plan/UndoJournal.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <stdexcept>

#include "import/CompanyData.h"
#include "import/NumberText.h"
#include "import/Settings.h"
#include "import/plan/ChangeReport.h"
#include "import/plan/TableCopy.h"
#include "platform/Files.h"

namespace fs = std::filesystem;

namespace imp {
namespace {

constexpr const char* kMagic = "IMPPRET-ANULARE 1";
constexpr const char* kMultiPriceTable = "PretM";
constexpr std::size_t kFlushAt = 256 * 1024;
constexpr std::uintmax_t kMaxJournal = 512ull * 1024 * 1024;

// A price as the 16 hex digits of its bits, so it goes back exactly as it was; "-" for blank.
void AppendBits(std::string& out, const StoredPrice& p) {
  if (p.Null) {
    out += '-';
    return;
  }
  std::uint64_t bits;
  std::memcpy(&bits, &p.Value, sizeof bits);
  for (int shift = 60; shift >= 0; shift -= 4) out += "0123456789abcdef"[(bits >> shift) & 0xF];
}

std::string Bits(const StoredPrice& p) {
  std::string text;
  AppendBits(text, p);
  return text;
}

bool ParseBits(const std::string& text, StoredPrice& p) {
  if (text == "-") {
    p = {};
    return true;
  }
  if (text.size() != 16) return false;
  std::uint64_t bits = 0;
  for (char c : text) {
    int d = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
    if (d < 0) return false;
    bits = bits << 4 | static_cast<unsigned>(d);
  }
  p.Null = false;
  std::memcpy(&p.Value, &bits, sizeof bits);
  return true;
}

bool SamePrice(const StoredPrice& a, const StoredPrice& b) {
  return Bits(a) == Bits(b);
}

std::vector<std::string> Split(const std::string& line) {
  std::vector<std::string> parts(1);
  for (char c : line) {
    if (c == '\t')
      parts.emplace_back();
    else
      parts.back() += c;
  }
  return parts;
}

bool ParseInt(const std::string& text, long long low, long long high, long long& out) {
  if (text.empty() || text.size() > 12) return false;
  std::size_t used = 0;
  try {
    out = std::stoll(text, &used);
  } catch (...) {
    return false;
  }
  return used == text.size() && out >= low && out <= high;
}

// The price fields a run writes: of the article, and of a row of the multiple-price table. A
// journal that names any other field was not written by a run.
bool IsJournalField(const std::string& kind, const std::string& field) {
  if (kind == "N") return field == "PretVanzare" || field == "PretValuta";
  return field == "Lei" || field == "Valuta";
}

StoredPrice Current(const db::Field& f) {
  if (f.IsNull()) return {};
  return {false, f.AsFloat()};
}

void Put(db::Table& t, db::Field& f, const StoredPrice& p) {
  t.Edit();
  if (p.Null)
    f.Clear();
  else
    f.SetAsFloat(p.Value);
  t.Post();
}

}  // namespace

fs::path UndoJournalPath(const std::string& company) {
  // The company's folder name, with anything unusual for a file name spelt in hex.
  std::string name = "Anulare ";
  for (unsigned char c : company) {
    if (std::isalnum(c) || c == '_' || c == '-' || c == ' ') {
      name += static_cast<char>(c);
    } else {
      char hex[4];
      std::snprintf(hex, sizeof hex, "%%%02X", c);
      name += hex;
    }
  }
  return SettingsPath().parent_path() / (name + ".jrn");
}

UndoJournalWriter::UndoJournalWriter(fs::path file, std::string company, std::string workbook,
                                     fs::path companyFolder)
    : file_(std::move(file)),
      company_(std::move(company)),
      workbook_(std::move(workbook)),
      companyFolder_(std::move(companyFolder)) {}

UndoJournalWriter::~UndoJournalWriter() {
  try {
    Flush();
  } catch (...) {
    // Reported by the explicit Flush of a caller that wants to know; nothing else to do here.
  }
  if (fd_ >= 0) ::close(fd_);
}

void UndoJournalWriter::Start() {
  RemoveTableCopy(file_);  // of an earlier run
  fd_ = ::open(file_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd_ < 0)
    throw std::runtime_error("Nu pot scrie jurnalul de anulare " + file_.string() + ": " +
                             std::strerror(errno));
  pending_ = std::string(kMagic) + "\nFIRMA\t" + company_ + "\nFISIER\t" + workbook_ + "\nDATA\t" +
             RunTimeText(std::time(nullptr)) + "\n";
  Flush();
  ::fsync(fd_);  // the journal is on disk before the first value is written
}

void UndoJournalWriter::Add(std::string line) {
  if (fd_ < 0) Start();
  pending_ += line;
  pending_ += '\n';
  if (pending_.size() >= kFlushAt) Flush();
}

void UndoJournalWriter::Flush() {
  std::size_t done = 0;
  while (fd_ >= 0 && done < pending_.size()) {
    ssize_t n = ::write(fd_, pending_.data() + done, pending_.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0)
      throw std::runtime_error("Nu pot scrie jurnalul de anulare " + file_.string() + ": " +
                               std::strerror(errno));
    done += static_cast<std::size_t>(n);
  }
  pending_.clear();
}

void UndoJournalWriter::BeforeArticleWrite(const ChangeRow& row) {
  AddEntry('N', row.ArticleCode, 0, row.Field, row.OldValue, row.NewValue);
}

void UndoJournalWriter::Finish() {
  if (copied_)
    Add(std::string("DUPA\t") + kMultiPriceTable + "\t" +
        TableFingerprint(companyFolder_, kMultiPriceTable));
  Flush();
}

void UndoJournalWriter::BeforeMultiPriceWrite(const ChangeRow& row) {
  if (!copyTried_ && !companyFolder_.empty()) {
    copyTried_ = true;
    if (fd_ < 0) Start();
    copied_ = SaveTableCopy(companyFolder_, kMultiPriceTable, file_);
    if (copied_) Add(std::string("COPIE\t") + kMultiPriceTable);
  }
  const bool added = row.Multi == MultiPriceAction::Added;
  AddEntry(added ? 'A' : 'M', row.ArticleCode, row.IndexLocal, row.MultiField,
           added ? StoredPrice{} : row.MultiOldValue, row.NewValue);
}

// One line per value: kind, CodArt, IndexLocal, field, old bits, written bits.
void UndoJournalWriter::AddEntry(char kind, std::int32_t code, int indexLocal,
                                 const std::string& field, const StoredPrice& old, double written) {
  if (fd_ < 0) Start();
  pending_ += kind;
  pending_ += '\t';
  pending_ += std::to_string(code);
  pending_ += '\t';
  pending_ += std::to_string(indexLocal);
  pending_ += '\t';
  pending_ += field;
  pending_ += '\t';
  AppendBits(pending_, old);
  pending_ += '\t';
  AppendBits(pending_, {false, written});
  pending_ += '\n';
  if (pending_.size() >= kFlushAt) Flush();
}

void ObserverList::BeforeArticleWrite(const ChangeRow& row) {
  for (ChangeObserver* o : list_) o->BeforeArticleWrite(row);
}
void ObserverList::BeforeMultiPriceWrite(const ChangeRow& row) {
  for (ChangeObserver* o : list_) o->BeforeMultiPriceWrite(row);
}
bool ObserverList::NeedsArticleDetails() const {
  for (const ChangeObserver* o : list_)
    if (o->NeedsArticleDetails()) return true;
  return false;
}

bool ReadUndoJournal(const fs::path& file, UndoJournal& journal, std::string& error) {
  std::error_code ec;
  if (!fs::is_regular_file(file, ec)) return false;
  const auto size = fs::file_size(file, ec);
  std::string text;
  if (ec || size > kMaxJournal || !platform::ReadWholeFile(file, text)) {
    error = "Jurnalul de anulare " + file.string() + " nu poate fi citit";
    return false;
  }
  journal = {};
  std::size_t lineNo = 0;
  bool magic = false;
  for (std::size_t at = 0; at < text.size();) {
    std::size_t end = text.find('\n', at);
    if (end == std::string::npos) break;  // a line cut short by a stop: not recorded
    const std::string line = text.substr(at, end - at);
    at = end + 1;
    ++lineNo;
    if (lineNo == 1) {
      magic = line == kMagic;
      if (!magic) break;
      continue;
    }
    const std::vector<std::string> p = Split(line);
    if (p.size() == 2 && p[0] == "FIRMA") {
      journal.Company = p[1];
      continue;
    }
    if (p.size() == 2 && p[0] == "FISIER") {
      journal.Workbook = p[1];
      continue;
    }
    if (p.size() == 2 && p[0] == "DATA") {
      journal.RunTime = p[1];
      continue;
    }
    if (p.size() == 2 && p[0] == "COPIE" && p[1] == kMultiPriceTable) {
      journal.MultiPriceCopy = true;
      continue;
    }
    if (p.size() == 3 && p[0] == "DUPA" && p[1] == kMultiPriceTable) {
      journal.MultiPriceAfterRun = p[2];
      continue;
    }
    JournalEntry e;
    long long code = 0, index = 0;
    StoredPrice written;
    const bool ok = p.size() == 6 && (p[0] == "N" || p[0] == "M" || p[0] == "A") &&
                    ParseInt(p[1], INT32_MIN, INT32_MAX, code) &&
                    ParseInt(p[2], -32768, 32767, index) && IsJournalField(p[0], p[3]) &&
                    ParseBits(p[4], e.Old) && ParseBits(p[5], written) && !written.Null;
    if (!ok) {
      error = "Jurnalul de anulare " + file.string() + " este deteriorat (linia " +
              std::to_string(lineNo) + ")";
      return false;
    }
    e.What = p[0] == "N"   ? JournalEntry::ArticlePrice
             : p[0] == "M" ? JournalEntry::MultiPrice
                           : JournalEntry::AddedMultiPrice;
    e.CodArt = static_cast<std::int32_t>(code);
    e.IndexLocal = static_cast<int>(index);
    e.Field = p[3];
    e.Written = written.Value;
    journal.Entries.push_back(std::move(e));
  }
  if (!magic) {
    error = "Fisierul " + file.string() + " nu este un jurnal de anulare";
    return false;
  }
  return true;
}

UndoResult UndoLastImport(const fs::path& companyFolder, const fs::path& journalFile,
                          const UndoJournal& journal) {
  UndoResult result;
  // Nobody wrote to the multiple-price table since the run: its copy goes back whole.
  const bool wholeCopy =
      journal.MultiPriceCopy && !journal.MultiPriceAfterRun.empty() &&
      RestoreTableCopy(companyFolder, kMultiPriceTable, journalFile, journal.MultiPriceAfterRun);
  auto articles = OpenCompanyTable("Nart", companyFolder);
  std::unique_ptr<db::Table> multi;
  for (auto it = journal.Entries.rbegin(); it != journal.Entries.rend(); ++it) {
    const JournalEntry& e = *it;
    if (wholeCopy && e.What != JournalEntry::ArticlePrice) {
      ++result.Restored;
      continue;
    }
    const StoredPrice written{false, e.Written};
    db::Table* table = articles.get();
    bool found = false;
    if (e.What == JournalEntry::ArticlePrice) {
      found = articles->FindKey({db::KeyValue(std::int64_t{e.CodArt})});
    } else {
      if (!multi) multi = OpenCompanyTable(kMultiPriceTable, companyFolder);
      table = multi.get();
      found = multi->FindKey(
          {db::KeyValue(std::int64_t{e.CodArt}), db::KeyValue(std::int64_t{e.IndexLocal})});
    }
    const std::string what = e.What == JournalEntry::ArticlePrice
                                 ? "Articolul " + std::to_string(e.CodArt) + ", " + e.Field
                                 : "Pretul multiplu " + std::to_string(e.CodArt) + "/" +
                                       std::to_string(e.IndexLocal) + ", " + e.Field;
    if (!found) {
      // Gone since: nothing to put back. A row the run added and someone removed is undone.
      if (e.What != JournalEntry::AddedMultiPrice)
        result.LeftAlone.push_back(what + ": inregistrarea nu mai exista");
      continue;
    }
    db::Field& field = table->FieldByName(e.Field);
    const StoredPrice now = Current(field);
    if (SamePrice(now, written)) {
      if (e.What == JournalEntry::AddedMultiPrice)
        table->Delete();
      else
        Put(*table, field, e.Old);
      ++result.Restored;
    } else if (e.What != JournalEntry::AddedMultiPrice && SamePrice(now, e.Old)) {
      // The run stopped before this write, or an earlier undo already put it back.
    } else {
      result.LeftAlone.push_back(what + ": acum " + (now.Null ? "" : FormatGeneral(now.Value)) +
                                 ", importul scrisese " + FormatGeneral(e.Written));
    }
  }
  articles.reset();
  multi.reset();
  std::error_code ec;
  fs::remove(journalFile, ec);
  RemoveTableCopy(journalFile);
  return result;
}

std::string UndoConfirmationText(const UndoJournal& journal) {
  return " Anulezi importul din " + journal.RunTime + " ? " + "\r\r Se vor restaura @15% " +
         std::to_string(journal.Entries.size()) + "@0% preturi ";
}

std::string UndoSummaryText(const UndoResult& result) {
  std::string text =
      " Au fost restaurate  @15%  " + std::to_string(result.Restored) + "@0%  preturi. ";
  if (!result.LeftAlone.empty())
    text += "\r\r Au fost lasate neschimbate @15%~ " + std::to_string(result.LeftAlone.size()) +
            "@0%~ preturi modificate intre timp ";
  return text;
}

}  // namespace imp
