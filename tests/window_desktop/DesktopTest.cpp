// The main window and its message dialogs on a real desktop (Xvfb and openbox, started by
// main()): window types and ownership, what the window manager may do to them, the right
// press under a dialog, and the contrast of white shadowed numbers as the screen shows them.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

#include "DesktopSession.h"
#include "X11Probe.h"
#include "import/DemoData.h"
#include "import/window/MainImportPret.h"
#include "platform/db/Session.h"
#include "ui/dialogs/MessageDlg.h"
#include "ui/forms/ModalRun.h"

namespace fs = std::filesystem;

namespace {

constexpr int kScreenWidth = 1280, kScreenHeight = 1024;
constexpr int kSettleMs = 400;  // time for the window manager to act on a request

desktop::Window Id(const QWidget* w) {
  return desktop::Window(w->winId());
}

// Clicks with the real pointer (XTEST, seen by the window manager first) at a point of `w`.
void Click(QWidget* w, QPoint local, int button) {
  const QPoint at = w->mapToGlobal(local);
  desktop::Run("xdotool mousemove " + std::to_string(at.x()) + " " + std::to_string(at.y()) +
               " click " + std::to_string(button));
  QTest::qWait(kSettleMs);
}

// The contrast ratio of two colours as the accessibility guidelines define it.
double Contrast(QColor a, QColor b) {
  auto luminance = [](QColor c) {
    auto channel = [](int v) {
      const double s = v / 255.0;
      return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
  };
  const double la = luminance(a), lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor MostCommon(const std::map<QRgb, int>& counts) {
  QRgb best = 0;
  int most = -1;
  for (const auto& [rgb, n] : counts)
    if (n > most) best = rgb, most = n;
  return QColor(best);
}

class Desktop : public ::testing::Test {
 protected:
  void SetUp() override {
    base_ = fs::temp_directory_path() / ("impdesk-" + std::to_string(::getpid()));
    fs::remove_all(base_);
    fs::create_directories(base_ / "home");
    ::setenv("IMPPRET_HOME", (base_ / "home").c_str(), 1);
    ::unsetenv("IMPPRET_ALIASES");
    imp::CreateDemoDataRoot(base_ / "data", fs::path(IMPPRET_TEST_DATA) / "demo");
    std::ofstream(db::AliasConfigPath()) << "[Tarvex]\r\nPATH=" << (base_ / "data").string();
    window_ = std::make_unique<imp::TEMainImportPret>();
    window_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    QTest::qWait(kSettleMs);
  }
  void TearDown() override {
    window_.reset();
    ::unsetenv("IMPPRET_HOME");
    fs::remove_all(base_);
  }
  // Shows a message over the window and runs `script` while it is open; the dialog's answer.
  int WhileMessageOpen(const std::string& text, ui::TDlgKind kind, ui::TMsgButtons buttons,
                       ui::TMsgButton defaultButton, const std::function<void(QWidget*)>& script) {
    QTimer::singleShot(kSettleMs, window_.get(), [&] {
      QWidget* dialog = ui::OpenMessageForm();
      EXPECT_NE(dialog, nullptr);
      if (dialog) script(dialog);
      if (ui::TMessageForm* left = ui::OpenMessageForm()) left->done(-1);  // never hang
    });
    return ui::ShowMessageDlg(text, std::nullopt, kind, ui::taCenter, buttons, defaultButton, 0);
  }
  fs::path base_;
  std::unique_ptr<imp::TEMainImportPret> window_;
};

TEST_F(Desktop, MainWindowIsANormalCentredWindowOfFixedSize) {
  const desktop::Window main = Id(window_.get());
  EXPECT_TRUE(desktop::WindowTypes(main).contains("_NET_WM_WINDOW_TYPE_NORMAL"))
      << desktop::WindowTypes(main).join(' ').toStdString();
  EXPECT_EQ(desktop::TransientFor(main), 0u);
  const QRect centred((kScreenWidth - 683) / 2, (kScreenHeight - 679) / 2, 683, 679);
  EXPECT_EQ(desktop::RootGeometry(main), centred);
  // Where the toolkit places pop-ups and mapped points: where the window really is.
  EXPECT_EQ(window_->mapToGlobal(QPoint(0, 0)), centred.topLeft());
  if (const char* look = std::getenv("IMPPRET_LOOK_DIR"))
    QGuiApplication::primaryScreen()->grabWindow(0).save(QString(look) + "/main_window.png");

  desktop::RequestMaximize(main);
  desktop::RequestResize(main, 683, 25);
  QTest::qWait(kSettleMs);
  EXPECT_EQ(desktop::RootGeometry(main).size(), QSize(683, 679));
  EXPECT_EQ(window_->size(), QSize(683, 679));
  EXPECT_FALSE(desktop::WindowStates(main).contains("_NET_WM_STATE_MAXIMIZED_VERT"));

  std::unique_ptr<QMenu> menu(window_->CreateSystemMenu());
  for (QAction* entry : menu->actions()) EXPECT_NE(entry->text(), "&Dimensioneaza");
}

TEST_F(Desktop, MessageDialogStaysOverItsWindowAndAnswersARightPress) {
  const desktop::Window main = Id(window_.get());
  const int answer = WhileMessageOpen(
      "Sigur stergi randul ?", ui::dkConfirmation, ui::MsgButtons({ui::mbtYes, ui::mbtNo}),
      ui::mbtNo, [&](QWidget* dialog) {
        const desktop::Window d = Id(dialog);
        EXPECT_EQ(desktop::TransientFor(d), main);
        EXPECT_TRUE(desktop::WindowStates(d).contains("_NET_WM_STATE_MODAL"));
        EXPECT_FALSE(window_->isEnabled());
        EXPECT_EQ(dialog->mapToGlobal(QPoint(0, 0)), desktop::RootGeometry(d).topLeft());

        // A left click on the greyed window leaves the dialog in front, with the focus.
        Click(window_.get(), QPoint(12, 600), 1);
        const auto stack = desktop::StackingOrder();
        const auto at = [&](desktop::Window w) { return std::find(stack.begin(), stack.end(), w); };
        EXPECT_TRUE(at(d) != stack.end() && at(main) != stack.end() && at(d) > at(main));
        for (int i = 0; i < 50 && desktop::ActiveWindow() != d; ++i) QTest::qWait(200);
        EXPECT_EQ(desktop::ActiveWindow(), d);

        // The window manager can neither maximise, resize nor minimise it.
        const QSize size = dialog->size();
        desktop::RequestMaximize(d);
        desktop::RequestResize(d, 900, 700);
        desktop::RequestIconify(d);
        QTest::qWait(kSettleMs);
        EXPECT_EQ(desktop::RootGeometry(d).size(), size);
        EXPECT_TRUE(desktop::Viewable(d));
        EXPECT_FALSE(desktop::WindowStates(d).contains("_NET_WM_STATE_HIDDEN"));

        // A right press on the window under it answers with the default button. On a loaded
        // machine the window manager may pass the press on late: wait for the dialog to go.
        Click(window_.get(), QPoint(12, 600), 3);
        for (int i = 0; i < 50 && ui::OpenMessageForm() != nullptr; ++i) QTest::qWait(200);
      });
  EXPECT_EQ(answer, 7);  // "Nu"
  EXPECT_TRUE(window_->isEnabled());
}

TEST_F(Desktop, SummaryNumbersStandOutOfTheFace) {
  double shadowContrast = 0, whiteContrast = 0;
  WhileMessageOpen(
      " Au fost preluate  @15%  150@0%  preturi. \r\r", ui::dkInformation,
      ui::MsgButtons({ui::mbtOK}), ui::mbtOK, [&](QWidget* dialog) {
        auto* label = dialog->findChild<QWidget*>("Message");
        ASSERT_NE(label, nullptr);
        const QPoint at = label->mapToGlobal(QPoint(0, 0));
        const QImage shot = QGuiApplication::primaryScreen()
                                ->grabWindow(0, at.x(), at.y(), label->width(), label->height())
                                .toImage();
        if (const char* look = std::getenv("IMPPRET_LOOK_DIR"))
          QGuiApplication::primaryScreen()
              ->grabWindow(0, dialog->x(), dialog->y(), dialog->frameGeometry().width(),
                           dialog->frameGeometry().height())
              .save(QString(look) + "/summary_dialog.png");
        std::map<QRgb, int> all, shadow;
        int white = 0;
        auto isWhite = [](QColor c) {
          return c.red() >= 250 && c.green() >= 250 && c.blue() >= 250;
        };
        for (int y = 0; y + 1 < shot.height(); ++y)
          for (int x = 0; x + 1 < shot.width(); ++x) {
            const QColor c = shot.pixelColor(x, y);
            ++all[c.rgb()];
            if (!isWhite(c)) continue;
            ++white;
            const QColor below = shot.pixelColor(x + 1, y + 1);
            if (!isWhite(below)) ++shadow[below.rgb()];
          }
        ASSERT_GT(white, 20) << "no white number painted";
        const QColor face = MostCommon(all), shade = MostCommon(shadow);
        shadowContrast = Contrast(shade, face);
        whiteContrast = Contrast(Qt::white, face);
        std::printf("face %s, shadow %s: shadow/face %.2f, white/face %.2f\n",
                    qPrintable(face.name()), qPrintable(shade.name()), shadowContrast,
                    whiteContrast);
      });
  // The classic face (192 grey) under a white number shadowed in 128 grey.
  EXPECT_GE(shadowContrast, 2.0);
  EXPECT_GE(whiteContrast, 1.5);
}

}  // namespace

int main(int argc, char** argv) {
  desktop::Session session(kScreenWidth, kScreenHeight);
  if (!session.Ok()) {
    std::fprintf(stderr, "no desktop: %s\n", session.Error().c_str());
    return 1;
  }
  ::setenv("QT_QPA_PLATFORM", "xcb", 1);
  QApplication app(argc, argv);
  ui::SetMessageDlgRunner([](ui::TMessageForm& form) { return ui::RunModalOverForms(form); });
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
