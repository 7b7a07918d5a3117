// The VAT row of the calculator: the rate edit, the preset arrows and the four VAT buttons,
// whose captions carry the rate and always fit their buttons.
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <algorithm>

#include "calculator/window/Calculator.h"
#include "calculator/window/CalculatorLayout.h"
#include "ui/buttons/MButton.h"
#include "ui/buttons/NiceButton.h"
#include "ui/store/Fonts.h"

namespace calculator {

using namespace layout;

namespace {

// Below this the captions would no longer read; the buttons are sized well above it.
constexpr int kSmallestCaptionPixels = 8;

}  // namespace

void TCalculator::BuildVatRow() {
  const int top = kKeypadTop + 4 * (kKeyHeight + kGap) + 2;  // beside "Enter"
  auto* label = new QLabel(QStringLiteral("Cota TVA %"), this);
  label->setFont(ui::FontByName(QStringLiteral("MS Sans Serif"), 12, true));
  label->adjustSize();
  label->move(kMargin, top + (24 - label->height()) / 2);

  ETVA = new QLineEdit(this);
  ETVA->setObjectName(QStringLiteral("ETVA"));
  ETVA->setInputMask(QStringLiteral("00;_"));  // two optional digits, "_" for a blank
  ETVA->setAlignment(Qt::AlignCenter);
  ETVA->setFont(ui::FontByName(QStringLiteral("MS Sans Serif"), 14, true));
  ETVA->setGeometry(label->x() + label->width() + 8, top, 34, 24);
  connect(ETVA, &QLineEdit::textEdited, this, [this](const QString& t) { RateEdited(t); });

  auto arrow = [this, top](ui::TMButtonKind kind, int x, double rate) {
    auto* button = new ui::TMButton(this);
    button->SetKind(kind);
    button->setGeometry(x, top, 26, 24);
    button->setFocusPolicy(Qt::NoFocus);
    button->setToolTip(QStringLiteral("Cota %1%").arg(rate));
    button->OnClick = [this, rate](QObject*) { SelectPresetRate(rate); };
    return button;
  };
  const int arrowsLeft = ETVA->x() + ETVA->width() + 6;
  BTvaPrev = arrow(ui::mkPrev, arrowsLeft, kPresetRateLow);
  BTvaNext = arrow(ui::mkNext, arrowsLeft + 28, kPresetRateHigh);
  BTvaPrev->setObjectName(QStringLiteral("BTvaPrev"));
  BTvaNext->setObjectName(QStringLiteral("BTvaNext"));

  const int vatTop = top + 30;
  const int vatWidth = (kWidth - 2 * kMargin - 3 * kGap) / 4;
  const TVatOperation order[4] = {voAddVat, voRemoveVat, voVatOfNet, voVatInGross};
  for (int i = 0; i < 4; ++i) {
    const TVatOperation op = order[i];
    ui::TNiceButton* button =
        MakeButton(QString(), QRect(kMargin + i * (vatWidth + kGap), vatTop, vatWidth, 28));
    button->setObjectName(QStringLiteral("BTva%1").arg(i));
    button->OnClick = [this, op](QObject*) { ApplyVatAction(op); };
    BTva[op] = button;
  }
  FitVatCaptions();
}

// One font for the four VAT buttons, the largest (up to the window's) in which every caption
// fits its button at every rate the two-digit edit accepts ("+TVA %19", "?TVA %99").
void TCalculator::FitVatCaptions() {
  QFont font = BTva[0]->font();
  const int room = BTva[0]->CaptionRoom();
  int captionWidth = 0;
  for (int pixels = QFontInfo(font).pixelSize(); pixels >= kSmallestCaptionPixels; --pixels) {
    font.setPixelSize(pixels);
    QFont bold = font;
    bold.setBold(true);  // captions are painted bold
    const QFontMetrics metrics(bold);
    captionWidth = 0;
    for (int rate = 0; rate <= 99; ++rate) {
      const TVatFormulas formulas = BuildVatFormulas(rate);
      for (int op = 0; op < 4; ++op)
        captionWidth =
            std::max(captionWidth, metrics.horizontalAdvance(QString::fromStdString(
                                       VatCaption(static_cast<TVatOperation>(op), formulas))));
    }
    if (captionWidth <= room) break;
  }
  for (ui::TNiceButton* button : BTva) button->setFont(font);
}

void TCalculator::ApplyVatAction(TVatOperation operation) {
  FocusExpression();
  if (errorFlag_) return;
  const VatResult vat = ApplyVat(Expression().toStdString(), operation, formulas_);
  if (!vat.Outcome.Ok()) {
    // The expression stays as typed so the user can correct it.
    errorFlag_ = true;
    LabelE->setText(QString::fromStdString(vat.Outcome.Error));
    return;
  }
  SetTextWithCaretAtEnd(QString::fromStdString(vat.Text));
  ShowValue(vat.Outcome.Value);
}

// ----- VAT ----------------------------------------------------------------------------------

void TCalculator::RateEdited(const QString& text) {
  const QString digits = text.trimmed().remove(QChar('_'));
  bool ok = false;
  const int rate = digits.toInt(&ok);
  if (!ok || digits.isEmpty() || rate < 0 || rate > 99) return;  // the old rate stays
  vatRate_ = rate;
  RebuildVat();
}

void TCalculator::SelectPresetRate(double rate) {
  vatRate_ = rate;
  ETVA->setText(QString::fromStdString(NumberToGeneralText(rate)));
  RebuildVat();
  FocusExpression();
}

void TCalculator::RebuildVat() {
  formulas_ = BuildVatFormulas(vatRate_);
  for (int op = 0; op < 4; ++op)
    BTva[op]->SetCaption(
        QString::fromStdString(VatCaption(static_cast<TVatOperation>(op), formulas_)));
}

}  // namespace calculator
