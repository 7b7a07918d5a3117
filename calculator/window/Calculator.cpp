#include "calculator/window/Calculator.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QValidator>

#include "calculator/engine/Editing.h"
#include "calculator/engine/Evaluate.h"
#include "calculator/window/CalculatorLayout.h"
#include "calculator/window/CaptionPanel.h"
#include "platform/Formats.h"
#include "ui/buttons/MButton.h"
#include "ui/buttons/NiceButton.h"
#include "ui/fmtlabel/FmtLabel.h"
#include "ui/store/Fonts.h"
#include "ui/store/ImageStore.h"
#include "ui/store/SystemColors.h"
#include "ui/titlebar/TransImage.h"

namespace calculator {

using namespace layout;

namespace {

QChar DecimalSeparator() {
  return QChar(platform::Formats().DecimalSeparator);
}

// The expression box takes only what an expression can hold. Typed keys never bring a
// thousands separator (the point types the decimal one), so one in the text comes from a
// pasted amount such as "1.234,50" and is dropped; text with any other stray character is
// refused as a whole rather than pasted half.
class ExpressionValidator : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int& pos) const override {
    const QChar thousands(platform::Formats().ThousandSeparator);
    if (thousands != DecimalSeparator()) {
      for (qsizetype i = input.size() - 1; i >= 0; --i) {
        if (input[i] != thousands) continue;
        input.remove(i, 1);
        if (pos > i) --pos;
      }
    }
    static const QString accepted = QStringLiteral("0123456789().,+-/*eEcCmMrRkK");
    for (QChar c : input)
      if (!accepted.contains(c) && c != DecimalSeparator()) return Invalid;
    return Acceptable;
  }
};

bool IsCharKey(const QString& text) {
  return text.size() == 1 && text[0].unicode() >= 32 && text[0].unicode() < 127;
}

}  // namespace

TCalculator::TCalculator(QWidget* parent) : ui::TTitleForm(parent) {
  setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
  setObjectName(QStringLiteral("TCalculator"));
  setWindowTitle(QStringLiteral("Calculator"));
  setFixedSize(kWidth, kHeight);
  setFont(ui::DialogFont());
  QPalette p = palette();
  p.setColor(QPalette::Window, ui::ToQColor(ui::clBtnFace));
  setPalette(p);
  setAutoFillBackground(true);

  BuildCaption();

  ComboBox1 = new QComboBox(this);
  ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
  ComboBox1->setEditable(true);
  ComboBox1->setInsertPolicy(QComboBox::NoInsert);
  ComboBox1->setMaxCount(static_cast<int>(kHistoryLimit));
  ComboBox1->setMaxVisibleItems(12);
  ComboBox1->setGeometry(kMargin, 56, kWidth - 2 * kMargin, 24);
  ComboBox1->setFont(ui::FontByName(QStringLiteral("MS Sans Serif"), 14, true));
  ComboBox1->lineEdit()->setMaxLength(static_cast<int>(kMaxExpressionLength));
  ComboBox1->lineEdit()->setValidator(new ExpressionValidator(ComboBox1));
  ComboBox1->setFocusPolicy(Qt::StrongFocus);
  connect(ComboBox1, &QComboBox::editTextChanged, this, [this] { Reevaluate(); });

  Rezultat = new QLabel(this);
  Rezultat->setObjectName(QStringLiteral("Rezultat"));
  Rezultat->setGeometry(kMargin, 84, kWidth - 2 * kMargin, 28);
  Rezultat->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  Rezultat->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  Rezultat->setIndent(6);
  Rezultat->setFont(ui::FontByName(QStringLiteral("Arial"), 18, true));
  Rezultat->setAutoFillBackground(true);
  QPalette rp = Rezultat->palette();
  rp.setColor(QPalette::Window, QColor(224, 240, 224));
  rp.setColor(QPalette::WindowText, QColor(0, 0, 128));
  Rezultat->setPalette(rp);
  Rezultat->setTextInteractionFlags(Qt::TextSelectableByMouse);

  LabelE = new QLabel(this);
  LabelE->setObjectName(QStringLiteral("LabelE"));
  LabelE->setGeometry(kMargin, 114, kWidth - 2 * kMargin, 16);
  LabelE->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  LabelE->setFont(ui::FontByName(QStringLiteral("MS Sans Serif"), 12, true));
  QPalette ep = LabelE->palette();
  ep.setColor(QPalette::WindowText, QColor(255, 0, 0));
  LabelE->setPalette(ep);

  BuildKeypad();
  BuildVatRow();
  RebuildVat();
  FocusExpression();
}

TCalculator::~TCalculator() {
  if (filterInstalled_) qApp->removeEventFilter(this);
}

void TCalculator::BuildCaption() {
  PanelCaption = new TCaptionPanel(this);
  PanelCaption->setObjectName(QStringLiteral("PanelCaption"));
  PanelCaption->setGeometry(2, 2, kWidth - 4, 46);

  auto brand = [this](const QString& caption, int pixels, ui::TColor color) {
    auto* label = new ui::TFmtLabel(PanelCaption);
    label->SetTransparent(true);
    label->SetFont(ui::FontByName(QStringLiteral("Arial"), pixels, true));
    label->SetFontColor(color);
    label->SetShadowColor(ui::clBlack);
    label->SetCaption(caption);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    return label;
  };
  LabelTarvex = brand(QStringLiteral("%Tarvex"), 20, ui::clYellow);
  LabelCalculator = brand(QStringLiteral("%calculator electronic"), 11, ui::clWhite);
  const QSize tarvex = LabelTarvex->MarkupExtent(ui::taLeftJustify);
  const QSize calc = LabelCalculator->MarkupExtent(ui::taLeftJustify);
  const int panelWidth = PanelCaption->width();
  LabelTarvex->setGeometry((panelWidth - tarvex.width()) / 2, 3, tarvex.width() + 1,
                           tarvex.height() + 1);
  LabelCalculator->setGeometry((panelWidth - calc.width()) / 2, 27, calc.width() + 1,
                               calc.height() + 1);

  auto equals = [this](int x) {
    auto* label = new QLabel(QStringLiteral("="), PanelCaption);
    label->setFont(ui::FontByName(QStringLiteral("Arial"), 20, true));
    QPalette lp = label->palette();
    lp.setColor(QPalette::WindowText, QColor(255, 255, 0));
    label->setPalette(lp);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    label->adjustSize();
    label->move(x - label->width() / 2, 1);
    return label;
  };
  const int tarvexLeft = LabelTarvex->x();
  LabelEgal1 = equals(tarvexLeft - 16);
  LabelEgal2 = equals(tarvexLeft + tarvex.width() + 16);

  const int right = PanelCaption->width() - 12, bottom = PanelCaption->height() - 12;
  const QPoint corners[4] = {{4, 4}, {right, 4}, {4, bottom}, {right, bottom}};
  for (int i = 0; i < 4; ++i) {
    Suruburi[i] = new ui::TTransImage(PanelCaption);
    Suruburi[i]->setGeometry(corners[i].x(), corners[i].y(), 8, 8);
    Suruburi[i]->setAttribute(Qt::WA_TransparentForMouseEvents);
  }
}

ui::TNiceButton* TCalculator::MakeButton(const QString& caption, QRect geometry) {
  auto* button = new ui::TNiceButton(this);
  button->SetCaption(caption);
  button->setGeometry(geometry);
  // Typing always goes to the expression box; the buttons only take clicks.
  button->setFocusPolicy(Qt::NoFocus);
  return button;
}

void TCalculator::BuildKeypad() {
  // Four rows of six columns; "0" takes two columns, "Enter" sits beside the VAT rate.
  static const char* const rows[4][6] = {{"7", "8", "9", "/", "CE", "C"},
                                         {"4", "5", "6", "*", "M", "MR"},
                                         {"1", "2", "3", "-", "(", ")"},
                                         {"0", "", ",", "=", "+", "BK"}};
  const int vatRowTop = kKeypadTop + 4 * (kKeyHeight + kGap);
  const int enterWidth = 2 * kKeyWidth + kGap;
  for (int row = 0; row <= 4; ++row) {
    for (int col = 0; col < 6; ++col) {
      const bool enter = row == 4;
      if (enter && col > 0) break;
      const QString caption = enter ? QStringLiteral("Enter") : QString::fromLatin1(rows[row][col]);
      if (caption.isEmpty()) continue;
      const bool wide = caption == QStringLiteral("0");
      const QRect geometry =
          enter ? QRect(kWidth - kMargin - enterWidth, vatRowTop, enterWidth, kKeyHeight)
                : QRect(kMargin + col * (kKeyWidth + kGap), kKeypadTop + row * (kKeyHeight + kGap),
                        wide ? enterWidth : kKeyWidth, kKeyHeight);
      ui::TNiceButton* button = MakeButton(caption, geometry);
      button->setObjectName(QStringLiteral("B") + caption);
      const std::string name = caption.toStdString();
      if (name.size() == 1 && name != "C" && name != "M" && name != "=") {
        const char c = name[0];
        charButtons_.emplace_back(c, button);
        button->OnClick = [this, c](QObject*) {
          AppendChar(c == ',' ? DecimalSeparator().toLatin1() : c);
        };
      } else if (name == "CE") {
        BCE = button;
        button->OnClick = [this](QObject*) { ClearEntryAction(); };
      } else if (name == "C") {
        BC = button;
        button->OnClick = [this](QObject*) { ClearAction(); };
      } else if (name == "M") {
        BM = button;
        button->OnClick = [this](QObject*) { MemoryStore(); };
      } else if (name == "MR") {
        BMR = button;
        button->OnClick = [this](QObject*) { MemoryRecall(); };
      } else if (name == "=") {
        BEgal = button;
        button->setObjectName(QStringLiteral("BEgal"));
        button->OnClick = [this](QObject*) { EqualsAction(); };
      } else if (name == "BK") {
        BBK = button;
        button->OnClick = [this](QObject*) { Backspace(); };
      } else if (name == "Enter") {
        BEnter = button;
        button->OnClick = [this](QObject*) { EnterAction(); };
      }
    }
  }
}

ui::TNiceButton* TCalculator::CharButton(char c) const {
  for (const auto& [key, button] : charButtons_)
    if (key == c) return button;
  return nullptr;
}

QString TCalculator::Expression() const {
  return ComboBox1->currentText();
}
QString TCalculator::ResultText() const {
  return Rezultat->text();
}
QString TCalculator::ErrorText() const {
  return LabelE->text();
}

QStringList TCalculator::History() const {
  QStringList list;
  for (const std::string& s : history_) list << QString::fromStdString(s);
  return list;
}

void TCalculator::SetExpression(const QString& text) {
  SetTextWithCaretAtEnd(QString::fromStdString(WithoutThousandSeparators(text.toStdString())));
}

void TCalculator::SetTextWithCaretAtEnd(const QString& text) {
  QLineEdit* edit = ComboBox1->lineEdit();
  if (edit->text() == text) Reevaluate();  // no change signal, but the caller wants a fresh value
  edit->setText(text);
  SetCaretAtEnd();
}

void TCalculator::SetCaretAtEnd() {
  QLineEdit* edit = ComboBox1->lineEdit();
  edit->deselect();
  edit->setCursorPosition(static_cast<int>(edit->text().size()));
}

void TCalculator::FocusExpression() {
  ComboBox1->setFocus(Qt::OtherFocusReason);
}

// ----- evaluation ---------------------------------------------------------------------------

void TCalculator::Reevaluate() {
  errorFlag_ = false;
  const Evaluation result = Evaluate(Expression().toStdString());
  if (!result.Ok()) {
    errorFlag_ = true;
    LabelE->setText(QString::fromStdString(result.Error));
    return;  // the result panel keeps the last good value
  }
  ShowValue(result.Value);
}

void TCalculator::ShowValue(Number value) {
  Rezultat->setText(QString::fromStdString(NumberToDisplayText(value)));
  LabelE->clear();
}

// ----- editing actions ----------------------------------------------------------------------

void TCalculator::InsertAtCaret(const QString& text) {
  FocusExpression();
  ComboBox1->lineEdit()->insert(text);  // replaces the selection; re-evaluates on change
}

void TCalculator::AppendChar(char c) {
  FocusExpression();
  SetTextWithCaretAtEnd(Expression() + QChar(c));
}

void TCalculator::Backspace() {
  QString text = Expression();
  if (!text.isEmpty()) text.chop(1);
  FocusExpression();
  SetTextWithCaretAtEnd(text);
}

void TCalculator::ClearEntryAction() {
  FocusExpression();
  SetTextWithCaretAtEnd(QString::fromStdString(ClearEntry(Expression().toStdString())));
}

void TCalculator::ClearAction() {
  PutInHistory(Expression());
  ComboBox1->lineEdit()->clear();
  Rezultat->clear();
  LabelE->clear();
  FocusExpression();
}

void TCalculator::EqualsAction() {
  FocusExpression();
  if (errorFlag_ || ComboBox1->view()->isVisible() || Expression().isEmpty()) return;
  const QString result = ResultText();
  PutInHistory(Expression());
  // The result replaces the expression; the history keeps the expression.
  SetTextWithCaretAtEnd(result);
}

void TCalculator::MemoryStore() {
  if (errorFlag_) return;
  const std::optional<Number> shown = ReadNumber(ResultText().toStdString());
  memory_ = shown ? *shown : 0;
  EqualsAction();
  Reevaluate();
}

void TCalculator::MemoryRecall() {
  const QString text = QString::fromStdString(NumberToGeneralText(memory_));
  FocusExpression();
  SetTextWithCaretAtEnd(text);
  PutInHistory(text);
  Reevaluate();
}

void TCalculator::EnterAction() {
  PutInHistory(Expression());
  done(QDialog::Accepted);
}

// ----- history ------------------------------------------------------------------------------

void TCalculator::PutInHistory(const QString& expression) {
  if (calculator::PutInHistory(history_, expression.toStdString())) SyncHistoryList();
}

void TCalculator::SyncHistoryList() {
  // Rebuilding the list must not disturb the text being edited.
  QLineEdit* edit = ComboBox1->lineEdit();
  const QString text = edit->text();
  const int caret = edit->cursorPosition();
  const bool blocked = ComboBox1->blockSignals(true);
  ComboBox1->clear();
  for (const std::string& entry : history_) ComboBox1->addItem(QString::fromStdString(entry));
  ComboBox1->setCurrentIndex(-1);
  edit->setText(text);
  edit->setCursorPosition(caret);
  ComboBox1->blockSignals(blocked);
}

// ----- opening ------------------------------------------------------------------------------

int TCalculator::Open() {
  if (isVisible()) return QDialog::Rejected;
  ComboBox1->lineEdit()->clear();
  return exec();
}

bool TCalculator::OpenForValue(QString& value) {
  if (isVisible()) return false;
  // An expression the user left here is kept aside while the caller's value is worked on.
  QString kept;
  const std::string current = Expression().toStdString();
  if (!current.empty() && !ReadNumber(current)) kept = Expression();
  SetExpression(value);
  Reevaluate();
  const int result = exec();
  const bool ok = result == QDialog::Accepted && !errorFlag_;
  if (ok) value = ResultText();
  if (!kept.isEmpty()) SetTextWithCaretAtEnd(kept);
  return ok;
}

void TCalculator::showEvent(QShowEvent* event) {
  ui::TTitleForm::showEvent(event);
  RebuildVat();
  ETVA->setText(QString::fromStdString(NumberToGeneralText(vatRate_)));
  if (!imagesLoaded_) {
    const QImage& screw = ui::DlgImageStore().SmallMark(2);
    for (ui::TTransImage* image : Suruburi) image->SetBitmap(screw);
    imagesLoaded_ = true;
  }
  if (!filterInstalled_) {
    qApp->installEventFilter(this);
    filterInstalled_ = true;
  }
  FocusExpression();
}

void TCalculator::setVisible(bool visible) {
  ui::TTitleForm::setVisible(visible);
  // A dialog selects the text of the control it focuses on showing; here typing goes on at
  // the end of the expression instead of replacing it.
  if (visible) SetCaretAtEnd();
}

void TCalculator::hideEvent(QHideEvent* event) {
  if (filterInstalled_) {
    qApp->removeEventFilter(this);
    filterInstalled_ = false;
  }
  ui::TTitleForm::hideEvent(event);
}

void TCalculator::paintEvent(QPaintEvent* event) {
  ui::TTitleForm::paintEvent(event);
  // The thin raised frame of a window without a system border.
  QPainter painter(this);
  const QRect r = rect().adjusted(0, 0, -1, -1);
  painter.setPen(ui::ToQColor(ui::clBtnHighlight));
  painter.drawLine(r.topLeft(), r.topRight());
  painter.drawLine(r.topLeft(), r.bottomLeft());
  painter.setPen(ui::ToQColor(ui::clBtnShadow));
  painter.drawLine(r.bottomLeft(), r.bottomRight());
  painter.drawLine(r.topRight(), r.bottomRight());
}

// ----- keys ---------------------------------------------------------------------------------

void TCalculator::Flash(ui::TNiceButton* button) {
  if (button) button->SetForcedDown(true);  // the button turns itself back up
}

bool TCalculator::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return ui::TTitleForm::eventFilter(watched, event);
  auto* widget = qobject_cast<QWidget*>(watched);
  // The window sees keys before its controls. A key it lets pass may come by again on its way
  // up to the parents; passing it again changes nothing.
  if (!widget || widget->window() != this) return ui::TTitleForm::eventFilter(watched, event);
  if (HandleKey(static_cast<QKeyEvent*>(event))) return true;
  // What the calculator lets pass gets the titled forms' rules (Alt+F4 swallowed).
  return ui::TTitleForm::eventFilter(watched, event);
}

bool TCalculator::HandleKey(QKeyEvent* key) {
  if (ETVA->hasFocus() || focusWidget() == ETVA) return false;  // the rate edit gets keys as typed
  // Shortcuts (Ctrl+C, Ctrl+V...) and keys without a character (arrows, Home, F-keys) are the
  // expression box's own.
  if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
  const int code = key->key();
  if (code == Qt::Key_Tab || code == Qt::Key_Backtab) return false;

  if (code == Qt::Key_Escape) {
    if (ComboBox1->view()->isVisible()) {
      ComboBox1->hidePopup();  // Escape only closes the list
    } else {
      done(QDialog::Rejected);  // the form family keeps reject() from closing its forms
    }
    return true;
  }
  if (ComboBox1->view()->isVisible()) return false;  // the open list has the keyboard
  if (code == Qt::Key_Return || code == Qt::Key_Enter) {
    Flash(BEnter);
    EnterAction();
    return true;
  }
  if (code == Qt::Key_Backspace) {
    Flash(BBK);
    FocusExpression();
    QLineEdit* edit = ComboBox1->lineEdit();
    if (edit->hasSelectedText())
      edit->del();
    else
      edit->backspace();
    return true;
  }
  const QString text = key->text();
  if (!IsCharKey(text)) return false;

  FocusExpression();
  QLineEdit* edit = ComboBox1->lineEdit();
  const char c = text.toUpper()[0].toLatin1();
  if ((c >= '0' && c <= '9') || QByteArrayView("()*+-/").contains(c)) {
    Flash(CharButton(c));
    InsertAtCaret(QString(QChar(c)));
  } else if (c == '.' || QChar(c) == DecimalSeparator()) {
    Flash(CharButton(','));
    InsertAtCaret(QString(DecimalSeparator()));
  } else if (c == 'K') {
    Flash(BBK);
    if (edit->hasSelectedText())
      edit->del();
    else
      edit->backspace();
  } else if (c == '=') {
    Flash(BEgal);
    EqualsAction();
  } else if (c == 'C') {
    Flash(BC);
    ClearAction();
  } else if (c == 'E') {
    Flash(BCE);
    ClearEntryAction();
  } else if (c == 'M') {
    Flash(BM);
    MemoryStore();
  } else if (c == 'R') {
    Flash(BMR);
    MemoryRecall();
  } else {
    edit->setCursorPosition(static_cast<int>(edit->text().size()));
  }
  return true;
}

}  // namespace calculator
