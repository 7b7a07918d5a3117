#include "ui/dialogs/MessageDlg.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include "ui/buttons/NiceButton.h"
#include "ui/store/Fonts.h"
#include "ui/store/ImageStore.h"
#include "ui/store/SystemColors.h"
#include "ui/titlebar/TransImage.h"

namespace ui {

int AutoCloseMsg = 0;
int AutoDefaultMsg = 0;

namespace {

QPointer<TMessageForm> g_activeMsgForm;
MessageDlgRunner g_runner;
MessageDlgInterceptor g_interceptor;

constexpr int kButtonWidth = 100;
constexpr int kButtonHeight = 28;
constexpr int kTimerStepMs = 300;
// The shortest interval of a window timer; a zero interval would turn the timer into a busy
// loop here.
constexpr int kShortestTimerMs = 10;

struct SlotInfo {
  TMButtonKind Kind;
};
constexpr SlotInfo kSlots[] = {{mkYes},    {mkNo},  {mkOK}, {mkCancel}, {mkAbort}, {mkRetry},
                               {mkIgnore}, {mkAll}, {mkNo}, {mkAll},    {mkHelp}};
constexpr int kSlotCount = int(std::size(kSlots));

const char* KindPicture(TDlgKind kind) {
  switch (kind) {
    case dkWarning: return "Warning";
    case dkError: return "Error";
    case dkInformation: return "Information";
    case dkConfirmation: return "Confirmation";
    default: return nullptr;
  }
}

// The separator: one engraved line along its top edge.
class TopLine : public QFrame {
 public:
  using QFrame::QFrame;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.setPen(palette().color(QPalette::Dark));
    p.drawLine(0, 0, width() - 1, 0);
    p.setPen(palette().color(QPalette::Light));
    p.drawLine(0, 1, width() - 1, 1);
  }
};

QFrame* LoweredPanel(QWidget* parent) {
  auto* panel = new QFrame(parent);
  panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  panel->setLineWidth(1);
  return panel;
}

// Timer 1 of the main window: shared by the auto-close and auto-default modes, acting on
// ActiveMsgForm on its second tick.
enum class TimerMode { AutoClose, AutoDefault };
struct MsgTimer {
  QPointer<QTimer> timer;
  TimerMode mode = TimerMode::AutoClose;
};
MsgTimer& Timer1() {
  static MsgTimer t;
  if (!t.timer) {
    t.timer = new QTimer(qApp);
    QObject::connect(t.timer, &QTimer::timeout, [] {
      TMessageForm* form = g_activeMsgForm;
      if (!form) return;
      if (form->Tag != 0) {
        --form->Tag;
        return;
      }
      Timer1().timer->stop();
      if (Timer1().mode == TimerMode::AutoClose) {
        // A modal form closed this way ends with the cancel result.
        form->done(mrCancel);
        return;
      }
      for (QPushButton* b : form->findChildren<QPushButton*>())
        if (b->isDefault() && b->isVisible() && b->isEnabled()) {
          b->click();
          return;
        }
    });
  }
  return t;
}

void StartTimer1(TMessageForm& form, TimerMode mode) {
  form.Tag = 1;
  g_activeMsgForm = &form;
  MsgTimer& t = Timer1();
  t.mode = mode;
  const int interval = AutoCloseMsg * kTimerStepMs;
  t.timer->start(interval > 0 ? interval : kShortestTimerMs);
}

void StopTimer1() {
  MsgTimer& t = Timer1();
  if (t.timer) t.timer->stop();
}

// The cursor is the arrow while a dialog is up, whatever the program showed before.
struct ArrowCursor {
  ArrowCursor() { QGuiApplication::setOverrideCursor(Qt::ArrowCursor); }
  ~ArrowCursor() { QGuiApplication::restoreOverrideCursor(); }
};

}  // namespace

QString DlgKindCaption(TDlgKind kind) {
  switch (kind) {
    case dkWarning: return QStringLiteral("Atentie !");
    case dkError: return QStringLiteral("EROARE !");
    case dkInformation: return QStringLiteral("Informatie...");
    case dkConfirmation: return QStringLiteral("Confirmare...");
    default: return QString();
  }
}

TMessageForm* OpenMessageForm() {
  if (auto* active = qobject_cast<TMessageForm*>(QApplication::activeWindow());
      active && active->isVisible())
    return active;
  TMessageForm* found = nullptr;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* form = qobject_cast<TMessageForm*>(w); form && form->isVisible()) found = form;
  return found;
}

TMessageForm* ActiveMsgForm() {
  return g_activeMsgForm;
}

TMessageForm::TMessageForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint) {
  setModal(true);
  InstallClassicPalette();
  setFont(DialogFont());
}

void TMessageForm::done(int result) {
  modalResult_ = result;
  QDialog::done(result);
}

void TMessageForm::ClickDefaultButtons() {
  for (QPushButton* b : findChildren<QPushButton*>())
    if (b->isDefault() && b->isVisible() && b->isEnabled()) b->click();
}

void TMessageForm::HandleMousePress(QObject* source, Qt::MouseButton button) {
  if (button == Qt::RightButton) {
    ClickDefaultButtons();
    return;
  }
  if (source != Image) return;
  ++ClickCount;
  if (ClickCount < 3) return;
  const auto buttons = findChildren<QPushButton*>();
  if (buttons.size() < 2) {
    AutoCloseMsg = AutoCloseMsg ? 0 : 1;
    SetModalResult(mrIgnore);
  } else {
    AutoDefaultMsg = AutoDefaultMsg ? 0 : 1;
    for (QPushButton* b : buttons)
      if (b->isDefault()) {
        b->click();
        break;
      }
  }
}

bool TMessageForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonPress &&
      (watched == Panel || watched == Message || watched == Image || watched == ButtonPanel)) {
    HandleMousePress(watched, static_cast<QMouseEvent*>(event)->button());
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void TMessageForm::mousePressEvent(QMouseEvent* event) {
  HandleMousePress(this, event->button());
}

// A message cannot be minimised or maximised: a window manager that does so anyway (some
// ignore the hints) finds the dialog, and the window it belongs to, back as they were.
void TMessageForm::changeEvent(QEvent* event) {
  QDialog::changeEvent(event);
  if (event->type() != QEvent::WindowStateChange || !isVisible()) return;
  if (!(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))) return;
  QTimer::singleShot(0, this, [this] {
    if (QWindow* handle = windowHandle(); handle && handle->transientParent())
      if (handle->transientParent()->windowState() == Qt::WindowMinimized)
        handle->transientParent()->showNormal();
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w != this && w->isVisible() && w->isMinimized() && !w->isEnabled()) w->showNormal();
    setWindowState(Qt::WindowNoState);
    show();
    raise();
    activateWindow();
  });
}

void TMessageForm::contextMenuEvent(QContextMenuEvent* event) {
  event->accept();
}

void TMessageForm::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    // Escape presses the cancel button; without one it does nothing.
    if (CancelButton && CancelButton->isVisible() && CancelButton->isEnabled())
      CancelButton->click();
    event->accept();
    return;
  }
  if (event->key() == Qt::Key_Space && event->modifiers() == Qt::AltModifier) {
    ShowSystemMenu();
    event->accept();
    return;
  }
  if (event->key() == Qt::Key_F4 && (event->modifiers() & Qt::AltModifier)) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

// The dialog cannot be closed from its title bar or with Alt+F4: only its buttons, the timers
// and the icon presses end it.
void TMessageForm::closeEvent(QCloseEvent* event) {
  event->ignore();
}

void TMessageForm::ShowSystemMenu() {
  QMenu menu(this);
  QAction* move = menu.addAction(QStringLiteral("&Muta"));
  menu.addSeparator();
  QAction* close = menu.addAction(QStringLiteral("&Inchide    ALT+F4"));
  close->setEnabled(false);
  if (menu.exec(mapToGlobal(QPoint(0, 0))) == move && windowHandle())
    windowHandle()->startSystemMove();
}

std::unique_ptr<TMessageForm> BuildMessageForm(const std::string& Text,
                                               const std::optional<std::string>& Caption,
                                               TDlgKind Kind, TAlignment Alignment,
                                               TMsgButtons Buttons, TMsgButton DefaultButton,
                                               std::int32_t HelpContext) {
  const QString text = QString::fromStdString(Text);
  auto form = std::make_unique<TMessageForm>();

  auto* panel = LoweredPanel(form.get());
  panel->setObjectName(QStringLiteral("Panel"));
  panel->move(16, 16);
  form->Panel = panel;

  auto* bevel = new TopLine(form.get());
  bevel->setObjectName(QStringLiteral("Bevel"));
  bevel->setGeometry(0, 0, 10, 5);
  form->Bevel = bevel;

  // The text block is measured on the raw text in bold, wrapped at half the screen width.
  QFont bold = form->font();
  bold.setBold(true);
  const QScreen* screen = QGuiApplication::primaryScreen();
  const QSize screenSize = screen ? screen->geometry().size() : QSize(1024, 768);
  QString raw = text;
  raw.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  raw.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  const QRect extent =
      QFontMetrics(bold).boundingRect(QRect(0, 0, std::max(screenSize.width() / 2, 1), 1 << 24),
                                      Qt::AlignLeft | Qt::TextWordWrap, raw);
  int tw = extent.width();
  int th = extent.height();

  auto* label = new TFmtLabel(panel);
  label->setObjectName(QStringLiteral("Message"));
  label->SetAlignment(Alignment);
  label->SetTransparent(true);
  label->SetWordWrap(true);
  label->SetCaption(text);
  // The label does not wrap: it breaks lines only where the text does. When the painted
  // lines need more room than the raw text wrapped (a long line without breaks), the block
  // takes that room, so nothing is cut off at the panel's edge. Left-justified lines need only
  // the widest line; right-justified ones end at the edge of the label grown to the sum of
  // the line widths, so they need all of it.
  {
    QFont lf = label->font();
    lf.setBold(true);
    label->setFont(lf);
    const QSize painted =
        label->MarkupExtent(Alignment == taRightJustify ? taRightJustify : taCenter);
    tw = std::max(tw, painted.width());
    th = std::max(th, painted.height());
  }
  label->setGeometry(0, 0, tw, th);
  {
    QFont lf = label->font();
    lf.setBold(true);
    label->SetFont(lf);
  }
  form->Message = label;

  auto* image = new TTransImage(panel);
  image->setObjectName(QStringLiteral("Image"));
  const char* picture = KindPicture(Kind);
  const QImage icon = picture ? DlgImageStore().Picture(QString::fromLatin1(picture)) : QImage();
  image->SetBitmap(icon);
  const int iw = icon.isNull() ? 0 : icon.width();
  const int ih = icon.isNull() ? 0 : icon.height();
  image->setGeometry(10, 0, iw, ih);
  form->Image = image;

  const int a = tw + 32 + iw + 10;
  const int b = std::max(ih + 20, th + 32);

  auto* buttonPanel = LoweredPanel(form.get());
  form->ButtonPanel = buttonPanel;
  TNiceButton* defaultButton = nullptr;
  QPushButton* slotButton[kSlotCount] = {};
  for (int slot = 0; slot < kSlotCount; ++slot) {
    if (!(Buttons & (1u << slot))) continue;
    auto* button = new TNiceButton(buttonPanel);
    button->SetKind(kSlots[slot].Kind);
    button->resize(kButtonWidth, kButtonHeight);
    const bool isDefault = slot == DefaultButton;
    button->setDefault(isDefault);
    if (isDefault) defaultButton = button;
    slotButton[slot] = button;
    form->Buttons.push_back(button);
  }
  const int n = int(form->Buttons.size());

  // Escape: Cancel wins over No; OK is the cancel button of a dialog without Cancel.
  auto* cancelBtn = static_cast<TNiceButton*>(slotButton[mbtCancel]);
  auto* okBtn = static_cast<TNiceButton*>(slotButton[mbtOK]);
  auto* noBtn = static_cast<TNiceButton*>(slotButton[mbtNo]);
  if (noBtn && cancelBtn) {
    noBtn->SetCancel(false);
    cancelBtn->SetCancel(true);
  }
  if (okBtn && !cancelBtn) okBtn->SetCancel(true);
  for (QPushButton* btn : form->Buttons)
    if (static_cast<TNiceButton*>(btn)->Cancel()) form->CancelButton = btn;

  buttonPanel->resize(kButtonWidth * n + 32, 43);
  panel->resize(std::max({150, a, kButtonWidth * n + 32}), std::max(55, b));
  const int clientW = panel->width() + 32;
  const int clientH = panel->height() + 90;
  form->resize(clientW, clientH);
  bevel->setGeometry(0, panel->height() + 32, clientW, 5);
  buttonPanel->move((clientW - buttonPanel->width()) / 2, bevel->y() + 8);

  if (ih > th) {
    image->move(image->x(), 10);
    label->move(label->x(), 10 + ih / 2 - th / 2);
  } else {
    label->move(label->x(), 16);
    image->move(image->x(), 16 + th / 2 - ih / 2);
  }
  label->move(10 + iw + (panel->width() - 10 - iw - label->width()) / 2, label->y());

  int left = 16;
  for (QPushButton* btn : form->Buttons) {
    btn->move(left, 8);
    left += btn->width();
  }

  form->setWindowTitle(Caption ? QString::fromStdString(*Caption) : DlgKindCaption(Kind));
  form->move(screenSize.width() / 2 - form->width() / 2,
             screenSize.height() / 2 - form->height() / 2);
  form->HelpContext = HelpContext;
  // The dialog keeps the size its contents gave it: no resizing, no maximising.
  form->setFixedSize(form->size());

  if (defaultButton) defaultButton->setFocus();
  for (QObject* o : {static_cast<QObject*>(panel), static_cast<QObject*>(label),
                     static_cast<QObject*>(image), static_cast<QObject*>(buttonPanel)})
    o->installEventFilter(form.get());
  return form;
}

std::uint16_t ShowMessageDlg(const std::string& Text, const std::optional<std::string>& Caption,
                             TDlgKind Kind, TAlignment Alignment, TMsgButtons Buttons,
                             TMsgButton DefaultButton, std::int32_t HelpContext) {
  if (g_interceptor) {
    try {
      return g_interceptor(
          MessageDlgRequest{Text, Caption, Kind, Alignment, Buttons, DefaultButton, HelpContext});
    } catch (...) {
      return 0;
    }
  }
  // Widgets need the application object; without one there is no dialog to show.
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return 0;
  int result = 0;
  ArrowCursor arrow;
  std::unique_ptr<TMessageForm> form;
  try {
    form = BuildMessageForm(Text, Caption, Kind, Alignment, Buttons, DefaultButton, HelpContext);
    const int n = int(form->Buttons.size());
    if (AutoCloseMsg != 0 && n == 1)
      StartTimer1(*form, TimerMode::AutoClose);
    else if (AutoDefaultMsg != 0 && n >= 1)
      StartTimer1(*form, TimerMode::AutoDefault);
    result = g_runner ? g_runner(*form) : form->exec();
  } catch (...) {
    result = 0;
  }
  // A timer left running has nothing to act on once the dialog is gone.
  if (g_activeMsgForm == form.get()) StopTimer1();
  form.reset();
  g_activeMsgForm = nullptr;
  return std::uint16_t(result);
}

bool PostEnterToActiveMessageDlg() {
  auto* dialog = qobject_cast<TMessageForm*>(QApplication::activeModalWidget());
  if (!dialog) return false;
  QWidget* target = dialog->focusWidget() ? dialog->focusWidget() : dialog;
  QCoreApplication::postEvent(target,
                              new QKeyEvent(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier));
  QCoreApplication::postEvent(target,
                              new QKeyEvent(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier));
  return true;
}

void SetMessageDlgRunner(MessageDlgRunner runner) {
  g_runner = std::move(runner);
}
void SetMessageDlgInterceptor(MessageDlgInterceptor interceptor) {
  g_interceptor = std::move(interceptor);
}

}  // namespace ui
