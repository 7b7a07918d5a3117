#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include "ui/dialogs/MessageDlg.h"
#include "ui/forms/DBEditForm.h"
#include "ui/forms/ModalRun.h"
#include "ui/titlebar/TitleBar.h"

namespace {

using ui::TButtonList;

TEST(ButtonList, GrowsBySixteenAndStopsAtTheLimit) {
  TButtonList list;
  QPushButton button;
  for (int i = 0; i < 17; ++i) ASSERT_TRUE(list.Add(&button, true));
  EXPECT_EQ(list.Capacity(), 32);
  EXPECT_EQ(list.Button(16), &button);
  EXPECT_EQ(list.Button(17), nullptr);  // at the count: none
  EXPECT_EQ(list.Button(-1), nullptr);
  for (int i = 17; i < TButtonList::kMaxCount; ++i) ASSERT_TRUE(list.Add(&button, false));
  EXPECT_FALSE(list.Add(&button, true));
  EXPECT_EQ(list.Count(), TButtonList::kMaxCount);
}

// A titled form like the program's windows: a title bar, three buttons (the second disabled),
// an edit, a combo box, a spin edit and a panel with a button of its own.
class SampleForm : public ui::TDBEditForm {
 public:
  SampleForm() {
    setWindowTitle("Design caption");
    resize(300, 200);
    bar = new ui::TTitleBar(this);
    bar->setObjectName("TitleBar1");
    bar->SetCaption("Import preturi  de vanzare");
    bar->setGeometry(0, 0, 300, 25);
    for (int i = 0; i < 3; ++i) {
      buttons[i] = new QPushButton(QString("B%1").arg(i), this);
      buttons[i]->setGeometry(10 + 70 * i, 150, 60, 24);
    }
    buttons[1]->setEnabled(false);
    edit = new QLineEdit(this);
    edit->setGeometry(10, 40, 100, 22);
    combo = new QComboBox(this);
    combo->setGeometry(10, 70, 100, 22);
    spin = new QSpinBox(this);
    spin->setGeometry(10, 100, 100, 22);
    panel = new QWidget(this);
    panel->setGeometry(200, 40, 90, 90);
    panelButton = new QPushButton("P", panel);
    panelButton->setGeometry(5, 5, 60, 24);
    Loaded();
  }
  ui::TTitleBar* bar;
  QWidget* panel;
  QPushButton* panelButton;
  QPushButton* buttons[3];
  QLineEdit* edit;
  QComboBox* combo;
  QSpinBox* spin;
};

class FormsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form = std::make_unique<SampleForm>();
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
  }
  void TearDown() override { ui::TTitleForm::CalculatorOpener() = nullptr; }
  std::unique_ptr<SampleForm> form;
};

TEST_F(FormsTest, CaptionComesFromTheTitleBar) {
  EXPECT_EQ(form->windowTitle(), "Import preturi  de vanzare");
  EXPECT_EQ(form->TitleBar(), form->bar);
  form->setWindowTitle("Alt titlu");
  EXPECT_EQ(form->bar->Caption(), "Alt titlu");
  EXPECT_EQ(form->minimumHeight(), 25);
}

TEST_F(FormsTest, ButtonsFollowTheFormAndFocusReturns) {
  EXPECT_EQ(form->ButtonList().Count(), 4);
  form->buttons[2]->setFocus();
  form->setEnabled(false);
  EXPECT_EQ(form->RememberedButton(), form->buttons[2]);
  for (QPushButton* b : form->buttons) EXPECT_FALSE(b->isEnabledTo(form.get()));
  EXPECT_TRUE(form->bar->Grayed());
  form->setEnabled(true);
  EXPECT_TRUE(form->buttons[0]->isEnabled());
  EXPECT_FALSE(form->buttons[1]->isEnabled());  // it was disabled before and stays so
  EXPECT_TRUE(form->buttons[2]->isEnabled());
  EXPECT_FALSE(form->bar->Grayed());
  EXPECT_EQ(form->focusWidget(), form->buttons[2]);
}

TEST_F(FormsTest, ModalDialogDisablesTheButtonsWhileOpen) {
  form->buttons[0]->setFocus();
  QDialog dialog;
  bool disabledMeanwhile = false;
  QTimer::singleShot(50, &dialog, [&] {
    disabledMeanwhile =
        !form->isEnabled() && !form->buttons[0]->isEnabled() && !form->buttons[2]->isEnabled();
    dialog.done(7);
  });
  EXPECT_EQ(ui::RunModalOverForms(dialog), 7);
  EXPECT_TRUE(disabledMeanwhile);
  EXPECT_TRUE(form->isEnabled());
  EXPECT_TRUE(form->buttons[0]->isEnabled());
  EXPECT_FALSE(form->buttons[1]->isEnabled());
  EXPECT_EQ(form->focusWidget(), form->buttons[0]);

  // A message shown while a page of the form is disabled (as during an import run): once the
  // page is enabled again, its buttons are usable again.
  form->panel->setEnabled(false);
  QDialog message;
  QTimer::singleShot(50, &message, [&] { message.done(1); });
  EXPECT_EQ(ui::RunModalOverForms(message), 1);
  QApplication::processEvents();
  form->panel->setEnabled(true);
  QApplication::processEvents();
  EXPECT_TRUE(form->panelButton->isEnabled());
}

TEST_F(FormsTest, RightPressUnderAMessageDialogPressesItsDefaultButton) {
  auto message = ui::BuildMessageForm("Intrebare ?", std::nullopt, ui::dkConfirmation, ui::taCenter,
                                      ui::MsgButtons({ui::mbtYes, ui::mbtNo}), ui::mbtNo, 0);
  ASSERT_TRUE(message);
  QTimer::singleShot(50, form.get(), [&] {
    // The form is disabled under the dialog; the press still reaches the watch.
    QTest::mouseClick(form.get(), Qt::RightButton, Qt::NoModifier, QPoint(150, 130));
  });
  QTimer::singleShot(2000, message.get(), [&] { message->done(-1); });  // safety net
  EXPECT_EQ(ui::RunModalOverForms(*message), 7);                        // mbtNo answers "no"
}

TEST_F(FormsTest, UserCloseRequestsAreIgnoredButTheProgramCanClose) {
  form->windowHandle()->close();
  QApplication::processEvents();
  EXPECT_TRUE(form->isVisible());
  form->CloseByProgram();
  EXPECT_FALSE(form->isVisible());
}

TEST_F(FormsTest, SystemMenuHasTheRomanianEntriesWithCloseDisabled) {
  form->setFixedSize(form->size());
  std::unique_ptr<QMenu> menu(form->CreateSystemMenu());
  QStringList texts;
  QAction* close = nullptr;
  for (QAction* a : menu->actions()) {
    if (a->isSeparator()) continue;
    texts << a->text();
    if (a->text().startsWith("&Inchide")) close = a;
  }
  EXPECT_EQ(texts, QStringList({"&Muta", "&Inchide    ALT+F4"}));
  ASSERT_NE(close, nullptr);
  EXPECT_FALSE(close->isEnabled());
}

TEST_F(FormsTest, F2OpensTheCalculatorUnlessAnEditOrComboHasFocus) {
  int opened = 0;
  ui::TTitleForm::CalculatorOpener() = [&](QWidget*) { ++opened; };
  form->buttons[0]->setFocus();
  QTest::keyClick(form->buttons[0], Qt::Key_F2);
  EXPECT_EQ(opened, 1);
  form->spin->setFocus();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_F2);
  EXPECT_EQ(opened, 2);  // a spin edit is no plain edit
  form->edit->setFocus();
  QTest::keyClick(form->edit, Qt::Key_F2);
  form->combo->setFocus();
  QTest::keyClick(form->combo, Qt::Key_F2);
  EXPECT_EQ(opened, 2);
  form->buttons[0]->setFocus();
  QTest::keyClick(form->buttons[0], Qt::Key_F2, Qt::ShiftModifier);
  EXPECT_EQ(opened, 2);
}

TEST_F(FormsTest, AltF4IsSwallowed) {
  form->buttons[0]->setFocus();
  QTest::keyClick(form->buttons[0], Qt::Key_F4, Qt::AltModifier);
  QApplication::processEvents();
  EXPECT_TRUE(form->isVisible());
}

TEST_F(FormsTest, DragOnTheFreeClientAreaMovesTheWindow) {
  const QPoint before = form->pos();
  QTest::mousePress(form.get(), Qt::LeftButton, Qt::NoModifier, QPoint(250, 60));
  QMouseEvent move(QEvent::MouseMove, QPointF(270, 90), form->mapToGlobal(QPointF(270, 90)),
                   Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(form.get(), &move);
  QTest::mouseRelease(form.get(), Qt::LeftButton, Qt::NoModifier, QPoint(270, 90));
  EXPECT_EQ(form->pos(), before + QPoint(20, 30));
}

}  // namespace
