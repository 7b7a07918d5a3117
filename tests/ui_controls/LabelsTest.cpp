// Accelerator and engraved text drawing, the active label's focus hand-over and painting, the
// active combo's label colouring and Escape tracking.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QListWidget>
#include <QPainter>

#include "TestWindow.h"
#include "ui/activecontrols/AccelText.h"
#include "ui/activecontrols/ActiveCombo.h"
#include "ui/activecontrols/ActiveLabel.h"
#include "ui/store/SystemColors.h"

using namespace ui;

namespace {

QImage Canvas(int width = 120, int height = 20) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(Qt::white);
  return image;
}

// Without antialiasing every text pixel has exactly the colour it was drawn in.
QFont TestFont() {
  QFont font(QStringLiteral("DejaVu Sans"), 9);
  font.setStyleStrategy(QFont::NoAntialias);
  return font;
}

QImage DrawAccel(const QString& text, bool underline, int format, int width = 120) {
  QImage image = Canvas(width);
  QPainter painter(&image);
  painter.setFont(TestFont());
  painter.setPen(Qt::black);
  DrawAccelText(painter, text, image.rect(), underline, QColor(255, 0, 0), format);
  EXPECT_EQ(painter.pen().color(), QColor(Qt::black));  // the text colour comes back
  return image;
}

bool IsDark(QRgb c) {
  return qRed(c) < 100 && qGreen(c) < 100 && qBlue(c) < 100;
}

}  // namespace

TEST(AccelText, OnlyTheMarkedLetterIsRedAndTheUnderlineIsOnRequest) {
  const int format = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine;
  const QImage plain = DrawAccel(QStringLiteral("&Nume"), false, format);
  const auto red = test::ColumnSpan(plain, test::IsPureRed);
  const auto dark = test::ColumnSpan(plain, IsDark);
  ASSERT_GE(red.first, 0);
  ASSERT_GE(dark.first, 0);
  EXPECT_LT(red.second, dark.first);  // "N" red, "ume" after it in black
  EXPECT_LE(red.first, 1);

  // Underlined: more red pixels, on rows below the plain letter.
  const QImage underlined = DrawAccel(QStringLiteral("&Nume"), true, format);
  EXPECT_GT(test::CountPixels(underlined, test::IsPureRed),
            test::CountPixels(plain, test::IsPureRed));

  // A letter in the middle: black on both sides.
  const QImage middle = DrawAccel(QStringLiteral("Un&itati"), false, format);
  const auto redMiddle = test::ColumnSpan(middle, test::IsPureRed);
  const auto darkMiddle = test::ColumnSpan(middle, IsDark);
  EXPECT_LT(darkMiddle.first, redMiddle.first);
  EXPECT_GT(darkMiddle.second, redMiddle.second);

  // No "&": everything in the text colour.
  EXPECT_EQ(test::CountPixels(DrawAccel(QStringLiteral("Nume"), false, format), test::IsPureRed),
            0);
}

TEST(AccelText, CentredAndRightAlignedTextIsPlacedAsAWhole) {
  const int single = Qt::AlignTop | Qt::TextSingleLine;
  const QImage left = DrawAccel(QStringLiteral("&Wg"), false, Qt::AlignLeft | single, 200);
  const QImage centre = DrawAccel(QStringLiteral("&Wg"), false, Qt::AlignHCenter | single, 200);
  const QImage right = DrawAccel(QStringLiteral("&Wg"), false, Qt::AlignRight | single, 200);
  auto all = [](const QImage& image) {
    return test::ColumnSpan(image, [](QRgb c) { return IsDark(c) || test::IsPureRed(c); });
  };
  const auto l = all(left), c = all(centre), r = all(right);
  const int width = l.second - l.first;
  EXPECT_NEAR(c.second - c.first, width, 1);
  EXPECT_NEAR(r.second - r.first, width, 1);
  // Centred: equal room on both sides (the measure is widened by 2); right: flush right.
  EXPECT_NEAR(c.first - 0, 199 - c.second, 4);
  EXPECT_GT(r.first, 150);
  EXPECT_GE(r.second, 194);
  // The red letter leads in every placement.
  EXPECT_EQ(test::ColumnSpan(centre, test::IsPureRed).first, c.first);
}

TEST(AccelText, EngravedTextIsWhiteOnePixelDownRightUnderGrey) {
  QImage image(120, 20, QImage::Format_RGB32);
  image.fill(QColor(0, 0, 128));
  {
    QPainter painter(&image);
    painter.setFont(TestFont());
    DrawEngravedText(painter, image.rect(), QStringLiteral("I&I"), Qt::AlignLeft | Qt::AlignTop);
  }
  const auto white = test::ColumnSpan(image, [](QRgb c) { return c == qRgb(255, 255, 255); });
  const auto grey = test::ColumnSpan(image, [](QRgb c) { return c == qRgb(128, 128, 128); });
  ASSERT_GE(white.first, 0);
  ASSERT_GE(grey.first, 0);
  EXPECT_EQ(white.second, grey.second + 1);
  EXPECT_EQ(test::CountPixels(image, test::IsPureRed), 0);
}

TEST(ActiveLabel, AltLetterAndClickFocusTheControlAndTheLetterIsUnderlinedWhileItHasFocus) {
  test::TestWindow window;
  auto* label = new TActiveLabel(window.get());
  label->SetCaption(QStringLiteral("&Nume fisiere"));
  label->resize(120, 16);
  auto* files = new QListWidget(window.get());
  files->move(0, 40);
  auto* other = new QListWidget(window.get());
  other->move(200, 40);
  label->SetFocusControl(files);
  window.Show();
  other->setFocus();
  const int redUnfocused = test::CountPixels(label->grab().toImage(), test::IsPureRed);
  EXPECT_GT(redUnfocused, 0);

  QTest::keyClick(window.get(), Qt::Key_N, Qt::AltModifier);
  EXPECT_TRUE(files->hasFocus());
  EXPECT_GT(test::CountPixels(label->grab().toImage(), test::IsPureRed), redUnfocused);

  other->setFocus();
  int clicks = 0;
  label->OnClick = [&](QObject*) { ++clicks; };
  QTest::mouseClick(label, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(files->hasFocus());

  // Disabled: engraved, no red letter, and Alt+N does nothing.
  other->setFocus();
  label->setEnabled(false);
  EXPECT_EQ(test::CountPixels(label->grab().toImage(), test::IsPureRed), 0);
  QTest::keyClick(window.get(), Qt::Key_N, Qt::AltModifier);
  EXPECT_TRUE(other->hasFocus());

  // A focus control that is gone reads as none.
  label->setEnabled(true);
  delete files;
  EXPECT_EQ(label->FocusControl(), nullptr);
  QTest::mouseClick(label, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(clicks, 2);
}

TEST(ActiveLabel, EmptyOrAmpersandOnlyCaptionPaintsNothingVisible) {
  for (const QString& caption : {QString(), QStringLiteral("&")}) {
    TActiveLabel label;
    label.resize(60, 16);
    label.SetColor(clWhite);
    label.SetCaption(caption);
    const QImage image = label.grab().toImage();
    EXPECT_EQ(test::CountPixels(image, [](QRgb c) { return c != qRgb(255, 255, 255); }), 0)
        << caption.toStdString();
  }
  TActiveLabel tooLong;
  tooLong.resize(100, 16);
  tooLong.SetCaption(QString(1000, QLatin1Char('x')));
  EXPECT_FALSE(tooLong.grab().isNull());
}

TEST(ActiveCombo, RecoloursItsLabelWhileFocusedAndTracksEscapeInTheOpenList) {
  test::TestWindow window;
  auto* label = new TActiveLabel(window.get());
  label->SetCaption(QStringLiteral("&Firma"));
  label->SetFontColor(clNavy);
  auto* combo = new TActiveCombo(window.get());
  combo->addItems({QStringLiteral("Unu"), QStringLiteral("Doi")});
  combo->move(0, 30);
  auto* other = new QListWidget(window.get());
  other->move(0, 80);
  combo->SetAssocLabel(label);
  EXPECT_EQ(label->FocusControl(), combo);
  int closeUps = 0;
  combo->OnCloseUp = [&](QObject*) { ++closeUps; };
  window.Show();

  other->setFocus();
  combo->setFocus();
  EXPECT_EQ(label->FontColor(), clHighlightText);
  combo->showPopup();
  EXPECT_TRUE(combo->DroppedDown());
  EXPECT_EQ(label->FontColor(), clHighlightText);  // the list does not count as leaving
  QTest::keyClick(combo->view(), Qt::Key_Escape);
  EXPECT_TRUE(QTest::qWaitFor([&] { return !combo->DroppedDown(); }, 1000));
  EXPECT_TRUE(combo->EscapeWhileDropped());
  EXPECT_EQ(closeUps, 1);
  combo->setFocus();
  QTest::keyClick(combo, Qt::Key_Escape);
  EXPECT_FALSE(combo->EscapeWhileDropped());

  other->setFocus();
  EXPECT_EQ(label->FontColor(), clNavy);

  delete label;
  EXPECT_EQ(combo->AssocLabel(), nullptr);
  combo->setFocus();  // no label to colour: nothing happens
  other->setFocus();
}
