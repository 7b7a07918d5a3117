// What TFmtLabel paints, decided by pixel rules: colours per word, one baseline, the shadow's
// offset, blinking phases, growth and placement.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QTest>
#include <QWidget>

#include "LookDir.h"
#include "ui/fmtlabel/FmtLabel.h"
#include "ui/store/Fonts.h"
#include "ui/store/SystemColors.h"

namespace ui {
namespace {

bool IsRed(QRgb c) {
  return qRed(c) > 160 && qGreen(c) < 90 && qBlue(c) < 90;
}
bool IsDark(QRgb c) {
  return qRed(c) < 90 && qGreen(c) < 90 && qBlue(c) < 90;
}
bool IsBlue(QRgb c) {
  return qBlue(c) > 160 && qRed(c) < 90 && qGreen(c) < 90;
}

struct Box {
  int minX = 1 << 30, minY = 1 << 30, maxX = -1, maxY = -1;
  bool Empty() const { return maxX < 0; }
};
template <typename Pred>
Box Find(const QImage& img, Pred pred) {
  Box b;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if (pred(img.pixel(x, y))) {
        b.minX = std::min(b.minX, x);
        b.minY = std::min(b.minY, y);
        b.maxX = std::max(b.maxX, x);
        b.maxY = std::max(b.maxY, y);
      }
  return b;
}

QFont CrispFont(int px) {
  QFont f = FontByName("MS Sans Serif", px);
  f.setStyleStrategy(QFont::NoAntialias);
  return f;
}

// A label on a white host, shown and painted once.
struct Fixture {
  QWidget host;
  TFmtLabel* label;
  explicit Fixture(const QString& caption, int px = 14) {
    host.resize(500, 200);
    label = new TFmtLabel(&host);
    label->SetFont(CrispFont(px));
    label->SetColor(clWhite);
    label->SetFontColor(clBlack);
    label->SetCaption(caption);
    label->move(5, 5);
    host.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&host));
    QCoreApplication::processEvents();
  }
  QImage Shot() { return label->Snapshot().convertToFormat(QImage::Format_RGB32); }
};

TEST(FmtLabelPaint, RedWordAndBlackRestShareOneBaseline) {
  Fixture f("@9Pretul@0 se afla");
  const QImage img = f.Shot();
  SaveForLook(img, "label_red_word");
  const Box red = Find(img, IsRed), dark = Find(img, IsDark);
  ASSERT_FALSE(red.Empty());
  ASSERT_FALSE(dark.Empty());
  EXPECT_LT(red.maxX, dark.minX);  // the red word comes first
  EXPECT_EQ(red.maxY, dark.maxY);  // letters without descenders end on the baseline

  // Different sizes on one line keep the baseline too.
  Fixture g("&20@9Mare@0&9 mic");
  const QImage img2 = g.Shot();
  SaveForLook(img2, "label_sizes");
  const Box big = Find(img2, IsRed), small = Find(img2, IsDark);
  ASSERT_FALSE(big.Empty());
  ASSERT_FALSE(small.Empty());
  EXPECT_GT(big.maxY - big.minY, small.maxY - small.minY);
  EXPECT_EQ(big.maxY, small.maxY);
}

TEST(FmtLabelPaint, ShadowSitsOnePixelRightAndDown) {
  Fixture f("%Selectare fisier Excel");
  f.label->SetShadowColor(clBlue);
  QCoreApplication::processEvents();
  const QImage img = f.Shot();
  SaveForLook(img, "label_shadow");
  const Box text = Find(img, IsDark), shadow = Find(img, IsBlue);
  ASSERT_FALSE(text.Empty());
  ASSERT_FALSE(shadow.Empty());
  EXPECT_EQ(shadow.maxX, text.maxX + 1);
  EXPECT_EQ(shadow.maxY, text.maxY + 1);
  // Every shadow pixel is the text shifted: its up-left neighbour is text.
  for (int y = 1; y < img.height(); ++y)
    for (int x = 1; x < img.width(); ++x)
      if (IsBlue(img.pixel(x, y))) {
        ASSERT_TRUE(IsDark(img.pixel(x - 1, y - 1))) << x << "," << y;
      }
}

TEST(FmtLabelPaint, BlinkingHidesThenShowsAndStopsWithTheList) {
  Fixture f("ab @9~XYZ~@0 cd");
  ASSERT_EQ(f.label->BlinkList().size(), 1u);
  EXPECT_EQ(f.label->BlinkList()[0]->Text, "XYZ");
  EXPECT_EQ(f.label->BlinkList()[0]->Timer->interval(), 300);
  EXPECT_FALSE(Find(f.Shot(), IsRed).Empty());

  auto redShown = [&] { return !Find(f.Shot(), IsRed).Empty(); };
  // The first tick hides the segment, the second shows it again; the rest stays.
  ASSERT_TRUE(QTest::qWaitFor([&] { return !redShown(); }, 1000));
  SaveForLook(f.Shot(), "label_blink_hidden");
  EXPECT_FALSE(Find(f.Shot(), IsDark).Empty());
  ASSERT_TRUE(QTest::qWaitFor(redShown, 1000));

  f.label->Elibereaza_BlinkList();
  EXPECT_TRUE(f.label->BlinkList().empty());
  QTest::qWait(700);
  EXPECT_TRUE(redShown());
}

TEST(FmtLabelPaint, TwoBlinkingSegmentsGetTwoTimersAndRepaintRestarts) {
  Fixture f("~a~ b ~c~");
  ASSERT_EQ(f.label->BlinkList().size(), 2u);
  EXPECT_NE(f.label->BlinkList()[0]->Timer.get(), f.label->BlinkList()[1]->Timer.get());
  EXPECT_TRUE(f.label->BlinkList()[0]->Timer->isActive());
  f.label->SetCaption("plain");
  QCoreApplication::processEvents();
  EXPECT_TRUE(f.label->BlinkList().empty());
}

TEST(FmtLabelGeometry, GrowsToFitAndRightAlignsEachLine) {
  Fixture f("");
  f.label->SetAutoSize(false);
  f.label->resize(10, 5);
  f.label->SetAlignment(taRightJustify);
  f.label->SetCaption("Primul rand\rAl doilea");
  f.label->update();
  QCoreApplication::processEvents();
  f.Shot();
  const QFontMetrics fm(f.label->font());
  const int w1 = fm.horizontalAdvance("Primul rand"), w2 = fm.horizontalAdvance("Al doilea");
  // Right-justified text reserves the sum of the line widths.
  EXPECT_EQ(f.label->width(), w1 + w2);
  EXPECT_EQ(f.label->height(), 2 * fm.height());
  const QImage img = f.Shot();
  SaveForLook(img, "label_right_two_lines");
  // Each line ends near the right edge.
  const Box line1 = Find(img.copy(0, 0, img.width(), fm.ascent()), IsDark);
  const Box line2 = Find(img.copy(0, fm.ascent() + 1, img.width(), fm.ascent()), IsDark);
  ASSERT_FALSE(line1.Empty());
  ASSERT_FALSE(line2.Empty());
  EXPECT_GE(line1.maxX, img.width() - 4);
  EXPECT_GE(line2.maxX, img.width() - 4);

  // Centred text is measured by its widest line and never shrinks afterwards.
  f.label->resize(10, 5);
  f.label->SetAlignment(taCenter);
  QCoreApplication::processEvents();
  f.Shot();
  EXPECT_EQ(f.label->width(), std::max(w1, w2));
  f.label->SetCaption("x");
  QCoreApplication::processEvents();
  EXPECT_EQ(f.label->width(), std::max(w1, w2));
}

TEST(FmtLabelGeometry, EmptyLineTakesTheCurrentFontsHeight) {
  Fixture f("");
  f.label->SetAutoSize(false);
  f.label->resize(5, 5);
  f.label->SetCaption("&20a\r\rb");
  QCoreApplication::processEvents();
  f.Shot();
  QFont big = f.label->font();
  big.setPointSize(20);
  EXPECT_EQ(f.label->height(), 3 * QFontMetrics(big).height());
}

TEST(FmtLabelGeometry, PlacesItselfInsideTheParent) {
  Fixture f("Text");
  f.label->SetAlign(alMRight);
  QCoreApplication::processEvents();
  f.Shot();
  QCoreApplication::processEvents();
  EXPECT_EQ(f.label->x(), f.host.width() - f.label->width() - 2);
  f.label->SetAlign(alMBottom);
  QCoreApplication::processEvents();
  EXPECT_EQ(f.label->y(), f.host.height() - f.label->height() - 1);
  f.label->SetAlign(alMTop);
  QCoreApplication::processEvents();
  EXPECT_EQ(f.label->y(), 1);
  f.label->SetAlign(alMLeft);
  QCoreApplication::processEvents();
  EXPECT_EQ(f.label->x(), 1);
}

TEST(FmtLabelPaint, EmptyCaptionPaintsOnlyTheBackground) {
  Fixture f("");
  f.label->resize(40, 20);
  f.label->SetColor(clLime);
  QCoreApplication::processEvents();
  const QImage img = f.Shot();
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) ASSERT_EQ(img.pixel(x, y), qRgb(0, 255, 0));
  EXPECT_TRUE(f.label->BlinkList().empty());
}

TEST(FmtLabelPaint, HugeSizesStayBounded) {
  Fixture f("&65535W");
  f.Shot();
  QCoreApplication::processEvents();
  EXPECT_LT(f.label->height(), 2000);
  EXPECT_GT(f.label->height(), 100);
}

}  // namespace
}  // namespace ui
