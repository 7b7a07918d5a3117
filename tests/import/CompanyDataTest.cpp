// The company list, the producer list and the price categories as the window fills them.
#include "RunFixture.h"
#include "import/CompanyData.h"

namespace importtest {
namespace {

using CompanyDataTest = CompanyFixture;

TEST_F(CompanyDataTest, CompanyListOffersOnlyCompaniesWithAFolder) {
  EXPECT_TRUE(imp::LoadCompanyList(root_).empty());  // no "Firme.DB" yet
  imp::CreateCompanyList(root_, {{"TEST", "SC Test SRL"}, {"LIPSA", "Fara director"}, {"", "Gol"}});
  EXPECT_EQ(imp::LoadCompanyList(root_), std::vector<std::string>{"TEST"});
}

TEST_F(CompanyDataTest, ProducersAreDistinctAndNotBlank) {
  imp::AddArticles(folder_, {{8, "1008", "A8", "Fără producător", "   ", 1, 1, ""},
                             {9, "1009", "A9", "Alt articol", "", 1, 1, ""}});
  auto fill = imp::LoadProducers("TEST", folder_);
  EXPECT_TRUE(fill.ErrorMessage.empty());
  EXPECT_EQ(fill.Items, (std::vector<std::string>{"Legrand", "O'Brien", "Philips", "Romstal"}));

  auto none = imp::LoadProducers("", folder_);
  EXPECT_EQ(none.ErrorMessage, "Nu ai selectat Firma de lucru ");
  EXPECT_TRUE(none.Items.empty());
}

TEST_F(CompanyDataTest, PriceCategoriesOfTypeOneOrTwoWithTheStoredCodeSelected) {
  imp::AddCategories(folder_, {{5, "   ", 1}, {-2, "Export", 2}});
  auto fill = imp::LoadPriceCategories("TEST", folder_, 3);
  ASSERT_EQ(fill.Items.size(), 3u);  // "Intern" is of type 3, the blank name is skipped
  EXPECT_EQ(fill.Items[0].Name, "Angro");
  EXPECT_EQ(fill.Items[0].Code, 3);
  EXPECT_EQ(fill.Items[1].Name, "Export");
  EXPECT_EQ(fill.Items[1].Code, -2);            // codes are 16-bit signed
  EXPECT_EQ(fill.Items[2].Name, "Preţ listă");  // code page 1250 keeps the cedilla letter
  EXPECT_EQ(fill.Selected, 0);
  EXPECT_EQ(imp::LoadPriceCategories("TEST", folder_, -1).Selected, -1);
  EXPECT_EQ(imp::LoadPriceCategories("TEST", folder_, 4).Selected, -1);  // not offered
  EXPECT_EQ(imp::LoadPriceCategories("", folder_, 3).ErrorMessage,
            "Nu ai selectat Firma de lucru ");
}

}  // namespace
}  // namespace importtest
