// The calculator window driven like a user: typed keys, buttons, history, memory, the drop-down
// list and Escape, the VAT rate edit and captions, dragging by the caption panel. Runs on the
// offscreen platform. With CALCULATOR_GRAB_DIR set, the window is also saved as PNG pictures.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QTest>
#include <QTimer>
#include <memory>

#include "calculator/engine/Evaluate.h"
#include "calculator/window/Calculator.h"
#include "calculator/window/CaptionPanel.h"
#include "calculator/window/OpenCalculator.h"
#include "platform/Formats.h"
#include "ui/buttons/MButton.h"
#include "ui/buttons/NiceButton.h"

namespace calculator {
namespace {

class CalculatorWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    calc = std::make_unique<TCalculator>();
    calc->show();
    calc->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(calc.get()));
  }
  void TearDown() override { calc.reset(); }

  QLineEdit* Edit() const { return calc->ComboBox1->lineEdit(); }
  void Type(const QString& keys) { QTest::keyClicks(Edit(), keys); }
  void Key(Qt::Key key) { QTest::keyClick(Edit(), key); }
  // What the user enters and then clears with "C", which files it in the history.
  void EnterAndClear(const QString& expression) {
    Type(expression);
    Type(QStringLiteral("c"));
  }

  std::unique_ptr<TCalculator> calc;
};

TEST_F(CalculatorWindow, TypedKeysEditAndReevaluate) {
  Type(QStringLiteral("2+3*4"));
  EXPECT_EQ(calc->Expression(), QStringLiteral("2+3*4"));
  EXPECT_EQ(calc->ResultText(), QStringLiteral("14"));
  EXPECT_TRUE(calc->ErrorText().isEmpty());

  // The point types the decimal separator; letters that are no command move the caret to the
  // end and are dropped.
  Key(Qt::Key_Home);
  Type(QStringLiteral("a.5"));
  EXPECT_EQ(calc->Expression(), QStringLiteral("2+3*4,5"));
  EXPECT_EQ(calc->ResultText(), QStringLiteral("15,5"));

  // "K" and Backspace delete before the caret; the caret stays where the user put it.
  Key(Qt::Key_Left);
  Key(Qt::Key_Left);
  Type(QStringLiteral("k"));
  EXPECT_EQ(calc->Expression(), QStringLiteral("2+3*,5"));
  EXPECT_EQ(calc->ResultText(), QStringLiteral("3,5"));
  Type(QStringLiteral("4"));
  EXPECT_EQ(calc->Expression(), QStringLiteral("2+3*4,5"));
  Key(Qt::Key_End);
  Key(Qt::Key_Backspace);
  EXPECT_EQ(calc->Expression(), QStringLiteral("2+3*4,"));

  // "E" clears the last entry; the result follows.
  Type(QStringLiteral("e"));
  EXPECT_EQ(calc->Expression(), QStringLiteral("2+3"));
  EXPECT_EQ(calc->ResultText(), QStringLiteral("5"));

  // The key draws its button pressed for a moment.
  Type(QStringLiteral("7"));
  EXPECT_TRUE(calc->CharButton('7')->ForcedDown());
  EXPECT_FALSE(calc->CharButton('8')->ForcedDown());
  QTRY_VERIFY_WITH_TIMEOUT(!calc->CharButton('7')->ForcedDown(), 1000);
}

TEST_F(CalculatorWindow, ErrorsKeepTheLastGoodResult) {
  Type(QStringLiteral("5*"));
  EXPECT_TRUE(calc->ErrorPending());
  EXPECT_EQ(calc->ErrorText(), QString(kMissingOperand));
  EXPECT_EQ(calc->ResultText(), QStringLiteral("5"));
  Type(QStringLiteral("2"));
  EXPECT_FALSE(calc->ErrorPending());
  EXPECT_TRUE(calc->ErrorText().isEmpty());
  EXPECT_EQ(calc->ResultText(), QStringLiteral("10"));

  // "=" does nothing while an error is pending.
  Type(QStringLiteral("/0"));
  EXPECT_EQ(calc->ErrorText(), QString(kDivisionByZero));
  Type(QStringLiteral("="));
  EXPECT_EQ(calc->Expression(), QStringLiteral("5*2/0"));
  EXPECT_TRUE(calc->History().isEmpty());

  // Nor do the VAT buttons.
  calc->BTva[voAddVat]->click();
  EXPECT_EQ(calc->Expression(), QStringLiteral("5*2/0"));
}

TEST_F(CalculatorWindow, ButtonsAppendAndCommandsAct) {
  for (char c : std::string("(1+2)*3")) calc->CharButton(c)->click();
  EXPECT_EQ(calc->Expression(), QStringLiteral("(1+2)*3"));
  EXPECT_EQ(calc->ResultText(), QStringLiteral("9"));
  calc->BBK->click();
  EXPECT_EQ(calc->Expression(), QStringLiteral("(1+2)*"));
  calc->CharButton(',')->click();
  calc->CharButton('5')->click();
  EXPECT_EQ(calc->ResultText(), QStringLiteral("1,5"));
  calc->BCE->click();
  EXPECT_EQ(calc->Expression(), QStringLiteral("(1+2)"));

  // "=" files the expression and shows the result in the box; the history stays whole.
  calc->BEgal->click();
  EXPECT_EQ(calc->Expression(), QStringLiteral("3"));
  EXPECT_EQ(calc->History(), QStringList{QStringLiteral("(1+2)")});
  EXPECT_EQ(Edit()->cursorPosition(), 1);

  calc->BC->click();
  EXPECT_TRUE(calc->Expression().isEmpty());
  EXPECT_TRUE(calc->ResultText().isEmpty());
  EXPECT_EQ(calc->History(), (QStringList{QStringLiteral("3"), QStringLiteral("(1+2)")}));
}

TEST_F(CalculatorWindow, HistoryIsNewestFirstAndHoldsThirtyTwo) {
  for (int i = 1; i <= 33; ++i) EnterAndClear(QString::number(i) + QStringLiteral("+1"));
  const QStringList history = calc->History();
  ASSERT_EQ(history.size(), 32);
  EXPECT_EQ(history.front(), QStringLiteral("33+1"));
  EXPECT_EQ(history.back(), QStringLiteral("2+1"));
  ASSERT_EQ(calc->ComboBox1->count(), 32);
  EXPECT_EQ(calc->ComboBox1->itemText(0), QStringLiteral("33+1"));
  EXPECT_EQ(calc->ComboBox1->itemText(31), QStringLiteral("2+1"));

  // Entering an old expression again moves it to the top.
  EnterAndClear(QStringLiteral("10+1"));
  EXPECT_EQ(calc->ComboBox1->itemText(0), QStringLiteral("10+1"));
  EXPECT_EQ(calc->ComboBox1->itemText(1), QStringLiteral("33+1"));
  EXPECT_EQ(calc->ComboBox1->count(), 32);

  // Picking an entry from the list puts it into the box and evaluates it.
  calc->ComboBox1->setCurrentIndex(2);
  EXPECT_EQ(calc->Expression(), QStringLiteral("32+1"));
  EXPECT_EQ(calc->ResultText(), QStringLiteral("33"));
}

TEST_F(CalculatorWindow, MemoryStoreAndRecall) {
  Type(QStringLiteral("12,5*2"));
  Type(QStringLiteral("m"));
  EXPECT_EQ(calc->Memory(), 25.0L);
  EXPECT_EQ(calc->Expression(), QStringLiteral("25"));  // store also performs "="
  EXPECT_TRUE(calc->History().contains(QStringLiteral("12,5*2")));

  Type(QStringLiteral("c"));
  Type(QStringLiteral("1/8"));
  Type(QStringLiteral("r"));
  EXPECT_EQ(calc->Expression(), QStringLiteral("25"));
  EXPECT_EQ(calc->ResultText(), QStringLiteral("25"));
  EXPECT_EQ(Edit()->cursorPosition(), 2);

  // A pending error blocks the store; an empty result stores 0.
  Type(QStringLiteral("*"));
  calc->BM->click();
  EXPECT_EQ(calc->Memory(), 25.0L);
  calc->BC->click();
  calc->BM->click();
  EXPECT_EQ(calc->Memory(), 0.0L);
  calc->BMR->click();
  EXPECT_EQ(calc->Expression(), QStringLiteral("0"));
}

TEST_F(CalculatorWindow, EscapeClosesTheListFirstThenTheWindow) {
  EnterAndClear(QStringLiteral("1+1"));
  calc->ComboBox1->showPopup();
  QTRY_VERIFY(calc->ComboBox1->view()->isVisible());
  // The open list has the keyboard; Escape there only closes it.
  QTest::keyClick(calc->ComboBox1->view(), Qt::Key_Escape);
  QTRY_VERIFY(!calc->ComboBox1->view()->isVisible());
  EXPECT_TRUE(calc->isVisible());

  // The same when the key reaches the window while the list is down.
  calc->ComboBox1->showPopup();
  QTRY_VERIFY(calc->ComboBox1->view()->isVisible());
  QTest::keyClick(calc.get(), Qt::Key_Escape);
  QTRY_VERIFY(!calc->ComboBox1->view()->isVisible());
  EXPECT_TRUE(calc->isVisible());

  Key(Qt::Key_Escape);
  EXPECT_FALSE(calc->isVisible());
  EXPECT_EQ(calc->result(), QDialog::Rejected);
}

TEST_F(CalculatorWindow, EnterClosesWithOkAndFilesTheExpression) {
  Type(QStringLiteral("7*6"));
  Key(Qt::Key_Return);
  EXPECT_FALSE(calc->isVisible());
  EXPECT_EQ(calc->result(), QDialog::Accepted);
  EXPECT_EQ(calc->History(), QStringList{QStringLiteral("7*6")});
}

TEST_F(CalculatorWindow, VatRateEditRebuildsCaptionsAndOperations) {
  EXPECT_EQ(calc->BTva[voAddVat]->Caption(), QStringLiteral("+TVA %0"));
  calc->ETVA->setFocus();
  calc->ETVA->selectAll();
  QTest::keyClicks(calc->ETVA, QStringLiteral("9"));  // keys go to the rate edit unchanged
  EXPECT_EQ(calc->VatRate(), 9.0);
  EXPECT_TRUE(calc->Expression().isEmpty());
  EXPECT_EQ(calc->BTva[voAddVat]->Caption(), QStringLiteral("+TVA %9"));
  EXPECT_EQ(calc->BTva[voRemoveVat]->Caption(), QStringLiteral("-TVA %9"));
  EXPECT_EQ(calc->BTva[voVatOfNet]->Caption(), QStringLiteral("TVA %9"));
  EXPECT_EQ(calc->BTva[voVatInGross]->Caption(), QStringLiteral("?TVA %9"));
  EXPECT_EQ(calc->Formulas().VatFactor, "0,09");
  QTest::keyClicks(calc->ETVA, QStringLiteral("1"));
  EXPECT_EQ(calc->VatRate(), 91.0);
  // Clearing the edit does not convert: the old rate stays.
  calc->ETVA->selectAll();
  QTest::keyClick(calc->ETVA, Qt::Key_Delete);
  EXPECT_EQ(calc->VatRate(), 91.0);
  calc->ETVA->selectAll();
  QTest::keyClicks(calc->ETVA, QStringLiteral("19"));
  EXPECT_EQ(calc->BTva[voVatInGross]->Caption(), QStringLiteral("?TVA %19"));

  const std::pair<TVatOperation, const char*> expected[] = {
      {voAddVat, "119"}, {voVatOfNet, "19"}, {voRemoveVat, "84,03"}, {voVatInGross, "15,97"}};
  for (const auto& [op, text] : expected) {
    calc->SetExpression(QStringLiteral("100"));
    calc->BTva[op]->click();
    EXPECT_EQ(calc->Expression(), QString::fromLatin1(text));
    EXPECT_EQ(calc->ResultText(), QString::fromLatin1(text));
    EXPECT_EQ(Edit()->cursorPosition(), Edit()->text().size());
  }

  // The arrows pick the preset rates.
  calc->BTvaNext->click();
  EXPECT_EQ(calc->VatRate(), kPresetRateHigh);
  EXPECT_EQ(calc->ETVA->text(), QStringLiteral("21"));
  EXPECT_EQ(calc->BTva[voAddVat]->Caption(), QStringLiteral("+TVA %21"));
  calc->BTvaPrev->click();
  EXPECT_EQ(calc->VatRate(), kPresetRateLow);
  EXPECT_EQ(calc->BTva[voVatOfNet]->Caption(), QStringLiteral("TVA %11"));
}

// Every caption fits the room of its button, painted bold in the button's font, at every
// rate the two-digit edit takes; the button is not wider than designed for it.
TEST_F(CalculatorWindow, VatCaptionsFitTheirButtonsAtEveryRate) {
  for (const char* rate : {"5", "9", "11", "19", "21", "99"}) {
    calc->ETVA->setFocus();
    calc->ETVA->selectAll();
    QTest::keyClicks(calc->ETVA, QString::fromLatin1(rate));
    ASSERT_EQ(calc->VatRate(), QString::fromLatin1(rate).toDouble());
    for (ui::TNiceButton* button : calc->BTva) {
      QFont bold = button->font();
      bold.setBold(true);
      const int width = QFontMetrics(bold).horizontalAdvance(button->Caption());
      EXPECT_LE(width, button->CaptionRoom()) << button->Caption().toStdString();
      EXPECT_GE(QFontInfo(bold).pixelSize(), 8);
      EXPECT_LE(button->geometry().right(), calc->width());
    }
  }
}

TEST_F(CalculatorWindow, ThousandSeparatorsAreDroppedAndStrayTextRefused) {
  calc->SetExpression(QStringLiteral("1.234.567,5+0,5"));
  EXPECT_EQ(calc->Expression(), QStringLiteral("1234567,5+0,5"));
  EXPECT_EQ(calc->ResultText(), QStringLiteral("1234568"));

  // Pasting goes through the same checks as typing.
  calc->SetExpression(QString());
  Edit()->insert(QStringLiteral("2*1.250,5"));
  EXPECT_EQ(calc->Expression(), QStringLiteral("2*1250,5"));
  EXPECT_EQ(calc->ResultText(), QStringLiteral("2501"));
  Edit()->insert(QStringLiteral("+3 lei"));
  EXPECT_EQ(calc->Expression(), QStringLiteral("2*1250,5"));
}

TEST_F(CalculatorWindow, CaptionPanelDragsTheWindow) {
  const QPoint start = calc->pos();
  TCaptionPanel* panel = calc->PanelCaption;
  QTest::mousePress(panel, Qt::LeftButton, Qt::NoModifier, QPoint(40, 20));
  QTest::mouseMove(panel, QPoint(60, 35));
  QTest::mouseRelease(panel, Qt::LeftButton, Qt::NoModifier, QPoint(60, 35));
  EXPECT_EQ(calc->pos(), start + QPoint(20, 15));
  EXPECT_FALSE(panel->Dragging());
}

TEST_F(CalculatorWindow, PaintsScrewsResultAndError) {
  Type(QStringLiteral("1/3*3"));
  QTest::qWait(60);  // the keys' pressed flash is over
  const QImage shot = calc->grab().toImage();
  // The screws sit in the caption panel's corners: their pixels differ from the plate's.
  const QPoint plate = calc->PanelCaption->mapTo(calc.get(), QPoint(20, 8));
  bool screwDrawn = false;
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x)
      if (shot.pixelColor(calc->PanelCaption->mapTo(calc.get(), QPoint(4 + x, 4 + y))) !=
          shot.pixelColor(plate))
        screwDrawn = true;
  EXPECT_TRUE(screwDrawn);
  EXPECT_EQ(calc->ResultText(), QStringLiteral("0,99999999"));

  const QByteArray dir = qgetenv("CALCULATOR_GRAB_DIR");
  if (!dir.isEmpty()) {
    shot.save(QString::fromLocal8Bit(dir) + QStringLiteral("/calculator-result.png"));
    Type(QStringLiteral("*"));
    QTest::qWait(60);
    calc->grab().save(QString::fromLocal8Bit(dir) + QStringLiteral("/calculator-error.png"));
    Type(QStringLiteral("c"));
    for (const char* e : {"100*1,19", "(2+3)*4", "1/3*3"}) EnterAndClear(QString::fromLatin1(e));
    calc->ComboBox1->showPopup();
    QTest::qWait(100);
    // The list is a window of its own: paint the calculator with the list over it.
    QImage picture = calc->grab().toImage();
    QWidget* popup = calc->ComboBox1->view()->window();
    QPainter painter(&picture);
    painter.drawPixmap(calc->mapFromGlobal(popup->mapToGlobal(QPoint(0, 0))), popup->grab());
    painter.end();
    picture.save(QString::fromLocal8Bit(dir) + QStringLiteral("/calculator-history.png"));
  }
}

TEST(CalculatorInstance, OneWindowKeepsMemoryBetweenOpenings) {
  TCalculator& first = Calculator();
  EXPECT_EQ(&first, &Calculator());

  // Open for a value: the user extends the value and confirms with Enter.
  QTimer::singleShot(0, [] {
    QTest::keyClicks(Calculator().ComboBox1->lineEdit(), QStringLiteral("*2"));
    QTest::keyClick(Calculator().ComboBox1->lineEdit(), Qt::Key_Return);
  });
  QString value = QStringLiteral("1.250,5");
  EXPECT_TRUE(CalculateValue(value));
  EXPECT_EQ(value, QStringLiteral("2501"));

  // An expression left in the window survives a value request; Escape returns false.
  Calculator().SetExpression(QStringLiteral("2+2"));
  QTimer::singleShot(0,
                     [] { QTest::keyClick(Calculator().ComboBox1->lineEdit(), Qt::Key_Escape); });
  QString other = QStringLiteral("5");
  EXPECT_FALSE(CalculateValue(other));
  EXPECT_EQ(other, QStringLiteral("5"));
  EXPECT_EQ(Calculator().Expression(), QStringLiteral("2+2"));

  // The plain opening clears the expression but keeps history and memory.
  Calculator().SetExpression(QStringLiteral("40"));
  Calculator().MemoryStore();
  QTimer::singleShot(0, [] {
    EXPECT_TRUE(Calculator().Expression().isEmpty());
    QTest::keyClick(Calculator().ComboBox1->lineEdit(), Qt::Key_R);
    QTest::keyClick(Calculator().ComboBox1->lineEdit(), Qt::Key_Return);
  });
  ShowCalculator();
  EXPECT_EQ(Calculator().Expression(), QStringLiteral("40"));
  EXPECT_TRUE(Calculator().History().contains(QStringLiteral("1250,5*2")));
}

}  // namespace
}  // namespace calculator

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  platform::FixProgramFormats();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
