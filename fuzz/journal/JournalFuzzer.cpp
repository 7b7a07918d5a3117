// Any bytes as the undo journal of a company: the reader must refuse or accept them without
// crashing, and what it accepts is undone through the table engine against a small catalogue
// (copied fresh for every input), where only the engine's own refusals may end the undo.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "import/DemoData.h"
#include "import/plan/UndoJournal.h"
#include "platform/db/DbError.h"

namespace fs = std::filesystem;

namespace {

const fs::path& Scratch() {
  static const fs::path dir = [] {
    fs::path p = fs::temp_directory_path() / ("imppret-fuzz-journal-" + std::to_string(::getpid()));
    fs::remove_all(p);
    fs::create_directories(p / "pristine");
    imp::CreateCompanyTables(p / "pristine");
    imp::AddArticles(p / "pristine", {{1, "1001", "A1", "Bec", "P", 1.0, 2.0, "M"},
                                      {2, "1002", "A2", "Cheie", "O", 3.0, 4.0, "M"},
                                      {7, "1007", "A7", "Banda", "P", 13.0, 14.0, ""}});
    imp::AddMultiPrices(p / "pristine", {{1, 1, 1, 10.0, 2.0}, {2, 1, 3, 9.0, 1.8}});
    return p;
  }();
  return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const fs::path& dir = Scratch();
  const fs::path file = dir / "Anulare F.jrn";
  std::ofstream(file, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  imp::UndoJournal journal;
  std::string error;
  if (!imp::ReadUndoJournal(file, journal, error)) return 0;
  if (journal.Entries.size() > size) std::abort();  // every entry is a line of the input
  (void)imp::UndoConfirmationText(journal);

  const fs::path company = dir / "F";
  fs::remove_all(company);
  fs::copy(dir / "pristine", company);
  try {
    const imp::UndoResult r = imp::UndoLastImport(company, file, journal);
    if (r.Restored < 0 || static_cast<std::size_t>(r.Restored) > journal.Entries.size())
      std::abort();
    (void)imp::UndoSummaryText(r);
  } catch (const db::DbError&) {
  }
  return 0;
}
