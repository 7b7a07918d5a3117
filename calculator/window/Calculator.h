#pragma once
// TCalculator: the modal pop-up calculator. The expression is typed or clicked into
// ComboBox1, evaluated after every change and its value shown in Rezultat; errors go to
// LabelE. It keeps a history of 32 expressions and a memory register, and applies a VAT rate
// with four buttons. One window serves the whole program (see OpenCalculator.h), so history
// and memory survive between openings.
#include <QDialog>
#include <QString>
#include <QStringList>
#include <array>
#include <string>
#include <vector>

#include "calculator/engine/CalculatorNumbers.h"
#include "calculator/engine/Vat.h"
#include "ui/forms/TitleForm.h"

class QComboBox;
class QLabel;
class QLineEdit;

namespace ui {
class TFmtLabel;
class TMButton;
class TNiceButton;
class TTransImage;
}  // namespace ui

namespace calculator {

class TCaptionPanel;

// The two rates the arrow buttons offer: Romania's reduced and standard VAT rates.
inline constexpr double kPresetRateLow = 11;
inline constexpr double kPresetRateHigh = 21;

class TCalculator : public ui::TTitleForm {
  Q_OBJECT

 public:
  explicit TCalculator(QWidget* parent = nullptr);
  ~TCalculator() override;

  // Clears the expression (unless the window is already showing) and runs the window
  // modally. Returns the modal result.
  int Open();

  // For a caller that wants a number back (a grid cell): starts from `value` (thousands
  // separators dropped), runs the window, and on OK without a pending error puts the result
  // panel's text into `value` and returns true. An expression the user had left in the
  // window is put back afterwards.
  bool OpenForValue(QString& value);

  void setVisible(bool visible) override;

  // Puts `text` into the expression box, every thousands separator removed.
  void SetExpression(const QString& text);

  QString Expression() const;
  QString ResultText() const;
  QString ErrorText() const;
  bool ErrorPending() const { return errorFlag_; }
  Number Memory() const { return memory_; }
  double VatRate() const { return vatRate_; }
  // The history, newest first.
  QStringList History() const;
  const TVatFormulas& Formulas() const { return formulas_; }

  // Form components, named as designed.
  TCaptionPanel* PanelCaption = nullptr;
  ui::TFmtLabel* LabelTarvex = nullptr;
  ui::TFmtLabel* LabelCalculator = nullptr;
  QLabel* LabelEgal1 = nullptr;
  QLabel* LabelEgal2 = nullptr;
  std::array<ui::TTransImage*, 4> Suruburi{};
  QComboBox* ComboBox1 = nullptr;
  QLabel* Rezultat = nullptr;
  QLabel* LabelE = nullptr;
  QLineEdit* ETVA = nullptr;
  ui::TMButton* BTvaPrev = nullptr;
  ui::TMButton* BTvaNext = nullptr;
  ui::TNiceButton* BCE = nullptr;
  ui::TNiceButton* BC = nullptr;
  ui::TNiceButton* BM = nullptr;
  ui::TNiceButton* BMR = nullptr;
  ui::TNiceButton* BEgal = nullptr;
  ui::TNiceButton* BBK = nullptr;
  ui::TNiceButton* BEnter = nullptr;
  std::array<ui::TNiceButton*, 4> BTva{};  // indexed by TVatOperation
  // The digit, operator, parenthesis and separator buttons, by their character.
  ui::TNiceButton* CharButton(char c) const;

  // The actions behind the buttons.
  void AppendChar(char c);
  void Backspace();
  void ClearEntryAction();
  void ClearAction();
  void EqualsAction();
  void MemoryStore();
  void MemoryRecall();
  void EnterAction();
  void ApplyVatAction(TVatOperation operation);
  void FitVatCaptions();
  void SelectPresetRate(double rate);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void BuildCaption();
  void BuildKeypad();
  void BuildVatRow();
  ui::TNiceButton* MakeButton(const QString& caption, QRect geometry);
  bool HandleKey(QKeyEvent* key);
  void Flash(ui::TNiceButton* button);
  void InsertAtCaret(const QString& text);
  void Reevaluate();
  void ShowValue(Number value);
  void PutInHistory(const QString& expression);
  void SyncHistoryList();
  void SetTextWithCaretAtEnd(const QString& text);
  void SetCaretAtEnd();
  void RateEdited(const QString& text);
  void RebuildVat();
  void FocusExpression();

  bool errorFlag_ = false;
  double vatRate_ = 0;
  Number memory_ = 0;
  TVatFormulas formulas_;
  std::vector<std::string> history_;
  std::vector<std::pair<char, ui::TNiceButton*>> charButtons_;
  bool imagesLoaded_ = false;
  bool filterInstalled_ = false;
};

}  // namespace calculator
