#include <gtest/gtest.h>

#include "platform/Codepage.h"

namespace {

TEST(Codepage, EightBitPagesToUtf8) {
  // 0xBA is s-cedilla in 1250 and the masculine ordinal in 1252.
  EXPECT_EQ(platform::ToUtf8("\xBA", 1250), "ş");
  EXPECT_EQ(platform::ToUtf8("\xBA", 1252), "º");
  EXPECT_EQ(platform::ToUtf8("Pre\xFE", 1250), "Preţ");
  // 0x81 is undefined in 1252: kept as the character of that number, not dropped.
  EXPECT_EQ(platform::ToUtf8("a\x81z", 1252), "a\xC2\x81z");
  // Code page 0 is UTF-8; broken sequences become U+FFFD.
  EXPECT_EQ(platform::ToUtf8("ăî", 0), "ăî");
  EXPECT_EQ(platform::ToUtf8("a\xC3", 0), "a\xEF\xBF\xBD");
}

TEST(Codepage, Utf8To1250FoldsCommaBelow) {
  std::string out;
  ASSERT_TRUE(platform::FromUtf8("Țară și Șes", 1250, out));
  EXPECT_EQ(out,
            "\xDE"
            "ar\xE3 \xBA"
            "i \xAA"
            "es");
  std::string cedilla;
  ASSERT_TRUE(platform::FromUtf8("Ţară şi Şes", 1250, cedilla));
  EXPECT_EQ(out, cedilla);
  // A character the page cannot hold is refused, never stored as '?'.
  EXPECT_FALSE(platform::FromUtf8("日本", 1250, out));
  EXPECT_FALSE(platform::FromUtf8("ă", 1252, out));
}

TEST(Codepage, Latin1AndUtf16) {
  std::string s;
  const unsigned char latin[] = {'a', 0xE9, 0xFF};
  platform::AppendLatin1(s, latin, 3);
  EXPECT_EQ(s, "aéÿ");
  s.clear();
  // "ș" U+0219, then a surrogate pair for U+1F600, then a lone high surrogate.
  const unsigned char utf16[] = {0x19, 0x02, 0x3D, 0xD8, 0x00, 0xDE, 0x00, 0xD8};
  platform::AppendUtf16le(s, utf16, 4);
  EXPECT_EQ(s, "ș\xF0\x9F\x98\x80\xEF\xBF\xBD");
}

TEST(Codepage, UnknownPageFallsBackToLatin1) {
  EXPECT_FALSE(platform::IsKnownCodepage(12345));
  EXPECT_EQ(platform::ToUtf8("\xE9", 12345), "é");
  EXPECT_TRUE(platform::IsKnownCodepage(1250));
}

}  // namespace
