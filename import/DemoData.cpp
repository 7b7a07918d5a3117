#include "import/DemoData.h"

#include <array>
#include <cmath>
#include <stdexcept>
#include <system_error>

#include "platform/Files.h"
#include "platform/db/CreateTable.h"
#include "platform/db/Table.h"

namespace fs = std::filesystem;

namespace imp {
namespace {

constexpr int kCodePage = 1250;

// Names shared with the script that writes the sample workbooks.
constexpr std::array<const char*, 20> kNames = {
    "Bec LED 9W E27",       "Prelungitor 5 prize", "Siguranță automată 16A", "Cablu MYF 2,5mm",
    "Doză aparentă",        "Întrerupător simplu", "Priză dublă Schuko",     "Tub PVC 20mm",
    "Robinet colțar 1/2",   "Baterie lavoar",      "Sifon chiuvetă",         "Țeavă PPR 25mm",
    "Vopsea lavabilă albă", "Diluant nitro 1L",    "Șurubelniță plată",      "Ciocan 500g",
    "Bandă izolatoare",     "Dibluri 8mm",         "Silicon sanitar",        "Lampă de veghe"};

constexpr std::array<const char*, 7> kProducersAlfa = {
    "Electroplast Bistrița",  "Romstal", "Policolor", "O'Brien Tools", "Legrand", "Philips",
    "Fabrica de Scule Brașov"};
constexpr std::array<const char*, 4> kProducersBeta = {"Valrom", "Romstal", "Ferro", "Teraplast"};

double PriceOf(int n) {
  return std::round((4.5 + (n * 37) % 480 + (n % 100) / 100.0) * 100.0) / 100.0;
}

double Round2(double x) {
  return std::round(x * 100.0) / 100.0;
}

void Create(const fs::path& folder, const std::string& name, std::vector<db::FieldDef> fields,
            int keyFields) {
  db::CreateTable(folder, name, fields, keyFields, kCodePage);
}

std::unique_ptr<db::Table> OpenForWrite(const fs::path& folder, const std::string& name) {
  auto table = std::make_unique<db::Table>();
  table->TableName = name;
  table->DatabaseName = folder;
  table->Open();
  return table;
}

std::vector<DemoArticle> DemoArticlesBeta() {
  std::vector<DemoArticle> articles;
  for (int n = 1; n <= 200; ++n) {
    DemoArticle a;
    a.Code = 5000 + n;
    a.CodExtern = "B-" + std::to_string(100 + n);
    a.CodIntern = "BI" + std::to_string(n);
    a.Denumire = std::string(kNames[static_cast<std::size_t>(n * 7) % kNames.size()]) + " (" +
                 std::to_string(n) + ")";
    a.Producator = kProducersBeta[static_cast<std::size_t>(n) % kProducersBeta.size()];
    a.PretVanzare = PriceOf(n + 17);
    a.PretValuta = Round2(a.PretVanzare / 4.97);
    a.TipPret = n % 4 == 0 ? "M" : "";
    articles.push_back(std::move(a));
  }
  return articles;
}

// Multiple prices of the articles marked "M": list price for each, a second category for
// every other one, so new rows of a third category number past them.
std::vector<DemoMultiPrice> MultiPricesFor(const std::vector<DemoArticle>& articles) {
  std::vector<DemoMultiPrice> rows;
  for (const DemoArticle& a : articles) {
    if (a.TipPret != "M") continue;
    rows.push_back({a.Code, 1, 1, a.PretVanzare, a.PretValuta});
    if (a.Code % 2 == 0) rows.push_back({a.Code, 2, 2, Round2(a.PretVanzare * 0.9), 0});
  }
  return rows;
}

std::vector<DemoCategory> DemoCategories() {
  return {{1, "Preț listă", 1}, {2, "Preț distribuitor", 1},
          {3, "Preț angro", 2}, {4, "Preț intern", 3},
          {5, "   ", 1},        {6, "Preț promoție", 2}};
}

}  // namespace

std::vector<DemoArticle> DemoArticlesAlfa() {
  std::vector<DemoArticle> articles;
  for (int n = 1; n <= 300; ++n) {
    DemoArticle a;
    a.Code = n;
    a.CodExtern = std::to_string(1000 + n);
    char intern[16];
    std::snprintf(intern, sizeof intern, "A%05d", n);
    a.CodIntern = intern;
    a.Denumire = std::string(kNames[static_cast<std::size_t>(n) % kNames.size()]) + " (" +
                 std::to_string(n) + ")";
    a.Producator = kProducersAlfa[static_cast<std::size_t>(n) % kProducersAlfa.size()];
    a.PretVanzare = Round2(PriceOf(n) * 0.95);
    a.PretValuta = Round2(a.PretVanzare / 4.97);
    a.TipPret = n % 5 == 0 ? "M" : "";
    articles.push_back(std::move(a));
  }
  return articles;
}

void CreateCompanyTables(const fs::path& folder) {
  using db::FieldType;
  Create(folder, "Nart",
         {{"CodArt", FieldType::Long, 0},
          {"CodExtern", FieldType::Alpha, 20},
          {"CodIntern", FieldType::Alpha, 20},
          {"Denumire", FieldType::Alpha, 60},
          {"UM", FieldType::Alpha, 5},
          {"PretVanzare", FieldType::Number, 0},
          {"PretValuta", FieldType::Number, 0},
          {"TipPret", FieldType::Alpha, 1},
          {"Producator", FieldType::Alpha, 40}},
         1);
  Create(folder, "PretM",
         {{"CodArt", FieldType::Long, 0},
          {"IndexLocal", FieldType::Short, 0},
          {"CodPret", FieldType::Short, 0},
          {"Lei", FieldType::Number, 0},
          {"Valuta", FieldType::Number, 0}},
         2);
  Create(folder, "NCATPRET",
         {{"COD", FieldType::Short, 0},
          {"DENUMIRE", FieldType::Alpha, 40},
          {"TIP", FieldType::Short, 0}},
         1);
}

void AddArticles(const fs::path& folder, const std::vector<DemoArticle>& articles) {
  auto t = OpenForWrite(folder, "Nart");
  for (const DemoArticle& a : articles) {
    t->Append();
    t->FieldByName("CodArt").SetAsInteger(a.Code);
    t->FieldByName("CodExtern").SetAsString(a.CodExtern);
    t->FieldByName("CodIntern").SetAsString(a.CodIntern);
    t->FieldByName("Denumire").SetAsString(a.Denumire);
    t->FieldByName("UM").SetAsString("buc");
    t->FieldByName("PretVanzare").SetAsFloat(a.PretVanzare);
    t->FieldByName("PretValuta").SetAsFloat(a.PretValuta);
    t->FieldByName("TipPret").SetAsString(a.TipPret);
    t->FieldByName("Producator").SetAsString(a.Producator);
    t->Post();
  }
}

void AddMultiPrices(const fs::path& folder, const std::vector<DemoMultiPrice>& rows) {
  auto t = OpenForWrite(folder, "PretM");
  for (const DemoMultiPrice& r : rows) {
    t->Append();
    t->FieldByName("CodArt").SetAsInteger(r.CodArt);
    t->FieldByName("IndexLocal").SetAsInteger(r.IndexLocal);
    t->FieldByName("CodPret").SetAsInteger(r.CodPret);
    t->FieldByName("Lei").SetAsFloat(r.Lei);
    t->FieldByName("Valuta").SetAsFloat(r.Valuta);
    t->Post();
  }
}

void AddCategories(const fs::path& folder, const std::vector<DemoCategory>& rows) {
  auto t = OpenForWrite(folder, "NCATPRET");
  for (const DemoCategory& r : rows) {
    t->Append();
    t->FieldByName("COD").SetAsInteger(r.Cod);
    t->FieldByName("DENUMIRE").SetAsString(r.Denumire);
    t->FieldByName("TIP").SetAsInteger(r.Tip);
    t->Post();
  }
}

void CreateCompanyList(const fs::path& dataRoot,
                       const std::vector<std::pair<std::string, std::string>>& companies) {
  Create(dataRoot, "Firme",
         {{"Prescurtat", db::FieldType::Alpha, 20}, {"Denumire", db::FieldType::Alpha, 60}}, 1);
  auto t = OpenForWrite(dataRoot, "Firme");
  for (const auto& [shortName, fullName] : companies) {
    t->Append();
    t->FieldByName("Prescurtat").SetAsString(shortName);
    t->FieldByName("Denumire").SetAsString(fullName);
    t->Post();
  }
}

DemoReport CreateDemoDataRoot(const fs::path& dataRoot, const fs::path& workbooksDir) {
  fs::create_directories(dataRoot);
  if (!platform::FindFileNoCase(dataRoot, "Firme.DB").empty())
    throw std::runtime_error("Directorul " + dataRoot.string() + " contine deja Firme.DB");
  DemoReport report;
  // GAMA is listed but has no folder, so the program does not offer it.
  CreateCompanyList(dataRoot, {{"ALFA", "SC Alfa Comerț SRL"},
                               {"BETA", "SC Beta Instal SA"},
                               {"GAMA", "SC Gama Distribuție SRL"}});
  struct Company {
    const char* name;
    std::vector<DemoArticle> articles;
  } companies[] = {{"ALFA", DemoArticlesAlfa()}, {"BETA", DemoArticlesBeta()}};
  for (const Company& c : companies) {
    fs::path folder = dataRoot / c.name;
    fs::create_directories(folder);
    CreateCompanyTables(folder);
    AddArticles(folder, c.articles);
    std::vector<DemoMultiPrice> multi = MultiPricesFor(c.articles);
    AddMultiPrices(folder, multi);
    AddCategories(folder, DemoCategories());
    report.Companies.push_back(c.name);
    report.Articles += static_cast<int>(c.articles.size());
    report.MultiPrices += static_cast<int>(multi.size());
  }
  if (!workbooksDir.empty()) {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(workbooksDir, ec)) {
      if (entry.path().extension() != ".xls") continue;
      fs::path target = dataRoot / entry.path().filename();
      fs::copy_file(entry.path(), target, fs::copy_options::overwrite_existing);
      report.Workbooks.push_back(target);
    }
  }
  return report;
}

}  // namespace imp
