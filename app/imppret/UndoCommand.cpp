// imppret undo: takes back the last import run of a company from its undo journal, as the main
// window's "Anuleaza ultimul import" does; prints what it restored and every price it left.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "app/imppret/Command.h"
#include "import/MarkupText.h"
#include "import/Settings.h"
#include "import/plan/UndoJournal.h"

namespace imppret {
namespace {

constexpr const char* kUsage = "undo --company NAME [--data-root DIR]";

int RunUndoCommand(const std::vector<std::string>& args) {
  std::string company, dataRoot;
  bool haveRoot = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (i + 1 >= args.size() || (args[i] != "--company" && args[i] != "--data-root")) {
      std::fprintf(stderr, "usage: imppret %s\n", kUsage);
      return 1;
    }
    if (args[i] == "--company") {
      company = args[++i];
    } else {
      dataRoot = args[++i];
      haveRoot = true;
    }
  }
  if (company.empty()) {
    std::fprintf(stderr, "usage: imppret %s\n", kUsage);
    return 1;
  }
  const std::filesystem::path root = haveRoot ? std::filesystem::path(dataRoot)
                                              : std::filesystem::path(imp::GetAliasPath("Tarvex"));
  const std::filesystem::path journalFile = imp::UndoJournalPath(company);
  imp::UndoJournal journal;
  std::string error;
  if (!imp::ReadUndoJournal(journalFile, journal, error)) {
    std::fprintf(
        stderr, "%s\n",
        error.empty() ? imp::MarkupToPlainText(imp::kNothingToUndoMessage).c_str() : error.c_str());
    return 1;
  }
  try {
    const imp::UndoResult result = imp::UndoLastImport(root / company, journalFile, journal);
    std::printf("%s\n", imp::MarkupToPlainText(imp::UndoSummaryText(result)).c_str());
    for (const std::string& line : result.LeftAlone) std::printf("%s\n", line.c_str());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
  return 0;
}

}  // namespace

IMPPRET_COMMAND("undo", kUsage, RunUndoCommand);

}  // namespace imppret
