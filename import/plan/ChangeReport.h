#pragma once
// "Modificari.csv": one line per value a run wrote (or a dry run would write), for spreadsheet
// programs set to Romanian: UTF-8 with a byte order mark, ";" between fields, CR LF.
#include <ctime>
#include <filesystem>
#include <string>

#include "import/plan/ChangePlan.h"

namespace imp {

inline constexpr const char* kChangeReportFileName = "Modificari.csv";

struct ReportContext {
  std::string RunTime;  // "dd.mm.yyyy hh:mm:ss"
  std::string Company;
  std::string Workbook;
};

// Beside the error list.
std::filesystem::path ChangeReportPath();

std::string RunTimeText(std::time_t when);

std::string ChangeReportText(const ChangePlan& plan, const ReportContext& context);

// Replaces the file at once; raises std::runtime_error when it cannot be written.
void SaveChangeReport(const std::filesystem::path& file, const ChangePlan& plan,
                      const ReportContext& context);

}  // namespace imp
