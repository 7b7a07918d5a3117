#include <gtest/gtest.h>

#include <set>
#include <string>

#include "reader/formula/ExcelFunctions.h"

using formula::ExcelFunctions;

TEST(ExcelFunctions, TableBoundsAndNumberedRows) {
  ASSERT_EQ(ExcelFunctions.size(), 357u);
  EXPECT_EQ(ExcelFunctions[0].Name, "COUNT");
  EXPECT_EQ(ExcelFunctions[356].Name, "SAVE.DIALOG");
  for (int n : {202, 203, 217, 218, 249, 250, 255, 333}) {
    EXPECT_EQ(ExcelFunctions[n].Name, std::to_string(n));
    EXPECT_EQ(ExcelFunctions[n].MinArgs, 1);
    EXPECT_EQ(ExcelFunctions[n].MaxArgs, 1);
  }
  std::set<std::string_view> names;
  for (const auto& f : ExcelFunctions) {
    ASSERT_FALSE(f.Name.empty());
    EXPECT_LE(f.MinArgs, f.MaxArgs) << f.Name;
    EXPECT_LE(f.MaxArgs, 30) << f.Name;
    for (char ch : f.Name)
      EXPECT_TRUE((ch >= 'A' && ch <= 'Z') || ch == '.' || (ch >= '0' && ch <= '9')) << f.Name;
    EXPECT_TRUE(names.insert(f.Name).second) << "duplicate " << f.Name;
  }
}

TEST(ExcelFunctions, OperandCountsOfFixedCalls) {
  struct {
    int number;
    const char* name;
    int min, max;
  } rows[] = {{0, "COUNT", 1, 30},        {1, "IF", 2, 3},          {8, "ROW", 0, 1},
              {19, "PI", 0, 0},           {27, "ROUND", 2, 2},      {29, "INDEX", 1, 3},
              {65, "DATE", 3, 3},         {100, "CHOOSE", 2, 30},   {102, "VLOOKUP", 3, 4},
              {119, "REPLACE", 4, 4},     {167, "IPMT", 4, 6},      {222, "VDB", 5, 7},
              {228, "SUMPRODUCT", 2, 30}, {344, "SUBTOTAL", 2, 30}, {356, "SAVE.DIALOG", 1, 1},
              {149, "REGISTER", 1, 3},    {150, "CALL", 1, 30},     {74, "NOW", 0, 0},
              {221, "TODAY", 0, 0},       {31, "MID", 3, 3},        {143, "SYD", 4, 4},
              {293, "NORMDIST", 4, 4},    {316, "TTEST", 4, 4},     {273, "BINOMDIST", 4, 4},
              {295, "NORMINV", 3, 3},     {346, "COUNTIF", 2, 2},   {337, "POWER", 2, 2},
              {165, "MMULT", 2, 2},       {111, "CHAR", 1, 1},      {129, "ISBLANK", 1, 1}};
  for (const auto& r : rows) {
    const auto& f = ExcelFunctions[r.number];
    EXPECT_EQ(f.Name, r.name) << r.number;
    EXPECT_EQ(f.MinArgs, r.min) << r.name;
    EXPECT_EQ(f.MaxArgs, r.max) << r.name;
  }
  for (int n : {40, 41, 42, 43, 44, 45, 47, 189, 195, 196, 199, 235}) {
    EXPECT_EQ(ExcelFunctions[n].MinArgs, 3) << ExcelFunctions[n].Name << " is a database function";
  }
}
