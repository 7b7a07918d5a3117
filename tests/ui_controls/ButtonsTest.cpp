// Push buttons with kinds: per-kind defaults, pinned values, modal results, the forced-down
// flash, hot tracking and the click-through area of the skinned button, painted accelerators.
#include <gtest/gtest.h>

#include <QDialog>
#include <QTimer>
#include <set>

#include "TestWindow.h"
#include "ui/buttons/MButton.h"
#include "ui/buttons/NiceButton.h"
#include "ui/store/ImageStore.h"

using namespace ui;

TEST(ButtonKinds, TableMatchesTheKindsAndEveryGlyphExistsInTheStore) {
  EXPECT_STREQ(KindInfo(mkOK).Caption, "O&K");
  EXPECT_EQ(KindInfo(mkOK).ModalResult, 1);
  EXPECT_EQ(KindInfo(mkOK).Width, 70);
  EXPECT_STREQ(KindInfo(mkClose).Caption, "I&esire");
  EXPECT_EQ(KindInfo(mkClose).ModalResult, 2);
  EXPECT_EQ(KindInfo(mkAll).ModalResult, 8);
  EXPECT_STREQ(KindInfo(mkAll).MButtonGlyph, "Image1");
  EXPECT_STREQ(KindInfo(mkAll).NiceGlyph, "Avansat");
  EXPECT_EQ(KindInfo(mkIgnore).MButtonGlyph, nullptr);
  EXPECT_STREQ(KindInfo(mkTransf).MButtonGlyph, "BSediu");
  EXPECT_EQ(KindInfo(mknLast).Width, 45);
  EXPECT_EQ(KindInfo(mkPlus).Width, 42);
  EXPECT_EQ(KindInfo(99).Width, 90);  // out of range reads as mkCustom

  int withResult = 0;
  for (int kind = 0; kind < ButtonKindCount; ++kind) {
    const ButtonKindInfo& info = KindInfo(kind);
    if (info.ModalResult != 0) ++withResult;
    for (const char* name : {info.MButtonGlyph, info.NiceGlyph}) {
      if (!name) continue;
      const QImage& glyph = DlgImageStore().Picture(QString::fromLatin1(name));
      EXPECT_FALSE(glyph.isNull()) << name;
      // Three equal cells: normal, disabled, pressed or hot.
      EXPECT_EQ(glyph.width() % 3, 0) << name;
    }
  }
  EXPECT_EQ(withResult, 9);  // OK, Cancel, Yes, No, Close, Abort, Retry, Ignore, All
}

TEST(MButton, KindGivesCaptionAndModalResultUntilTheyArePinned) {
  TMButton fresh;
  EXPECT_EQ(fresh.Kind(), mkCustom);
  EXPECT_EQ(fresh.Caption(), QString());
  EXPECT_EQ(fresh.size(), QSize(90, 40));

  TMButton placed;
  placed.SetKind(mkOK);
  EXPECT_EQ(placed.Caption(), QStringLiteral("O&K"));
  EXPECT_EQ(placed.ModalResult(), 1);
  EXPECT_EQ(placed.width(), 90);  // the kind never resizes a placed button

  TMButton typed;
  typed.SetCaption(QStringLiteral("&Start import"));
  typed.SetKind(mkOK);
  EXPECT_EQ(typed.Caption(), QStringLiteral("&Start import"));
  EXPECT_EQ(typed.ModalResult(), 1);

  TMButton pinned;
  pinned.SetModalResult(0);
  pinned.SetKind(mkCancel);
  EXPECT_EQ(pinned.ModalResult(), 0);
  EXPECT_EQ(pinned.Caption(), QStringLiteral("&Renunt"));
  pinned.SetKind(mkYes);
  EXPECT_EQ(pinned.ModalResult(), 0);
  EXPECT_EQ(pinned.Caption(), QStringLiteral("&Renunt"));  // not empty any more

  for (TMButtonKind kind : {mkFirst, mkPrev, mkNext, mkLast}) {
    TMButton navigation;
    navigation.SetKind(kind);
    EXPECT_FALSE(navigation.CaptionVisible()) << int(kind);
  }
  TMButton save;
  save.SetKind(mkSave);
  EXPECT_TRUE(save.CaptionVisible());
}

TEST(NiceButton, UnpinnedCaptionFollowsEveryKindChange) {
  TNiceButton button;
  EXPECT_EQ(button.size(), QSize(100, 28));
  button.SetKind(mkClose);
  EXPECT_EQ(button.Caption(), QStringLiteral("I&esire"));
  EXPECT_EQ(button.ModalResult(), 2);
  button.SetKind(mkYes);  // the caption is not empty, but it was never pinned
  EXPECT_EQ(button.Caption(), QStringLiteral("&Da"));
  EXPECT_EQ(button.ModalResult(), 6);

  TNiceButton pinned;
  pinned.SetCaption(QStringLiteral("I&esire"));
  pinned.SetModalResult(0);
  pinned.SetKind(mkCancel);
  EXPECT_EQ(pinned.Caption(), QStringLiteral("I&esire"));
  EXPECT_EQ(pinned.ModalResult(), 0);
  EXPECT_TRUE(pinned.CaptionPinned());

  // Navigation kinds leave a skinned button's caption visible.
  TNiceButton first;
  first.SetKind(mkFirst);
  EXPECT_TRUE(first.CaptionVisible());
}

TEST(KindButton, ModalResultEndsTheDialogThroughClicksEnterAndEscape) {
  enum Action { Click, Escape, EnterOnDefault, EnterOnFocused };
  struct Case {
    Action action;
    int result;
  };
  for (const Case& c :
       {Case{Click, 6}, Case{Escape, 2}, Case{EnterOnDefault, 6}, Case{EnterOnFocused, 7}}) {
    QDialog dialog;
    auto* yes = new TNiceButton(&dialog);
    yes->SetKind(mkYes);
    yes->setDefault(true);
    auto* no = new TNiceButton(&dialog);
    no->SetKind(mkNo);
    no->move(110, 0);
    auto* cancel = new TMButton(&dialog);
    cancel->SetKind(mkCancel);
    cancel->move(220, 0);
    cancel->SetCancel(true);
    int cancelClicks = 0;
    cancel->OnClick = [&](QObject* sender) {
      EXPECT_EQ(sender, cancel);
      ++cancelClicks;
    };
    QTimer::singleShot(0, &dialog, [&] {
      QApplication::setActiveWindow(&dialog);
      EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
      switch (c.action) {
        case Click: yes->click(); break;
        case Escape: QTest::keyClick(&dialog, Qt::Key_Escape); break;
        case EnterOnDefault: QTest::keyClick(&dialog, Qt::Key_Return); break;
        case EnterOnFocused:
          no->setFocus();
          QTest::keyClick(no, Qt::Key_Return);
          break;
      }
    });
    EXPECT_EQ(dialog.exec(), c.result) << int(c.action);
    EXPECT_EQ(cancelClicks, c.action == Escape ? 1 : 0);
  }
}

TEST(NiceButton, KeyboardClickFlashesThePressedFaceAndMouseClickDoesNot) {
  test::TestWindow window;
  auto* button = new TNiceButton(window.get());
  button->SetKind(mkOK);
  window.Show();
  button->setFocus();
  int clicks = 0;
  button->OnClick = [&](QObject*) { ++clicks; };

  QTest::keyClick(button, Qt::Key_Space);
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(button->ForcedDown());
  EXPECT_TRUE(QTest::qWaitFor([&] { return !button->ForcedDown(); }, 1000));

  button->click();  // from the program
  EXPECT_TRUE(button->ForcedDown());
  EXPECT_TRUE(QTest::qWaitFor([&] { return !button->ForcedDown(); }, 1000));

  QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(60, 14));
  EXPECT_EQ(clicks, 3);
  EXPECT_FALSE(button->ForcedDown());
}

TEST(NiceButton, TransparentAreaBesideTheSkinIsClickThrough) {
  test::TestWindow window;
  auto* button = new TNiceButton(window.get());
  button->SetKind(mkOK);    // glyph and caption
  button->resize(120, 40);  // taller than the 28-pixel face
  window.Show();
  int clicks = 0;
  button->OnClick = [&](QObject*) { ++clicks; };

  const int faceTop = (40 - DlgImageStore().Picture(QStringLiteral("ButtonFace")).height()) / 2;
  ASSERT_GT(faceTop, 1);
  EXPECT_FALSE(button->HitTest(QPoint(80, faceTop - 1)));  // above the face
  EXPECT_FALSE(button->HitTest(QPoint(2, 1)));             // corner left of the skin
  EXPECT_TRUE(button->HitTest(QPoint(80, 20)));            // on the face
  EXPECT_TRUE(button->HitTest(QPoint(30, 20)));            // on the glyph

  QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(80, faceTop - 1));
  EXPECT_EQ(clicks, 0);
  QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(80, 20));
  EXPECT_EQ(clicks, 1);

  // Without glyph and caption the whole button answers.
  auto* bare = new TNiceButton(window.get());
  bare->SetCaptionVisible(false);
  EXPECT_TRUE(bare->HitTest(QPoint(0, 0)));
  EXPECT_TRUE(bare->HitTest(QPoint(99, 27)));
}

TEST(NiceButton, MouseMovesTheHotLookAndTheFocusOneButtonAtATime) {
  test::TestWindow window;
  auto* left = new TNiceButton(window.get());
  left->SetKind(mkYes);
  auto* right = new TNiceButton(window.get());
  right->SetKind(mkNo);
  right->move(150, 0);
  window.Show();
  left->setFocus();
  EXPECT_TRUE(left->Hot());
  EXPECT_EQ(TNiceButton::HotButton(), left);

  QTest::mouseMove(right, QPoint(60, 14));
  EXPECT_TRUE(QTest::qWaitFor([&] { return right->Hot(); }, 1000));
  EXPECT_FALSE(left->Hot());
  EXPECT_TRUE(right->hasFocus());
  EXPECT_EQ(TNiceButton::HotButton(), right);

  right->setEnabled(false);  // the focus moves on, and the hot look with it
  EXPECT_FALSE(right->Hot());
  EXPECT_NE(TNiceButton::HotButton(), right);
  right->setEnabled(true);
  QTest::mouseMove(left, QPoint(60, 14));
  EXPECT_TRUE(QTest::qWaitFor([&] { return left->Hot(); }, 1000));
  delete left;  // destroying the hot button forgets it
  EXPECT_EQ(TNiceButton::HotButton(), nullptr);
}

TEST(MButton, HotWithMouseOrFocusAndTheFocusFollowsTheMouseAmongLightButtons) {
  test::TestWindow window;
  auto* first = new TMButton(window.get());
  first->SetKind(mkAdd);
  auto* second = new TMButton(window.get());
  second->SetKind(mkDelete);
  second->move(100, 0);
  auto* bevelled = new TMButton(window.get());
  bevelled->SetLightButton(false);
  bevelled->move(200, 0);
  window.Show();

  first->setFocus();
  EXPECT_TRUE(first->Hot());
  QTest::mouseMove(second, QPoint(20, 20));
  EXPECT_TRUE(QTest::qWaitFor([&] { return second->hasFocus(); }, 1000));
  EXPECT_TRUE(second->Hot());
  EXPECT_FALSE(first->Hot());  // lost the focus, and the mouse is elsewhere

  // A focused button stays hot when the mouse leaves it.
  QTest::mouseMove(bevelled, QPoint(20, 20));
  EXPECT_TRUE(QTest::qWaitFor([&] { return bevelled->Hot(); }, 1000));
  EXPECT_TRUE(second->Hot());
  EXPECT_TRUE(second->hasFocus());  // the mouse went to a bevelled button: no focus move
}

TEST(MButton, AcceleratorLetterIsPaintedRedAndTheRestInTheFontColour) {
  TMButton button;
  button.SetKind(mkOK);  // "O&K"
  button.SetLightButton(false);
  const QImage image = button.grab().toImage();
  const auto red = test::ColumnSpan(image, test::IsPureRed);
  ASSERT_GE(red.first, 0) << "no red letter";
  // The red columns are exactly one letter wide, right of the dark "O".
  const QFontMetrics metrics(button.font());
  EXPECT_LE(red.second - red.first + 1, metrics.horizontalAdvance(QLatin1Char('K')) + 1);
  // ... and the "O" before it is not red: the red starts past the middle of the caption.
  const int captionLeft = red.second + 1 - metrics.horizontalAdvance(QStringLiteral("OK"));
  EXPECT_GT(red.first, captionLeft + metrics.horizontalAdvance(QLatin1Char('O')) / 2);

  // Disabled: no red at all.
  button.setEnabled(false);
  EXPECT_EQ(test::CountPixels(button.grab().toImage(), test::IsPureRed), 0);
}

TEST(NiceButton, HotCaptionIsRedAndTheGlyphSitsLeftOfTheFace) {
  test::TestWindow window;
  auto* button = new TNiceButton(window.get());
  button->SetKind(mkDelete);  // "&Sterg" with a glyph
  auto* other = new TNiceButton(window.get());
  other->move(0, 40);
  window.Show();
  other->setFocus();
  QImage image = button->grab().toImage();
  const int redNormal = test::CountPixels(image, test::IsPureRed);
  EXPECT_GT(redNormal, 0);  // the accelerator letter

  // The glyph's cell ends at x 34; left of it, nothing but what lies under the button.
  const int cellWidth = button->EffectiveGlyph().width() / 3;
  ASSERT_GT(cellWidth, 0);
  const QRgb background = window.get()->grab(QRect(300, 200, 1, 1)).toImage().pixel(0, 0);
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < 34 - cellWidth; ++x)
      ASSERT_EQ(image.pixel(x, y), background) << x << "," << y;

  button->setFocus();  // focused: hot, the whole caption red
  ASSERT_TRUE(button->Hot());
  EXPECT_GT(test::CountPixels(button->grab().toImage(), test::IsPureRed), 2 * redNormal);
}
