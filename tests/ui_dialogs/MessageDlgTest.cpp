// ShowMessageDlg: layout arithmetic, buttons and their roles, the keyboard, the icon presses
// and the two automatic modes, and failures that end in 0.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QFrame>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include "LookDir.h"
#include "ui/buttons/NiceButton.h"
#include "ui/dialogs/MessageDlg.h"

namespace ui {
namespace {

// Runs ShowMessageDlg with `act` in place of the modal loop; the form is shown first.
std::uint16_t RunDlg(const std::string& text, TDlgKind kind, TMsgButtons buttons, TMsgButton def,
                     const std::function<void(TMessageForm&)>& act, TAlignment align = taCenter) {
  SetMessageDlgRunner([&](TMessageForm& form) {
    form.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&form));
    act(form);
    return form.ModalResult();
  });
  const auto r = ShowMessageDlg(text, std::nullopt, kind, align, buttons, def, 0);
  SetMessageDlgRunner({});
  return r;
}

void Press(QWidget* w, Qt::MouseButton b = Qt::LeftButton) {
  QTest::mousePress(w, b, {}, QPoint(5, 5));
  QTest::mouseRelease(w, b, {}, QPoint(5, 5));
}

struct ModesReset {
  ModesReset() { AutoCloseMsg = AutoDefaultMsg = 0; }
  ~ModesReset() { AutoCloseMsg = AutoDefaultMsg = 0; }
};

TEST(MessageDlgLayout, OneOkButtonCentredOnIconAndScreen) {
  auto form = BuildMessageForm("Lipseste coloana!", std::nullopt, dkError, taCenter,
                               MsgButtons({mbtOK}), mbtOK, 0);
  EXPECT_EQ(form->windowTitle(), "EROARE !");
  const int tw = form->Message->width(), th = form->Message->height();
  ASSERT_LT(th, 64);
  EXPECT_EQ(form->Image->size(), QSize(42, 64));
  EXPECT_EQ(form->Image->pos(), QPoint(10, 10));
  EXPECT_EQ(form->Message->y(), 10 + 32 - th / 2);
  const int panelW = std::max({150, tw + 32 + 42 + 10, 132});
  const int panelH = std::max({55, 64 + 20, th + 32});
  EXPECT_EQ(form->Panel->geometry(), QRect(16, 16, panelW, panelH));
  EXPECT_EQ(form->size(), QSize(panelW + 32, panelH + 90));
  EXPECT_EQ(form->Bevel->geometry(), QRect(0, panelH + 32, panelW + 32, 5));
  EXPECT_EQ(form->ButtonPanel->geometry(), QRect((panelW + 32 - 132) / 2, panelH + 40, 132, 43));
  ASSERT_EQ(form->Buttons.size(), 1u);
  EXPECT_EQ(form->Buttons[0]->geometry(), QRect(16, 8, 100, 28));
  EXPECT_EQ(form->Buttons[0]->text(), "O&K");
  EXPECT_TRUE(form->Buttons[0]->isDefault());
  EXPECT_EQ(form->CancelButton, form->Buttons[0]);  // OK without Cancel answers Escape
  // The label is centred in the room right of the icon.
  EXPECT_EQ(form->Message->x(), 10 + 42 + (panelW - 10 - 42 - tw) / 2);
  const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
  EXPECT_EQ(form->pos(), QPoint(screen.width() / 2 - form->width() / 2,
                                screen.height() / 2 - form->height() / 2));
  form->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  SaveForLook(form->grab().toImage(), "dialog_error_ok");
}

TEST(MessageDlgLayout, SeveralButtonsInSlotOrderAndTallText) {
  const std::string tall = "Unu\rDoi\rTrei\rPatru\rCinci\rSase\rSapte";
  auto form = BuildMessageForm(tall, std::string("Titlu propriu"), dkWarning, taLeftJustify,
                               MsgButtons({mbtCancel, mbtYes, mbtNo, mbtHelp}), mbtYes, 7);
  EXPECT_EQ(form->windowTitle(), "Titlu propriu");
  EXPECT_EQ(form->HelpContext, 7);
  ASSERT_EQ(form->Buttons.size(), 4u);
  const char* captions[] = {"&Da", "&Nu", "&Renunt", "S&faturi"};
  const int results[] = {6, 7, 2, 0};
  for (int i = 0; i < 4; ++i) {
    auto* b = static_cast<TNiceButton*>(form->Buttons[i]);
    EXPECT_EQ(b->text(), captions[i]);
    EXPECT_EQ(b->ModalResult(), results[i]);
    EXPECT_EQ(b->geometry(), QRect(16 + 100 * i, 8, 100, 28));
    EXPECT_EQ(b->isDefault(), i == 0);
  }
  EXPECT_EQ(form->CancelButton, form->Buttons[2]);  // Cancel, not No
  EXPECT_FALSE(static_cast<TNiceButton*>(form->Buttons[1])->Cancel());
  EXPECT_EQ(form->ButtonPanel->width(), 432);
  const int th = form->Message->height();
  ASSERT_GT(th, 64);
  EXPECT_EQ(form->Message->y(), 16);
  EXPECT_EQ(form->Image->y(), 16 + th / 2 - 32);
  EXPECT_GE(form->Panel->width(), 432);
  EXPECT_EQ(form->Panel->height(), th + 32);
}

TEST(MessageDlgLayout, CustomKindHasNoIconAndNoCaption) {
  auto form = BuildMessageForm("x", std::nullopt, dkCustom, taCenter, 0, mbtOK, 0);
  EXPECT_EQ(form->windowTitle(), "");
  EXPECT_EQ(form->Image->size(), QSize(0, 0));
  EXPECT_TRUE(form->Buttons.empty());
  EXPECT_EQ(form->Panel->size(), QSize(150, 55));
  // Bits above the eleven slots are ignored.
  auto high = BuildMessageForm("x", std::nullopt, dkCustom, taCenter, 0xF800, mbtOK, 0);
  EXPECT_TRUE(high->Buttons.empty());
}

TEST(MessageDlgLayout, LongUnbrokenLineIsNotCutOff) {
  const std::string text(400, 'W');
  auto form =
      BuildMessageForm(text, std::nullopt, dkInformation, taCenter, MsgButtons({mbtOK}), mbtOK, 0);
  form->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  QCoreApplication::processEvents();
  const QRect label = form->Message->geometry();
  EXPECT_LE(label.right(), form->Panel->width());
}

TEST(MessageDlgLayout, RightJustifiedLinesStayInsideThePanel) {
  auto form = BuildMessageForm("Primul rand destul de lung\rAl doilea rand", std::nullopt,
                               dkWarning, taRightJustify, MsgButtons({mbtOK}), mbtOK, 0);
  form->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  QCoreApplication::processEvents();
  form->Message->grab();
  QCoreApplication::processEvents();
  EXPECT_LE(form->Message->geometry().right(), form->Panel->width());
  SaveForLook(form->grab().toImage(), "dialog_right_justified");

  // Left-justified lines need only the widest line's room.
  const std::string line(40, 'M');
  auto left = BuildMessageForm(line + "\r" + line, std::nullopt, dkWarning, taLeftJustify,
                               MsgButtons({mbtOK}), mbtOK, 0);
  QFont bold = left->font();
  bold.setBold(true);
  const int one = QFontMetrics(bold).horizontalAdvance(QString::fromStdString(line));
  EXPECT_LT(left->Panel->width(), one + 84 + one / 4);
}

TEST(MessageDlgKeys, ConfirmationEnterSaysNoEscapeDoesNothingYesSaysYes) {
  ModesReset reset;
  const std::string text = "Sigur stergi " + std::string("Articol 1") + " ?";
  EXPECT_EQ(RunDlg(text, dkConfirmation, MsgButtons({mbtYes, mbtNo}), mbtNo,
                   [](TMessageForm& f) {
                     EXPECT_EQ(f.windowTitle(), "Confirmare...");
                     EXPECT_EQ(f.CancelButton, nullptr);
                     QTest::keyClick(&f, Qt::Key_Escape);
                     EXPECT_TRUE(f.isVisible());
                     EXPECT_EQ(f.ModalResult(), 0);
                     SaveForLook(f.grab().toImage(), "dialog_confirmation");
                     QTest::keyClick(&f, Qt::Key_Return);
                   }),
            7);
  EXPECT_EQ(RunDlg(text, dkConfirmation, MsgButtons({mbtYes, mbtNo}), mbtNo,
                   [](TMessageForm& f) { f.Buttons[0]->click(); }),
            6);
  EXPECT_EQ(ActiveMsgForm(), nullptr);
}

TEST(MessageDlgKeys, EscapePressesTheCancelButton) {
  ModesReset reset;
  EXPECT_EQ(RunDlg("Abandon?", dkWarning, MsgButtons({mbtNo, mbtCancel}), mbtNo,
                   [](TMessageForm& f) { QTest::keyClick(&f, Qt::Key_Escape); }),
            2);
  EXPECT_EQ(RunDlg("Gata.", dkInformation, MsgButtons({mbtOK, mbtRetry}), mbtRetry,
                   [](TMessageForm& f) { QTest::keyClick(&f, Qt::Key_Escape); }),
            1);
}

TEST(MessageDlgMouse, RightPressAnywherePressesTheDefault) {
  ModesReset reset;
  EXPECT_EQ(RunDlg("Text", dkConfirmation, MsgButtons({mbtYes, mbtNo}), mbtYes,
                   [](TMessageForm& f) { Press(f.Message, Qt::RightButton); }),
            6);
  EXPECT_EQ(RunDlg("Text", dkConfirmation, MsgButtons({mbtYes, mbtNo}), mbtNo,
                   [](TMessageForm& f) { Press(f.Panel, Qt::RightButton); }),
            7);
  // Another form of the program hands a right press on itself to the open dialog.
  EXPECT_FALSE(PostEnterToActiveMessageDlg());
  EXPECT_EQ(RunDlg("Text", dkConfirmation, MsgButtons({mbtYes, mbtNo}), mbtNo,
                   [](TMessageForm& f) {
                     EXPECT_EQ(QApplication::activeModalWidget(), &f);
                     EXPECT_TRUE(PostEnterToActiveMessageDlg());
                     EXPECT_TRUE(QTest::qWaitFor([&] { return f.ModalResult() != 0; }, 1000));
                   }),
            7);
  // The title bar's close request is refused.
  EXPECT_EQ(RunDlg("Text", dkInformation, MsgButtons({mbtOK}), mbtOK,
                   [](TMessageForm& f) {
                     f.close();
                     EXPECT_TRUE(f.isVisible());
                     f.Buttons[0]->click();
                   }),
            1);
}

TEST(MessageDlgModes, ThreeIconPressesSwitchAutoCloseOn) {
  ModesReset reset;
  EXPECT_EQ(RunDlg("Preluate 12 preturi.", dkInformation, MsgButtons({mbtOK}), mbtOK,
                   [](TMessageForm& f) {
                     SaveForLook(f.grab().toImage(), "dialog_information");
                     Press(f.Image);
                     Press(f.Image);
                     EXPECT_EQ(f.ModalResult(), 0);
                     EXPECT_EQ(f.ClickCount, 2);
                     Press(f.Message);  // presses elsewhere do not count
                     EXPECT_EQ(f.ClickCount, 2);
                     Press(f.Image);
                   }),
            5);
  EXPECT_EQ(AutoCloseMsg, 1);

  // The next single-button message closes itself after two 300 ms ticks, with result 2.
  QElapsedTimer clock;
  clock.start();
  EXPECT_EQ(RunDlg("Se inchide singur", dkWarning, MsgButtons({mbtOK}), mbtOK,
                   [](TMessageForm& f) {
                     EXPECT_EQ(ActiveMsgForm(), &f);
                     EXPECT_EQ(f.Tag, 1);
                     EXPECT_TRUE(QTest::qWaitFor([&] { return f.ModalResult() != 0; }, 3000));
                   }),
            2);
  EXPECT_GE(clock.elapsed(), 550);
  EXPECT_LT(clock.elapsed(), 2500);
  // Two buttons: auto-close does not apply.
  EXPECT_EQ(RunDlg("Doua butoane", dkConfirmation, MsgButtons({mbtYes, mbtNo}), mbtNo,
                   [](TMessageForm& f) {
                     QTest::qWait(900);
                     EXPECT_EQ(f.ModalResult(), 0);
                     f.Buttons[0]->click();
                   }),
            6);
}

TEST(MessageDlgModes, ThreeIconPressesSwitchAutoDefaultOn) {
  ModesReset reset;
  EXPECT_EQ(RunDlg("Sigur?", dkConfirmation, MsgButtons({mbtYes, mbtNo}), mbtNo,
                   [](TMessageForm& f) {
                     Press(f.Image);
                     Press(f.Image);
                     Press(f.Image);
                   }),
            7);
  EXPECT_EQ(AutoDefaultMsg, 1);
  QElapsedTimer clock;
  clock.start();
  EXPECT_EQ(RunDlg("Sigur?", dkConfirmation, MsgButtons({mbtYes, mbtNo}), mbtYes,
                   [](TMessageForm& f) {
                     EXPECT_TRUE(QTest::qWaitFor([&] { return f.ModalResult() != 0; }, 2000));
                   }),
            6);
  EXPECT_LT(clock.elapsed(), 1000);
}

TEST(MessageDlgFailure, FailuresEndInZeroAndRestoreTheCursor) {
  ModesReset reset;
  SetMessageDlgRunner([](TMessageForm&) -> int { throw std::runtime_error("boom"); });
  EXPECT_EQ(ShowMessageDlg("x", std::nullopt, dkError, taCenter, MsgButtons({mbtOK}), mbtOK, 0), 0);
  SetMessageDlgRunner({});
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
  EXPECT_EQ(ActiveMsgForm(), nullptr);

  // The interceptor replaces the whole operation.
  std::string seen;
  SetMessageDlgInterceptor([&](const MessageDlgRequest& r) -> std::uint16_t {
    seen = r.Text;
    return 6;
  });
  EXPECT_EQ(ShowMessageDlg("abc", std::nullopt, dkError, taCenter, 0, mbtOK, 0), 6);
  EXPECT_EQ(seen, "abc");
  SetMessageDlgInterceptor(
      [](const MessageDlgRequest&) -> std::uint16_t { throw std::runtime_error("no"); });
  EXPECT_EQ(ShowMessageDlg("abc", std::nullopt, dkError, taCenter, 0, mbtOK, 0), 0);
  SetMessageDlgInterceptor({});
}

TEST(MessageDlgLook, EveryKindForTheEye) {
  const struct {
    TDlgKind kind;
    const char* name;
    const char* text;
  } kinds[] = {
      {dkWarning, "dialog_warning", "@9Atentie:@0 fisierul este deschis\rde alt program."},
      {dkError, "dialog_error", " Nu pot accesa unitatea &12@15% /mnt/stick "},
      {dkInformation, "dialog_report",
       " Au fost preluate  @15%  1234@0%  preturi. \r\r Au fost semnalate @9~ 3 @0~ linii cu "
       "erori "},
      {dkConfirmation, "dialog_delete", "Sigur stergi Articol 17 ?"},
  };
  for (const auto& k : kinds) {
    auto form = BuildMessageForm(
        k.text, std::nullopt, k.kind, taCenter,
        k.kind == dkConfirmation ? MsgButtons({mbtYes, mbtNo}) : MsgButtons({mbtOK}),
        k.kind == dkConfirmation ? mbtNo : mbtOK, 0);
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    QCoreApplication::processEvents();
    const QImage shot = form->grab().toImage();
    // The icon's top-left corner shows the panel, not the picture's background colour.
    const QPoint corner = form->Image->mapTo(form.get(), QPoint(0, 0));
    EXPECT_NE(shot.pixel(corner), qRgb(240, 240, 240) + 0u) << k.name;
    SaveForLook(shot, k.name);
  }
}

}  // namespace
}  // namespace ui
