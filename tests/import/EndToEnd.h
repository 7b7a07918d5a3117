#pragma once
// What the end-to-end tests of the command-line tool share: running imppret, reading a table
// back with pxlib (an independent Paradox implementation), the demo catalogue's prices, and a
// fixture that makes the demo data root in a scratch folder.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <system_error>
#include <vector>

namespace e2e {

namespace fs = std::filesystem;

struct PxTable {
  std::vector<std::string> names;
  std::vector<std::map<std::string, std::string>> textRows;  // alpha fields
  std::vector<std::map<std::string, double>> numberRows;     // numeric fields
};

// Every record of a table in file order, through pxlib.
PxTable ReadWithPxlib(const fs::path& file);

// The demo catalogue's price rule, as the sample workbook script writes it.
double SupplierPrice(int n);
double DemoPrice(int n);

struct ToolRun {
  int exitCode = -1;
  std::string out;
};

// imppret with the given arguments; its standard output, standard error discarded.
ToolRun Imppret(const std::string& arguments);

std::string Quote(const fs::path& p);

class EndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    base_ = fs::temp_directory_path() / ("imppret-e2e-" + std::to_string(::getpid()));
    fs::remove_all(base_);
    fs::create_directories(base_ / "home");
    ::setenv("IMPPRET_HOME", (base_ / "home").c_str(), 1);
    ::unsetenv("IMPPRET_ALIASES");
    root_ = base_ / "date tarvex";
    ToolRun demo = Imppret("demo " + Quote(root_) + " --workbooks " +
                           Quote(fs::path(IMPPRET_TEST_DATA) / "demo"));
    ASSERT_EQ(demo.exitCode, 0) << demo.out;
  }
  void TearDown() override {
    ::unsetenv("IMPPRET_HOME");
    std::error_code ec;
    fs::remove_all(base_, ec);
  }
  fs::path base_, root_;
};

}  // namespace e2e
