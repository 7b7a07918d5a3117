// Stored value encodings against known byte patterns of the format, and the number/date text
// conversions with the program's separators.
#include <gtest/gtest.h>

#include "platform/Formats.h"
#include "platform/db/FieldValue.h"
#include "platform/db/ParadoxFormat.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(Format, IntegerDoubleAndDateEncodings) {
  using namespace db::px;
  Bytes b(8);
  EncodeInt(1, b.data(), 4);
  EXPECT_EQ(Bytes(b.begin(), b.begin() + 4), (Bytes{0x80, 0, 0, 1}));
  EncodeInt(-1, b.data(), 4);
  EXPECT_EQ(Bytes(b.begin(), b.begin() + 4), (Bytes{0x7F, 0xFF, 0xFF, 0xFF}));
  EncodeInt(256, b.data(), 2);
  EXPECT_EQ(Bytes(b.begin(), b.begin() + 2), (Bytes{0x81, 0x00}));
  EXPECT_EQ(DecodeInt(b.data(), 2), 256);
  for (std::int64_t v : {0LL, 1LL, -1LL, 32767LL, -32767LL}) {
    EncodeInt(v, b.data(), 2);
    EXPECT_EQ(DecodeInt(b.data(), 2), v);
  }
  EncodeDouble(0.0, b.data());
  EXPECT_EQ(b, (Bytes{0x80, 0, 0, 0, 0, 0, 0, 0}));
  EncodeDouble(-0.0, b.data());
  EXPECT_EQ(b, (Bytes{0x80, 0, 0, 0, 0, 0, 0, 0}));
  EncodeDouble(-1.5, b.data());
  EXPECT_EQ(b, (Bytes{0x40, 0x07, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(DecodeDouble(b.data()), -1.5);
  // Stored bytes sort as the numbers do.
  Bytes lo(8), hi(8);
  EncodeDouble(-2.25, lo.data());
  EncodeDouble(-2.0, hi.data());
  EXPECT_LT(lo, hi);
  EncodeDouble(1e-300, lo.data());
  EncodeDouble(3.0, hi.data());
  EXPECT_LT(lo, hi);

  EXPECT_EQ(DaysFromCivil(2024, 2, 29), 738945);
  EXPECT_EQ(DaysFromCivil(1996, 5, 4), 728783);
  EXPECT_EQ(DaysFromCivil(1, 1, 1), 1);
  int y, m, d;
  CivilFromDays(738945, y, m, d);
  EXPECT_EQ(y * 10000 + m * 100 + d, 20240229);
}

TEST(Format, BcdDecoding) {
  // 2 decimals; 32 digits, fixed point: 123.45 and -0.07.
  Bytes b(17, 0);
  b[0] = 0xC0 + 2;
  b[14] = 0x01;  // digits ...0 1 | 2 3 | 4 5
  b[15] = 0x23;
  b[16] = 0x45;
  EXPECT_EQ(db::px::DecodeBcd(b.data(), 2), "123.45");
  Bytes n(17, 0xFF);
  n[0] = 0x40 + 2;
  n[16] = 0xF8;  // digits 15-0, 15-7
  EXPECT_EQ(db::px::DecodeBcd(n.data(), 2), "-0.07");

  // A writer converting from a double leaves junk nibbles after the digits: the value ends
  // at the first nibble that is no digit, whichever the sign.
  Bytes junk(17, 0);
  junk[0] = 0xC0 + 32;
  junk[1] = 0x12;
  junk[2] = 0x3B;
  junk[3] = 0x45;
  EXPECT_EQ(db::px::DecodeBcd(junk.data(), 32), "0.123");
  Bytes negJunk(17, 0x40);
  negJunk[0] = 0x40 + 32;
  negJunk[1] = 0xED;  // digits 1 2
  negJunk[2] = 0xC4;  // digit 3, then 15-4: no digit
  EXPECT_EQ(db::px::DecodeBcd(negJunk.data(), 32), "-0.123");

  // Blank: all zeros, or a first byte without the not-blank bit both sign markers carry.
  platform::FixProgramFormats();
  db::px::FieldInfo f;
  f.type = db::FieldType::Bcd;
  f.size = 17;
  f.descriptorSize = 6;
  Bytes v(17, 0);
  v[13] = 0x40;  // 40.000000
  for (auto [first, text] : {std::pair<std::uint8_t, const char*>{0xC6, "40"},
                             {0x46, "-40"},
                             {0x06, ""},
                             {0x86, ""},
                             {0x00, ""}}) {
    v[0] = first;
    if (first == 0x46) std::fill(v.begin() + 1, v.end(), 0xFF), v[13] = 0xBF;
    EXPECT_EQ(db::value::IsBlankValue(f, v.data()), *text == 0) << int{first};
    EXPECT_EQ(db::value::AsText(f, v.data(), 1252), text) << int{first};
  }
}

TEST(Format, NumberAndDateText) {
  platform::FixProgramFormats();
  using namespace db::value;
  EXPECT_EQ(FormatNumber(1234.5), "1234,5");
  EXPECT_EQ(FormatNumber(1234), "1234");
  EXPECT_EQ(FormatNumber(0.1), "0,1");
  EXPECT_EQ(FormatNumber(-0.0), "0");
  EXPECT_EQ(FormatNumber(1e20), "1E20");
  EXPECT_EQ(FormatNumber(123456789012345.0), "123456789012345");
  double v = 0;
  EXPECT_TRUE(ParseNumber(" 12,50 ", v));
  EXPECT_EQ(v, 12.5);
  EXPECT_TRUE(ParseNumber(",", v));
  EXPECT_EQ(v, 0);
  EXPECT_TRUE(ParseNumber("-1,5e2", v));
  EXPECT_EQ(v, -150);
  for (const char* bad : {"", "1.5", "1,234,56", "12a", "e5", "1e", "1e999"})
    EXPECT_FALSE(ParseNumber(bad, v)) << bad;
  std::int64_t days = 0;
  EXPECT_TRUE(ParseDate("29.02.2024", days));
  EXPECT_EQ(FormatDate(days), "29.02.2024");
  EXPECT_FALSE(ParseDate("30.02.2024", days));
  EXPECT_FALSE(ParseDate("1.2", days));
  std::int64_t ms = 0;
  EXPECT_TRUE(ParseTime("23:59:58", ms));
  EXPECT_EQ(FormatTime(ms), "23:59:58");
  EXPECT_FALSE(ParseTime("24:00", ms));

  // Moments before day 0 round down to the earlier day: the time of day stays in 0..24 h.
  db::px::FieldInfo ts;
  ts.type = db::FieldType::Timestamp;
  ts.size = 8;
  std::vector<std::uint8_t> b(8);
  for (auto [stored, text] : {std::pair<double, const char*>{-31618800000.0, "31.12.-001 01:00:00"},
                              {-0.5, "30.12.0000 23:59:59"},
                              {86400000.0 + 3723000, "01.01.0001 01:02:03"},
                              {-86400000.0, "30.12.0000 00:00:00"}}) {
    db::px::EncodeDouble(stored, b.data());
    EXPECT_EQ(AsText(ts, b.data(), 1252), text) << stored;
  }
  EXPECT_EQ(FormatTime(-1000), "23:59:59");
  std::int64_t msOfDay = 0;
  SplitMilliseconds(-86400001, days, msOfDay);
  EXPECT_EQ(days, -2);
  EXPECT_EQ(msOfDay, 86399999);
}

}  // namespace
