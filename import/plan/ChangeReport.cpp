#include "import/plan/ChangeReport.h"

#include <cmath>

#include "import/ErrorList.h"
#include "import/NumberText.h"
#include "platform/Files.h"

namespace imp {
namespace {

constexpr const char* kHeader =
    "Data;Firma;Fisier;Pagina;Linia;CodArt;Identificator;Denumire;Producator;Tabela;Camp;"
    "Operatie;IndexLocal;Valoare celula;Valoare veche;Valoare noua;Modificare %;Avertismente";

// A field quoted when it holds a separator, a quote or a line break. Every field but the
// first of a line starts with its separator.
void AppendField(std::string& line, const std::string& value, bool first = false) {
  if (!first) line += ';';
  if (value.find_first_of(";\"\r\n") == std::string::npos) {
    line += value;
    return;
  }
  line += '"';
  for (char c : value) {
    if (c == '"') line += '"';
    line += c;
  }
  line += '"';
}

// Two decimals are enough to judge a change.
std::string Percent(const std::optional<double>& percent) {
  return percent ? FormatGeneral(std::round(*percent * 100) / 100) : std::string();
}

std::string Price(const StoredPrice& price) {
  return price.Null ? std::string() : FormatGeneral(price.Value);
}

}  // namespace

std::filesystem::path ChangeReportPath() {
  return ErrorListPath().parent_path() / kChangeReportFileName;
}

std::string RunTimeText(std::time_t when) {
  std::tm local{};
  localtime_r(&when, &local);
  char text[32];
  std::strftime(text, sizeof text, "%d.%m.%Y %H:%M:%S", &local);
  return text;
}

std::string ChangeReportText(const ChangePlan& plan, const ReportContext& context) {
  std::string out = "\xEF\xBB\xBF";
  out += kHeader;
  out += "\r\n";
  for (const PlanRow& row : plan.Rows()) {
    const ChangeRow& c = row.Change;
    const std::string warnings = plan.WarningsText(row);
    auto common = [&](std::string& line) {
      line.clear();
      AppendField(line, context.RunTime, true);
      AppendField(line, context.Company);
      AppendField(line, context.Workbook);
      AppendField(line, std::to_string(c.Sheet));
      AppendField(line, std::to_string(c.Row));
      AppendField(line, std::to_string(c.ArticleCode));
      AppendField(line, c.Identifier);
      AppendField(line, c.Name);
      AppendField(line, c.Producer);
    };
    std::string line;
    common(line);
    AppendField(line, "Nart");
    AppendField(line, c.Field);
    AppendField(line, "modificat");
    AppendField(line, "");
    AppendField(line, c.CellText);
    AppendField(line, Price(c.OldValue));
    AppendField(line, FormatGeneral(c.NewValue));
    AppendField(line, Percent(row.Percent));
    AppendField(line, warnings);
    out += line;
    out += "\r\n";
    if (c.Multi == MultiPriceAction::None) continue;
    common(line);
    const bool added = c.Multi == MultiPriceAction::Added;
    AppendField(line, "PretM");
    AppendField(line, c.MultiField);
    AppendField(line, added ? "adaugat" : "modificat");
    AppendField(line, std::to_string(c.IndexLocal));
    AppendField(line, c.CellText);
    AppendField(line, added ? std::string() : Price(c.MultiOldValue));
    AppendField(line, FormatGeneral(c.NewValue));
    const auto percent = added ? std::nullopt : PercentChange(c.MultiOldValue, c.NewValue);
    AppendField(line, Percent(percent));
    AppendField(line, warnings);
    out += line;
    out += "\r\n";
  }
  return out;
}

void SaveChangeReport(const std::filesystem::path& file, const ChangePlan& plan,
                      const ReportContext& context) {
  platform::WriteFileAtomically(file, ChangeReportText(plan, context));
}

}  // namespace imp
