// The toolbar's tables of buttons by kind, its click notification and its enabled state.
#include <gtest/gtest.h>

#include <vector>

#include "TestWindow.h"
#include "ui/buttons/MButton.h"
#include "ui/buttons/MToolbar.h"
#include "ui/buttons/NiceButton.h"

using namespace ui;

namespace {

class RecordingToolbar : public TMToolbar {
 public:
  using TMToolbar::TMToolbar;
  void ButtonClick(TMButtonKind kind) override { Clicked.push_back(kind); }
  std::vector<TMButtonKind> Clicked;
};

}  // namespace

TEST(Toolbar, ButtonsRegisterByKindAndLeaveOnKindChangeReparentAndDestruction) {
  RecordingToolbar toolbar;
  RecordingToolbar other;
  auto* save = new TMButton(&toolbar);
  save->SetKind(mkSave);
  auto* nice = new TNiceButton(&toolbar);
  nice->SetKind(mkSave);
  EXPECT_EQ(toolbar.MButton(mkSave), save);
  EXPECT_EQ(toolbar.NiceButton(mkSave), nice);
  EXPECT_EQ(toolbar.MButton(mkCustom), nullptr);  // was cleared when the kind changed

  save->SetKind(mkPrint);
  EXPECT_EQ(toolbar.MButton(mkSave), nullptr);
  EXPECT_EQ(toolbar.MButton(mkPrint), save);

  save->setParent(&other);
  EXPECT_EQ(toolbar.MButton(mkPrint), nullptr);
  EXPECT_EQ(other.MButton(mkPrint), save);

  // Two buttons of one kind: the last registered wins, and the other leaving keeps it.
  auto* second = new TMButton(&other);
  second->SetKind(mkPrint);
  EXPECT_EQ(other.MButton(mkPrint), second);
  save->SetKind(mkAdd);
  EXPECT_EQ(other.MButton(mkPrint), second);

  delete second;
  EXPECT_EQ(other.MButton(mkPrint), nullptr);
  delete nice;
  EXPECT_EQ(toolbar.NiceButton(mkSave), nullptr);
}

TEST(Toolbar, HearsClicksAndPassesItsEnabledStateToEveryChild) {
  test::TestWindow window;
  auto* toolbar = new RecordingToolbar(window.get());
  EXPECT_EQ(toolbar->size(), QSize(100, 210));
  auto* add = new TMButton(toolbar);
  add->SetKind(mkAdd);
  auto* close = new TNiceButton(toolbar);
  close->SetKind(mkClose);
  close->move(0, 50);
  window.Show();

  add->click();
  close->click();
  EXPECT_EQ(toolbar->Clicked, (std::vector<TMButtonKind>{mkAdd, mkClose}));

  close->setEnabled(false);
  toolbar->setEnabled(false);
  EXPECT_FALSE(add->isEnabled());
  EXPECT_FALSE(close->isEnabled());
  toolbar->setEnabled(true);
  EXPECT_TRUE(add->isEnabled());
  EXPECT_TRUE(close->isEnabled());  // enabling enables all of them
}
