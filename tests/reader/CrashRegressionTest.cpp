// Inputs that once made the reader crash, kept under tests/data/reader/crashes/. Each is read in
// a child process (a death-test fork), so a crash fails its own case and not the whole run.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "reader/TXLSRead.h"

namespace {

namespace fs = std::filesystem;

std::vector<std::string> CrashInputs() {
  std::vector<std::string> names;
  const fs::path dir = fs::path(IMPPRET_TEST_DATA) / "reader" / "crashes";
  if (fs::exists(dir))
    for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// Everything the fuzz targets do with an input: Read with every event, then lookups.
void ReadEverything(const std::string& path) {
  reader::TXLSRead r;
  r.FileName = path;
  r.ErrorLevel = reader::xelIgnore;
  r.MessageHook = [](const std::string&, bool) { return true; };
  std::size_t events = 0;
  r.OnNumberCell = [&](reader::TXLSRead&, int, int, int, double, bool) { ++events; };
  r.OnDateTimeCell = [&](reader::TXLSRead&, int, int, int, double, bool) { ++events; };
  r.OnStringCell = [&](reader::TXLSRead&, int, int, int, const std::string& v, bool) {
    events += v.size();
  };
  r.OnRichCell = [&](reader::TXLSRead&, int, int, int, const std::string& v,
                     reader::PRecREFormatArray) { events += v.size(); };
  r.OnBoolCell = [&](reader::TXLSRead&, int, int, int, bool, bool) { ++events; };
  r.OnBlankCell = [&](reader::TXLSRead&, int, int, int) { ++events; };
  r.OnFormulaCell = [&](reader::TXLSRead&, int, int, const std::string& f) { events += f.size(); };
  r.OnSheet = [](reader::TXLSRead&, const std::string&, int, bool& readIt) { readIt = true; };
  try {
    r.Read();
    r.Open();
    reader::TCellValue v;
    for (int sheet = 0; sheet < 3; ++sheet)
      for (int row = 0; row < 4; ++row) r.GetCellValue(sheet, 0, row, v);
  } catch (const std::exception&) {
    // A clean refusal is a fine answer to a damaged file.
  }
  r.Close();
}

class CrashInput : public ::testing::TestWithParam<std::string> {};

TEST_P(CrashInput, IsReadWithoutCrashing) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const std::string path =
      (fs::path(IMPPRET_TEST_DATA) / "reader" / "crashes" / GetParam()).string();
  EXPECT_EXIT(
      {
        ReadEverything(path);
        std::_Exit(0);
      },
      ::testing::ExitedWithCode(0), "");
}

INSTANTIATE_TEST_SUITE_P(Recorded, CrashInput, ::testing::ValuesIn(CrashInputs()),
                         [](const auto& p) {
                           std::string n = p.param;
                           for (char& ch : n)
                             if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           return n;
                         });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(CrashInput);

}  // namespace
