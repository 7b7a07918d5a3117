// Radio buttons and radio groups: exclusive checking, column layout, clamping, the OnModify
// veto and the loading order.
#include <gtest/gtest.h>

#include "TestWindow.h"
#include "ui/activecontrols/MRadioGroup.h"

using namespace ui;

namespace {

QStringList Items(int count) {
  QStringList items;
  for (int i = 0; i < count; ++i) items << QStringLiteral(" item %1").arg(i);
  return items;
}

int CheckedButton(const TMCustomRadioGroup& group) {
  int checked = -1;
  for (int i = 0; i < group.ButtonCount(); ++i)
    if (group.Button(i)->Checked()) {
      EXPECT_EQ(checked, -1) << "two checked buttons";
      checked = i;
    }
  return checked;
}

}  // namespace

TEST(RadioButton, CheckingOneUnchecksItsSiblingsAndTakesTheTabStop) {
  QWidget parent;
  auto* a = new TMRadioButton(&parent);
  auto* b = new TMRadioButton(&parent);
  EXPECT_EQ(a->size(), QSize(113, 17));
  int clicksA = 0, clicksB = 0;
  a->OnClick = [&](QObject*) { ++clicksA; };
  b->OnClick = [&](QObject*) { ++clicksB; };
  a->SetChecked(true);
  EXPECT_EQ(a->focusPolicy(), Qt::StrongFocus);
  b->SetChecked(true);
  EXPECT_FALSE(a->Checked());
  EXPECT_EQ(a->focusPolicy(), Qt::ClickFocus);
  EXPECT_EQ(clicksA, 1);
  EXPECT_EQ(clicksB, 1);
  b->SetChecked(true);  // unchanged: no second OnClick
  EXPECT_EQ(clicksB, 1);
  b->click();  // the clicked notification checks (already checked: nothing)
  EXPECT_EQ(clicksB, 1);
  a->click();
  EXPECT_TRUE(a->Checked());
  EXPECT_FALSE(b->Checked());
}

TEST(RadioGroup, ColumnsAreClampedAndButtonsFillTheGroupColumnByColumn) {
  TMRadioGroup group;
  group.SetColumns(0);
  EXPECT_EQ(group.Columns(), 1);
  group.SetColumns(20);
  EXPECT_EQ(group.Columns(), 16);

  group.resize(431, 15);
  group.SetColumns(3);
  group.SetItems(
      {QStringLiteral("  CODEXTERN"), QStringLiteral("  CODINTERN"), QStringLiteral("  DENUMIRE")});
  ASSERT_EQ(group.ButtonCount(), 3);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(group.Button(i)->geometry(), QRect(i * 143, 0, 143, 15)) << i;
    EXPECT_EQ(group.Button(i)->Caption(), group.Items()[i]);
  }

  test::TestWindow window;
  auto& five = *new TMRadioGroup(window.get());
  five.resize(200, 90);
  five.SetColumns(2);
  five.SetItems(Items(5));
  const QPoint expected[] = {{0, 0}, {0, 30}, {0, 60}, {100, 0}, {100, 30}};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(five.Button(i)->pos(), expected[i]) << i;
    EXPECT_EQ(five.Button(i)->size(), QSize(100, 30)) << i;
  }
  window.Show();
  five.resize(400, 90);  // follows its size
  EXPECT_EQ(five.Button(3)->geometry(), QRect(200, 0, 200, 30));
}

TEST(RadioGroup, ItemIndexIsClampedAndFollowsRemovedItems) {
  TMRadioGroup group;
  group.resize(100, 60);
  group.SetItems(Items(3));
  int clicks = 0;
  group.OnClick = [&](QObject* sender) {
    EXPECT_EQ(sender, &group);
    ++clicks;
  };
  group.SetItemIndex(7);
  EXPECT_EQ(group.ItemIndex(), 2);
  EXPECT_EQ(CheckedButton(group), 2);
  EXPECT_EQ(clicks, 1);
  group.SetItemIndex(2);  // same: nothing
  EXPECT_EQ(clicks, 1);
  group.SetItemIndex(-5);
  EXPECT_EQ(group.ItemIndex(), -1);
  EXPECT_EQ(CheckedButton(group), -1);

  group.SetItemIndex(2);
  group.SetItems(Items(2));
  EXPECT_EQ(group.ButtonCount(), 2);
  EXPECT_EQ(group.ItemIndex(), 1);
  EXPECT_EQ(CheckedButton(group), 1);
  group.SetItems({});
  EXPECT_EQ(group.ItemIndex(), -1);
  EXPECT_EQ(group.ButtonCount(), 0);
}

TEST(RadioGroup, RefusingOnModifyKeepsTheSelectionAgainstMouseAndKeyboard) {
  test::TestWindow window;
  auto* group = new TMRadioGroup(window.get());
  group->setGeometry(0, 0, 300, 20);
  group->SetColumns(3);
  group->SetItems(Items(3));
  group->SetItemIndex(0);
  bool allow = false;
  int asked = 0, clicks = 0;
  group->OnModify = [&](QObject*, bool& canModify) {
    ++asked;
    canModify = allow;
  };
  group->OnClick = [&](QObject*) { ++clicks; };
  window.Show();

  QTest::mouseClick(group->Button(2), Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_GE(asked, 1);
  EXPECT_EQ(group->ItemIndex(), 0);
  EXPECT_EQ(CheckedButton(*group), 0);
  group->Button(1)->setFocus();
  QTest::keyClick(group->Button(1), Qt::Key_Space);
  EXPECT_EQ(group->ItemIndex(), 0);
  EXPECT_EQ(clicks, 0);

  allow = true;
  QTest::mouseClick(group->Button(2), Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_EQ(group->ItemIndex(), 2);
  EXPECT_EQ(CheckedButton(*group), 2);
  EXPECT_EQ(clicks, 1);
  // The program's own change is not asked.
  const int askedBefore = asked;
  group->SetItemIndex(1);
  EXPECT_EQ(asked, askedBefore);
  EXPECT_EQ(clicks, 2);
}

TEST(RadioGroup, LoadingIndexBeforeItemsSelectsOnceTheItemsExistWithoutOnClick) {
  TMRadioGroup group;
  group.resize(200, 40);
  int clicks = 0;
  group.OnClick = [&](QObject*) { ++clicks; };
  group.BeginReading();
  group.SetItemIndex(1);
  group.SetColumns(2);
  group.SetItems(Items(3));
  EXPECT_EQ(group.ButtonCount(), 0);
  group.EndReading();
  EXPECT_EQ(group.ButtonCount(), 3);
  EXPECT_EQ(group.ItemIndex(), 1);
  EXPECT_EQ(CheckedButton(group), 1);
  EXPECT_EQ(clicks, 0);
  EXPECT_EQ(group.Button(2)->pos(), QPoint(100, 0));

  // A saved index beyond the saved items is clamped rather than left dangling.
  TMRadioGroup stale;
  stale.BeginReading();
  stale.SetItemIndex(9);
  stale.SetItems(Items(2));
  stale.EndReading();
  EXPECT_EQ(stale.ItemIndex(), 1);
  EXPECT_EQ(CheckedButton(stale), 1);
}

TEST(RadioGroup, EnabledStateReachesTheButtonsAndTheFocusedCaptionIsRed) {
  test::TestWindow window;
  auto* group = new TMRadioGroup(window.get());
  group->setGeometry(0, 0, 200, 20);
  group->SetColumns(2);
  group->SetItems({QStringLiteral(" &LEI"), QStringLiteral(" VALUTA")});
  group->SetItemIndex(1);
  auto* other = new QWidget(window.get());
  other->setFocusPolicy(Qt::StrongFocus);
  other->move(0, 50);
  window.Show();
  other->setFocus();
  auto redIn = [](QWidget* w) { return test::CountPixels(w->grab().toImage(), test::IsPureRed); };
  const int accentOnly = redIn(group->Button(0));
  EXPECT_GT(accentOnly, 0);
  EXPECT_EQ(redIn(group->Button(1)), 0);
  group->Button(1)->setFocus();
  EXPECT_GT(redIn(group->Button(1)), accentOnly);  // the whole caption

  group->setEnabled(false);
  EXPECT_FALSE(group->Button(0)->isEnabled());
  EXPECT_EQ(redIn(group->Button(0)), 0);
  group->setEnabled(true);
  EXPECT_TRUE(group->Button(1)->isEnabled());
}
