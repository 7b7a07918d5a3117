// The settings file: profile-style reading, at-once atomic writes, integers read as 0 when
// they are not integers, and the alias path.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "import/IniFile.h"
#include "import/Settings.h"
#include "platform/Files.h"

namespace fs = std::filesystem;

namespace {

class SettingsFile : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("imppret-settings-" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    ::setenv("IMPPRET_HOME", dir_.c_str(), 1);
  }
  void TearDown() override {
    ::unsetenv("IMPPRET_HOME");
    fs::remove_all(dir_);
  }
  std::string FileText() {
    std::string text;
    platform::ReadWholeFile(dir_ / "ImpPretExcel.Ini", text);
    return text;
  }
  fs::path dir_;
};

TEST(IniFileTest, ReadsLikeTheProfileFunctions) {
  imp::IniFile ini(
      "; comment\r\n"
      "[ generale ]\r\n"
      "  ColPret =  7  \r\n"
      "FirmaCurenta=\"SC Alfa SRL\"\r\n"
      "Quote='x\r\n"
      "ColPret=9\r\n"
      "[Beta]\n"
      "FisierImport=/tmp/a=b.xls\n"
      "[GENERALE]\r\n"
      "Extra=1\r\n");
  EXPECT_EQ(ini.Get("Generale", "colpret"), "7");  // first key of the first section wins
  EXPECT_EQ(ini.Get("GENERALE", "FirmaCurenta"), "SC Alfa SRL");  // paired quotes dropped
  EXPECT_EQ(ini.Get("Generale", "Quote"), "'x");
  EXPECT_EQ(ini.Get("beta", "FisierImport"), "/tmp/a=b.xls");
  EXPECT_FALSE(ini.Get("Generale", "Extra").has_value());  // only the first section counts
  EXPECT_FALSE(ini.Get("Gamma", "ColPret").has_value());
}

TEST(IniFileTest, SetReplacesOrAddsWithinTheSection) {
  imp::IniFile ini("[A]\nx=1\n\n[B]\ny=2\n");
  ini.Set("a", "X", "10");
  ini.Set("A", "z", "3");
  ini.Set("C", "w", "4");
  EXPECT_EQ(ini.Text(), "[A]\r\nX=10\r\nz=3\r\n\r\n[B]\r\ny=2\r\n[C]\r\nw=4\r\n");
}

TEST(ParseIntTest, NonIntegersReadAsZero) {
  EXPECT_EQ(imp::ParseIntOrZero("42"), 42);
  EXPECT_EQ(imp::ParseIntOrZero(" -7 "), -7);
  EXPECT_EQ(imp::ParseIntOrZero("+3"), 3);
  EXPECT_EQ(imp::ParseIntOrZero(""), 0);
  EXPECT_EQ(imp::ParseIntOrZero("12a"), 0);
  EXPECT_EQ(imp::ParseIntOrZero("1.5"), 0);
  EXPECT_EQ(imp::ParseIntOrZero("-"), 0);
  EXPECT_EQ(imp::ParseIntOrZero("99999999999"), 0);
  EXPECT_EQ(imp::ParseIntOrZero("2147483647"), 2147483647);
}

TEST_F(SettingsFile, MissingFileSectionOrKeyReadsEmpty) {
  EXPECT_EQ(imp::ReadSetting("Generale", "ColPret"), "");
  EXPECT_EQ(imp::ReadIntSetting("Generale", "ColPret"), 0);
  EXPECT_FALSE(fs::exists(dir_ / "ImpPretExcel.Ini"));  // reading never creates the file
}

TEST_F(SettingsFile, EveryWriteIsOnDiskAtOnceWithCrLf) {
  imp::WriteSetting("Generale", "ColCodArt", "3");
  EXPECT_EQ(FileText(), "[Generale]\r\nColCodArt=3\r\n");
  imp::WriteSetting("Generale", "ColPret", "5");
  imp::WriteSetting("SC Alfa SRL", "FisierImport", "/date/preturi.xls");
  imp::WriteSetting("generale", "colcodart", "4");
  EXPECT_EQ(FileText(),
            "[Generale]\r\ncolcodart=4\r\nColPret=5\r\n[SC Alfa SRL]\r\n"
            "FisierImport=/date/preturi.xls\r\n");
  EXPECT_EQ(imp::ReadIntSetting("Generale", "ColCodArt"), 4);
  EXPECT_EQ(imp::ReadSetting("sc alfa srl", "FisierImport"), "/date/preturi.xls");

  // An edit by hand between two writes is kept: every write reads the file anew.
  std::ofstream(dir_ / "ImpPretExcel.Ini", std::ios::app) << "[Manual]\r\nKey=abc\r\n";
  imp::WriteSetting("Generale", "TipPret", "1");
  EXPECT_EQ(imp::ReadSetting("Manual", "Key"), "abc");
  EXPECT_EQ(imp::ReadSetting("Generale", "TipPret"), "1");
  for (const auto& entry : fs::directory_iterator(dir_))  // no temporary file left behind
    EXPECT_EQ(entry.path().filename(), "ImpPretExcel.Ini");
}

TEST_F(SettingsFile, GeneralAndCompanySettingsWithDefaults) {
  imp::WriteSetting("Generale", "RandStart", "abc");
  imp::WriteSetting("Generale", "ColPret", "150");
  imp::WriteSetting("Generale", "FirmaCurenta", "ALFA");
  imp::WriteSetting("ALFA", "CodCatPret", "-3");
  imp::WriteSetting("ALFA", "DenCatPret", "Preț angro");
  const imp::GeneralSettings g = imp::ReadGeneralSettings();
  EXPECT_EQ(g.RandStart, 0);  // text that is no integer
  EXPECT_EQ(g.ColPret, 150);  // the spin edit holds it to 100
  EXPECT_EQ(g.ColCodArt, 0);
  EXPECT_EQ(g.FirmaCurenta, "ALFA");
  const imp::CompanySettings c = imp::ReadCompanySettings("alfa");
  EXPECT_EQ(c.CodCatPret, -3);
  EXPECT_EQ(c.DenCatPret, "Preț angro");
  EXPECT_EQ(c.FisierImport, "");
  EXPECT_EQ(imp::ReadCompanySettings("BETA").CodCatPret, 0);
}

TEST_F(SettingsFile, AliasPathTakesTheLastPathLine) {
  fs::path aliases = dir_ / "aliases.ini";
  std::ofstream(aliases) << "[Tarvex]\nDBPATH=/wrong\nPATH=/first\npath=/data/tarvex\n"
                            "DEFAULT DRIVER=PARADOX\n[Other]\nPATH=/other\n";
  ::setenv("IMPPRET_ALIASES", aliases.c_str(), 1);
  EXPECT_EQ(imp::GetAliasPath("Tarvex"), "/data/tarvex");
  EXPECT_EQ(imp::GetAliasPath("Other"), "/other");
  EXPECT_EQ(imp::GetAliasPath("Missing"), "");  // an unknown alias is no failure here
  ::unsetenv("IMPPRET_ALIASES");
}

// Names taken from files and folders never add sections or keys: a section name with "]" or
// a line break keeps one section of its own, read back by the same name; a value that would
// break its line is refused and the file stays as it was.
TEST_F(SettingsFile, NamesAndValuesNeverChangeTheFileStructure) {
  const std::string names[] = {"A]B", "X\r\n[ALFA]\r\nCodCatPret=4", "50%]", "ALFA"};
  for (int run = 0; run < 3; ++run)
    for (const std::string& name : names) imp::WriteSetting(name, "CodCatPret", "7");
  int sections = 0;
  std::istringstream lines(FileText());
  for (std::string line; std::getline(lines, line);) sections += !line.empty() && line[0] == '[';
  EXPECT_EQ(sections, 4) << FileText();  // one section per name
  for (const std::string& name : names) {
    EXPECT_EQ(imp::ReadSetting(name, "CodCatPret"), "7") << name;
    EXPECT_EQ(imp::ReadCompanySettings(name).CodCatPret, 7) << name;
  }
  EXPECT_EQ(imp::IniSectionName("ALFA"), "ALFA");  // plain names as stored files have them
  EXPECT_EQ(imp::IniSectionName("50%]"), "50%25%5D");

  const std::string before = FileText();
  for (const std::string& value :
       {std::string("a.xls\r\n[ALFA]"), std::string("a\nb"), std::string("\x01")})
    EXPECT_THROW(imp::WriteSetting("ALFA", "FisierImport", value), std::invalid_argument);
  EXPECT_EQ(FileText(), before);
  EXPECT_TRUE(imp::IsStorableIniValue("C:\\Preturi\tfurnizor.xls"));
}

// No usable alias never means the current folder: each unusable case names alias and file.
TEST_F(SettingsFile, AnUnusableAliasIsNamedWithItsFile) {
  const fs::path aliases = dir_ / "aliases.ini";
  ::setenv("IMPPRET_ALIASES", aliases.c_str(), 1);
  const std::string texts[] = {"", "[Other]\nPATH=/x\n", "[Tarvex]\nPATH=  \n"};
  EXPECT_NE(imp::FindAliasFolder("Tarvex").Problem.find(aliases.string()), std::string::npos);
  for (const std::string& text : texts) {
    std::ofstream(aliases) << text;
    const imp::AliasFolder found = imp::FindAliasFolder("Tarvex");
    EXPECT_EQ(found.Path, "") << text;
    EXPECT_NE(found.Problem.find("Tarvex"), std::string::npos) << text;
    EXPECT_NE(found.Problem.find(aliases.string()), std::string::npos) << text;
  }
  std::ofstream(aliases) << "[Tarvex]\nPATH=/data/tarvex\n";
  EXPECT_EQ(imp::FindAliasFolder("Tarvex").Path, "/data/tarvex");
  EXPECT_EQ(imp::FindAliasFolder("Tarvex").Problem, "");
  ::unsetenv("IMPPRET_ALIASES");
}

}  // namespace
