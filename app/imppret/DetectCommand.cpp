// imppret detect: the layout the workbook's header row gives away, checked against the
// company's catalogue; the proposal that imppret import --detect and the window's
// "&Detecteaza" use.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "app/imppret/Command.h"
#include "app/imppret/Json.h"
#include "import/HeaderDetect.h"
#include "import/Settings.h"

namespace imppret {
namespace {

constexpr const char* kUsage = "detect --company NAME --file FILE [--data-root DIR] [--json]";

std::string ProposalJson(const imp::LayoutProposal& p) {
  std::string j = "{\"sheet\":" + std::to_string(p.Sheet) +
                  ",\"headerRow\":" + std::to_string(p.HeaderRow) +
                  ",\"idCol\":" + std::to_string(p.IdColumn) +
                  ",\"priceCol\":" + std::to_string(p.PriceColumn) +
                  ",\"startRow\":" + std::to_string(p.StartRow) + ",\"identify\":";
  AppendJsonString(j, imp::IdentificationOptionName(p.Identification));
  j += ",\"matched\":" + std::to_string(p.Matched) + ",\"tried\":" + std::to_string(p.Tried) +
       ",\"otherPriceCols\":[";
  for (std::size_t i = 0; i < p.OtherPriceColumns.size(); ++i)
    j += (i ? "," : "") + std::to_string(p.OtherPriceColumns[i]);
  return j + "]}";
}

int RunDetectCommand(const std::vector<std::string>& args) {
  std::string company, file, dataRoot;
  bool json = false, haveDataRoot = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& opt = args[i];
    if (opt == "--json") {
      json = true;
      continue;
    }
    if (i + 1 >= args.size() || (opt != "--company" && opt != "--file" && opt != "--data-root")) {
      std::fprintf(stderr, "imppret detect: bad option %s\nusage: imppret %s\n", opt.c_str(),
                   kUsage);
      return 1;
    }
    const std::string& v = args[++i];
    if (opt == "--company") {
      company = v;
    } else if (opt == "--file") {
      file = v;
    } else {
      dataRoot = v;
      haveDataRoot = true;
    }
  }
  if (company.empty()) {
    std::fprintf(stderr, "Nu ai selectat Firma de lucru \n");
    return 1;
  }
  if (file.empty()) {
    std::fprintf(stderr, "Nu ai selectat Fisierul de importat \n");
    return 1;
  }
  const std::filesystem::path root = haveDataRoot
                                         ? std::filesystem::path(dataRoot)
                                         : std::filesystem::path(imp::GetAliasPath("Tarvex"));
  const std::filesystem::path folder = root / company;
  std::error_code ec;
  if (!std::filesystem::is_directory(folder, ec)) {
    std::fprintf(stderr, "Nu exista directorul cu firma de lucru %s\n", folder.string().c_str());
    return 1;
  }
  if (!std::filesystem::is_regular_file(file, ec)) {
    std::fprintf(stderr, "Nu exista fisierul de importat \n");
    return 1;
  }
  imp::LayoutProposal p;
  try {
    p = imp::DetectLayoutInFile(file, folder.string());
  } catch (const std::exception& e) {
    std::fprintf(stderr,
                 " Nu pot deschide fisierul selectat ! Este posibil ca el sa nu fie un fisier "
                 "EXCEL (%s)\n",
                 e.what());
    return 1;
  }
  if (!p.Found) {
    std::fprintf(stderr, "%s\n", imp::ProposalMessage(p).c_str());
    return 1;
  }
  std::printf("%s\n", json ? ProposalJson(p).c_str() : imp::ProposalMessage(p).c_str());
  return 0;
}

}  // namespace

IMPPRET_COMMAND("detect", kUsage, RunDetectCommand);

}  // namespace imppret
