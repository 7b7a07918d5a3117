#include "app/gallery/GalleryPanels.h"

#include <QApplication>
#include <QEnterEvent>
#include <QLabel>
#include <QListWidget>
#include <QPainter>

#include "ui/activecontrols/ActiveCombo.h"
#include "ui/activecontrols/ActiveLabel.h"
#include "ui/activecontrols/MRadioGroup.h"
#include "ui/buttons/MButton.h"
#include "ui/buttons/MToolbar.h"
#include "ui/buttons/NiceButton.h"
#include "ui/dialogs/MessageDlg.h"
#include "ui/fmtlabel/FmtLabel.h"
#include "ui/imagelist/MImageList.h"
#include "ui/store/Fonts.h"
#include "ui/store/ImageStore.h"
#include "ui/store/SystemColors.h"
#include "ui/titlebar/TitleBar.h"
#include "ui/titlebar/TransImage.h"

using namespace ui;

namespace {

std::unique_ptr<QWidget> NewPanel(int width, int height) {
  auto panel = std::make_unique<QWidget>();
  panel->setFont(DialogFont());
  panel->setAutoFillBackground(true);
  QPalette palette = panel->palette();
  palette.setColor(QPalette::Window, ToQColor(clBtnFace));
  panel->setPalette(palette);
  panel->resize(width, height);
  return panel;
}

QLabel* Note(QWidget* parent, int x, int y, const QString& text) {
  auto* note = new QLabel(text, parent);
  note->move(x, y);
  note->adjustSize();
  return note;
}

// Hover without a real pointer: the widget gets the enter event a pointer would send.
void Hover(QWidget* widget, QPoint pos) {
  QEnterEvent enter(pos, widget->mapTo(widget->window(), pos), widget->mapToGlobal(pos));
  QApplication::sendEvent(widget, &enter);
}

// Every kind as a bevelled TMButton, in rows of ten.
std::unique_ptr<QWidget> AllMButtons() {
  auto panel = NewPanel(10 * 96 + 10, 5 * 60 + 10);
  for (int kind = 0; kind < ButtonKindCount; ++kind) {
    auto* button = new TMButton(panel.get());
    button->SetKind(TMButtonKind(kind));
    button->resize(KindInfo(kind).Width, 40);
    button->SetLightButton(false);
    button->move(10 + (kind % 10) * 96, 10 + (kind / 10) * 60);
    button->setObjectName(QStringLiteral("kind%1").arg(kind));
    Note(panel.get(), 10 + (kind % 10) * 96, 52 + (kind / 10) * 60, QString::number(kind));
  }
  return panel;
}

std::unique_ptr<QWidget> MButtonStates() {
  auto panel = NewPanel(620, 200);
  // A light button loses its hot look with the focus, so the focused one is bevelled.
  const char* notes[] = {"flat", "hot", "focused", "pressed", "disabled", "bevelled"};
  for (int i = 0; i < 6; ++i) {
    auto* button = new TMButton(panel.get());
    button->SetKind(mkOK);
    button->move(10 + i * 100, 10);
    button->setObjectName(QString::fromLatin1(notes[i]));
    if (i == 4) button->setEnabled(false);
    if (i == 2 || i == 5) button->SetLightButton(false);
    Note(panel.get(), 10 + i * 100, 55, QString::fromLatin1(notes[i]));
  }
  const TButtonLayout layouts[] = {blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom};
  const char* layoutNotes[] = {"glyph left", "glyph right", "glyph top", "glyph bottom"};
  for (int i = 0; i < 4; ++i) {
    auto* button = new TMButton(panel.get());
    button->SetKind(mkSave);
    button->SetLightButton(false);
    button->SetButtonLayout(layouts[i]);
    button->resize(110, 70);
    button->move(10 + i * 120, 100);
    Note(panel.get(), 10 + i * 120, 175, QString::fromLatin1(layoutNotes[i]));
  }
  return panel;
}

void PrepareMButtonStates(QWidget& panel) {
  panel.findChild<TMButton*>(QStringLiteral("focused"))->setFocus();
  Hover(panel.findChild<TMButton*>(QStringLiteral("hot")), QPoint(10, 10));
  panel.findChild<TMButton*>(QStringLiteral("pressed"))->setDown(true);
}

std::unique_ptr<QWidget> AllNiceButtons() {
  auto panel = NewPanel(5 * 110 + 10, 10 * 36 + 10);
  for (int kind = 0; kind < ButtonKindCount; ++kind) {
    auto* button = new TNiceButton(panel.get());
    button->SetKind(TMButtonKind(kind));
    button->move(10 + (kind % 5) * 110, 10 + (kind / 5) * 36);
  }
  return panel;
}

std::unique_ptr<QWidget> NiceButtonStates() {
  auto panel = NewPanel(560, 130);
  const char* notes[] = {"normal", "hot", "forced down", "focused", "disabled"};
  for (int i = 0; i < 5; ++i) {
    auto* button = new TNiceButton(panel.get());
    button->SetKind(mkYes);
    button->move(10 + i * 110, 10);
    button->setObjectName(QString::fromLatin1(notes[i]));
    if (i == 4) button->setEnabled(false);
    Note(panel.get(), 10 + i * 110, 42, QString::fromLatin1(notes[i]));
  }
  auto* noCaption = new TNiceButton(panel.get());
  noCaption->SetKind(mkConfig);
  noCaption->SetCaptionVisible(false);
  noCaption->resize(35, 28);
  noCaption->move(10, 70);
  Note(panel.get(), 10, 100, QStringLiteral("fara text"));
  auto* custom = new TNiceButton(panel.get());
  custom->SetCaption(QStringLiteral("&Start import"));
  custom->SetGlyph(DlgImageStore().Picture(QStringLiteral("Find")));
  custom->resize(130, 28);
  custom->move(120, 70);
  auto* wide = new TNiceButton(panel.get());
  wide->SetKind(mkSave);
  wide->SetCaption(QStringLiteral("Salveaza lista erori"));
  wide->resize(180, 28);
  wide->move(270, 70);
  return panel;
}

void PrepareNiceButtonStates(QWidget& panel) {
  // The focused button is hot until the mouse makes another one hot.
  panel.findChild<TNiceButton*>(QStringLiteral("focused"))->setFocus();
  Hover(panel.findChild<TNiceButton*>(QStringLiteral("hot")), QPoint(60, 14));
  panel.findChild<TNiceButton*>(QStringLiteral("forced down"))->SetForcedDown(true);
}

std::unique_ptr<QWidget> Toolbars() {
  auto panel = NewPanel(260, 230);
  for (int t = 0; t < 2; ++t) {
    auto* toolbar = new TMToolbar(panel.get());
    toolbar->move(10 + t * 120, 10);
    const TMButtonKind kinds[] = {mkAdd, mkDelete, mkEdit, mkPrint};
    for (int i = 0; i < 4; ++i) {
      auto* button = new TMButton(toolbar);
      button->SetKind(kinds[i]);
      button->move(5, 5 + i * 50);
    }
    toolbar->setEnabled(t == 0);
  }
  return panel;
}

std::unique_ptr<QWidget> TitleBars() {
  auto panel = NewPanel(420, 6 * 40 + 10);
  auto add = [&](int row, const QString& caption) {
    auto* bar = new TTitleBar(panel.get());
    bar->setGeometry(10, 10 + row * 40, 400, 25);
    bar->SetCaption(caption);
    return bar;
  };
  add(0, QStringLiteral("Import preturi  de vanzare"));
  add(1, QStringLiteral("Inactiv (Grayed)"))->SetGrayed(true);
  add(2, QStringLiteral("Cu loc pentru icoana"))->SetIconStyle(isSearch);
  TTitleBar* ramp = add(3, QStringLiteral("Negru spre alb"));
  ramp->SetStartColor(clBlack);
  ramp->SetEndColor(clWhite);
  TTitleBar* same = add(4, QStringLiteral("Aceeasi culoare"));
  same->SetStartColor(clNavy);
  same->SetEndColor(clNavy);
  add(5, QStringLiteral("Ecran cu 256 de culori"))->SetPlainFill(true);
  return panel;
}

std::unique_ptr<QWidget> TopTitleBar() {
  auto panel = NewPanel(400, 80);
  auto* bar = new TTitleBar(panel.get());
  bar->SetAlign(alTop);
  bar->SetCaption(QStringLiteral("Import preturi  de vanzare"));
  Note(panel.get(), 10, 40, QStringLiteral("aliniat sus: linie alba jos"));
  return panel;
}

std::unique_ptr<QWidget> TransImages() {
  auto panel = NewPanel(420, 100);
  const char* names[] = {"Warning", "Error", "Information", "Confirmation"};
  for (int i = 0; i < 4; ++i) {
    auto* image = new TTransImage(panel.get());
    image->SetBitmap(DlgImageStore().Picture(QString::fromLatin1(names[i])));
    image->move(10 + i * 60, 10);
  }
  auto* clipped = new TTransImage(panel.get());
  clipped->SetAutoSize(false);
  clipped->SetBitmap(DlgImageStore().Picture(QStringLiteral("Warning")));
  clipped->setGeometry(260, 10, 30, 30);
  Note(panel.get(), 260, 45, QStringLiteral("fara AutoSize"));
  return panel;
}

std::unique_ptr<QWidget> Labels() {
  auto panel = NewPanel(460, 230);
  const char* captions[] = {"&Directoare", "&Nume fisiere", "&Filtru", "&Unitati disc"};
  for (int i = 0; i < 4; ++i) {
    auto* label = new TActiveLabel(panel.get());
    label->SetCaption(QString::fromUtf8(captions[i]));
    label->setGeometry(10 + (i % 2) * 220, 10 + (i / 2) * 80, 120, 16);
    auto* list = new QListWidget(panel.get());
    list->addItems({QStringLiteral("Preturi.xls"), QStringLiteral("Furnizor 2026.xls")});
    list->setGeometry(10 + (i % 2) * 220, 28 + (i / 2) * 80, 200, 44);
    label->SetFocusControl(list);
    list->setObjectName(QString::number(i));
  }
  auto* disabled = new TActiveLabel(panel.get());
  disabled->SetCaption(QStringLiteral("&Inactiv (engraved)"));
  disabled->setEnabled(false);
  disabled->setGeometry(10, 175, 150, 16);
  auto* empty = new TActiveLabel(panel.get());
  empty->setGeometry(170, 175, 40, 16);
  auto* comboLabel = new TActiveLabel(panel.get());
  comboLabel->SetCaption(QStringLiteral("Fi&rma"));
  comboLabel->setGeometry(230, 170, 50, 16);
  auto* combo = new TActiveCombo(panel.get());
  combo->addItems({QStringLiteral("SC Exemplu SRL"), QStringLiteral("SC Alta SA")});
  combo->setGeometry(280, 166, 170, 22);
  combo->SetAssocLabel(comboLabel);
  combo->setObjectName(QStringLiteral("combo"));
  return panel;
}

void PrepareLabels(QWidget& panel) {
  panel.findChild<QListWidget*>(QStringLiteral("1"))->setFocus();
}

std::unique_ptr<QWidget> ComboFocused() {
  auto panel = Labels();
  return panel;
}

void PrepareComboFocused(QWidget& panel) {
  panel.findChild<TActiveCombo*>(QStringLiteral("combo"))->setFocus();
}

std::unique_ptr<QWidget> RadioGroups() {
  auto panel = NewPanel(460, 170);
  auto* identifier = new TMRadioGroup(panel.get());
  identifier->setGeometry(10, 10, 431, 15);
  identifier->SetColumns(3);
  identifier->SetItems(
      {QStringLiteral("  CODEXTERN"), QStringLiteral("  CODINTERN"), QStringLiteral("  DENUMIRE")});
  identifier->SetItemIndex(0);
  auto* currency = new TMRadioGroup(panel.get());
  currency->setGeometry(10, 40, 120, 40);
  currency->SetItems({QStringLiteral(" LEI"), QStringLiteral(" VALUTA")});
  currency->SetItemIndex(1);
  auto* five = new TMRadioGroup(panel.get());
  five->setGeometry(150, 40, 250, 51);
  five->SetColumns(2);
  five->SetItems({QStringLiteral(" unu"), QStringLiteral(" doi"), QStringLiteral(" trei"),
                  QStringLiteral(" patru"), QStringLiteral(" cinci")});
  five->SetItemIndex(3);
  five->setObjectName(QStringLiteral("five"));
  auto* disabled = new TMRadioGroup(panel.get());
  disabled->setGeometry(10, 100, 200, 17);
  disabled->SetColumns(2);
  disabled->SetItems({QStringLiteral(" &Activ"), QStringLiteral(" &Inactiv")});
  disabled->SetItemIndex(0);
  disabled->setEnabled(false);
  auto* single = new TMRadioButton(panel.get());
  single->SetCaption(QStringLiteral("Glifa la &dreapta "));
  single->SetAlignment(taLeftJustify);
  single->SetChecked(true);
  single->setGeometry(230, 100, 150, 17);
  auto* accel = new TMRadioButton(panel.get());
  accel->SetCaption(QStringLiteral(" Cu &accelerator"));
  accel->setGeometry(10, 130, 150, 17);
  return panel;
}

void PrepareRadioGroups(QWidget& panel) {
  panel.findChild<TMRadioGroup*>(QStringLiteral("five"))->Button(3)->setFocus();
}

std::unique_ptr<QWidget> ImageList() {
  auto panel = NewPanel(300, 60);
  struct Canvas : QWidget {
    using QWidget::QWidget;
    void paintEvent(QPaintEvent*) override {
      QPainter painter(this);
      painter.fillRect(rect(), QColor(255, 255, 192));
      TMImageList list(16, 16);
      for (int i = 0; i < 6; ++i) {
        QImage image(16, 16, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter p(&image);
        p.setBrush(QColor::fromHsv(i * 60, 255, 200));
        p.setPen(Qt::black);
        p.drawEllipse(1, 1, 13, 13);
        p.end();
        list.AddMasked(image, Qt::white);
      }
      for (int i = 0; i < list.Count(); ++i) list.Draw(painter, 10 + i * 24, 10, i);
    }
  };
  auto* canvas = new Canvas(panel.get());
  canvas->setGeometry(10, 10, 280, 40);
  return panel;
}

std::unique_ptr<QWidget> FmtLabels() {
  auto panel = NewPanel(360, 110);
  const char* captions[] = {"@9Pretul@0 se afla pe coloana", "%Selectare fisier Excel",
                            "&12$2Mare@12 albastru"};
  for (int i = 0; i < 3; ++i) {
    auto* label = new TFmtLabel(panel.get());
    label->move(10, 10 + i * 30);
    label->SetCaption(QString::fromUtf8(captions[i]));
  }
  return panel;
}

// A message dialog exactly as the program builds it, shown without its modal loop.
std::function<std::unique_ptr<QWidget>()> Dialog(const char* text, TDlgKind kind,
                                                 TMsgButtons buttons, TMsgButton defaultButton) {
  return [=]() -> std::unique_ptr<QWidget> {
    return BuildMessageForm(text, std::nullopt, kind, taCenter, buttons, defaultButton, 0);
  };
}

}  // namespace

std::vector<GalleryPanel> GalleryPanels() {
  return {
      {QStringLiteral("mbutton-kinds"), AllMButtons, nullptr},
      {QStringLiteral("mbutton-states"), MButtonStates, PrepareMButtonStates},
      {QStringLiteral("nicebutton-kinds"), AllNiceButtons, nullptr},
      {QStringLiteral("nicebutton-states"), NiceButtonStates, PrepareNiceButtonStates},
      {QStringLiteral("toolbars"), Toolbars, nullptr},
      {QStringLiteral("titlebars"), TitleBars, nullptr},
      {QStringLiteral("titlebar-top"), TopTitleBar, nullptr},
      {QStringLiteral("transimage"), TransImages, nullptr},
      {QStringLiteral("labels"), Labels, PrepareLabels},
      {QStringLiteral("labels-combo-focused"), ComboFocused, PrepareComboFocused},
      {QStringLiteral("radiogroups"), RadioGroups, PrepareRadioGroups},
      {QStringLiteral("imagelist"), ImageList, nullptr},
      {QStringLiteral("fmtlabel"), FmtLabels, nullptr},
      {QStringLiteral("dialog-error"),
       Dialog("Nu ai precizat numarul coloanei in care se afla @9Pretul@0 ! ", dkError,
              MsgButtons({mbtOK}), mbtOK),
       nullptr},
      {QStringLiteral("dialog-information"),
       Dialog(" Au fost preluate  @15%  128@0%  preturi. \r\r Au fost semnalate @15%~ 3@0%~ "
              "linii cu erori ",
              dkInformation, MsgButtons({mbtOK}), mbtOK),
       nullptr},
      {QStringLiteral("dialog-warning"),
       Dialog("Fisierul a fost modificat.\rSalvati modificarile ?", dkWarning,
              MsgButtons({mbtYes, mbtNo, mbtCancel}), mbtYes),
       nullptr},
      {QStringLiteral("dialog-confirmation"),
       Dialog("Stergeti @9toate@0 liniile selectate ?", dkConfirmation,
              MsgButtons({mbtYes, mbtNo, mbtAll, mbtHelp}), mbtNo),
       nullptr},
      {QStringLiteral("dialog-custom"),
       Dialog("Reincercati citirea fisierului ?", dkCustom,
              MsgButtons({mbtAbort, mbtRetry, mbtIgnore}), mbtRetry),
       nullptr},
  };
}
