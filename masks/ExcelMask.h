#pragma once
// TExcelMask: an Excel number-format string ("#,##0.00", "dd.mm.yyyy", "[Red]0;-0") parsed into
// up to four sections of typed items. The workbook reader keeps one per FORMAT record and asks
// only IsDateMask(); the items and summary fields are the parsed form for anyone who renders.
//
// Text is UTF-8. Lengths and items count characters (code points), not bytes, so a mask with
// diacritics is measured the way the file stored it.
#include <array>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace masks {

// Raised by SetMask for a string over 255 characters; the mask keeps its previous content.
class EExcelMaskError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Item kinds; the numbers are stable codes (1 to 33).
enum TMaskItemKind : std::uint8_t {
  mikLiteralChar = 1,      // any character without a meaning of its own; "\x"; "_x" as a space
  mikLiteralString = 2,    // text between double quotes
  mikDigitOptional = 3,    // "#"
  mikDigitSpace = 4,       // "?"
  mikDigitZero = 5,        // "0"
  mikYear2 = 6,            // "y", "yy"
  mikYear4 = 7,            // "yyy" and longer
  mikMonth = 8,            // "m"
  mikMonth2 = 9,           // "mm"
  mikMonthShort = 10,      // "mmm"
  mikMonthLong = 11,       // "mmmm"
  mikMonthInitial = 12,    // "mmmmm" and longer
  mikDay = 13,             // "d"
  mikDay2 = 14,            // "dd"
  mikWeekdayShort = 15,    // "ddd"
  mikWeekdayLong = 16,     // "dddd" and longer
  mikHour24 = 17,          // "h"
  mikHour24Two = 18,       // "hh" and longer
  mikHour12 = 19,          // "h" before an AM/PM marker
  mikHour12Two = 20,       // "hh" before an AM/PM marker
  mikElapsedHours = 21,    // "[h]", "[hh]"
  mikMinute = 22,          // "m" after an hour or before seconds
  mikMinute2 = 23,         // "mm" after an hour or before seconds
  mikElapsedMinutes = 24,  // "[m]", "[mm]"
  mikSecond = 25,          // "s"
  mikSecond2 = 26,         // "ss" and longer
  mikElapsedSeconds = 27,  // "[s]", "[ss]"
  mikAmPmUpper = 28,       // "AM/PM"
  mikAmPmLower = 29,       // "am/pm"
  mikAP = 30,              // "a/p"
  mikDecimalPoint = 31,    // "."
  mikPercent = 32,         // "%"
  mikNumberStart = 33,     // inserted before the first digit placeholder or decimal point
};

// Section flags.
inline constexpr std::uint8_t mfThousands = 0x01;    // holds a thousands separator ","
inline constexpr std::uint8_t mfDecimal = 0x02;      // holds a decimal point
inline constexpr std::uint8_t mfPercent = 0x04;      // holds "%"
inline constexpr std::uint8_t mfDateTime = 0x10;     // formats a date or time
inline constexpr std::uint8_t mfZeroSection = 0x20;  // the section for zero (section 2)

struct TMaskItem {
  TMaskItemKind Kind = mikLiteralChar;
  char32_t Char = 0;  // mikLiteralChar, and the first letter of a marker (a, A): the character
  std::string Text;   // mikLiteralString: the quoted text, UTF-8, without the quotes
};

struct TMaskSection {
  std::vector<TMaskItem> Items;
  std::uint32_t Color = 0;          // 0x00BBGGRR from a colour name in brackets; black by default
  std::uint8_t Flags = 0;           // mf* bits above
  std::int32_t DecimalPos = -1;     // index of the first item after the last decimal point, or -1
  std::int32_t Decimals = 0;        // "#" and "0" placeholders after a decimal point
  std::int32_t ThousandsScale = 0;  // "," since the last digit placeholder, at most 4
};

class TExcelMask {
 public:
  static constexpr std::size_t MaxMaskLength = 255;

  TExcelMask() = default;
  explicit TExcelMask(std::string_view mask) { SetMask(mask); }

  // Parses `mask` into sections. A mask over 255 characters raises EExcelMaskError
  // ("Format string more than 255 characthers") and leaves this object unchanged.
  void SetMask(std::string_view mask);

  // True when section 0 exists and formats a date or time.
  bool IsDateMask() const;

  std::string Mask;
  int FormatIndex = 0;  // the FORMAT record's format number; set by the reader
  // 0 positive, 1 negative, 2 zero, 3 text; null when the mask lacks it or it is empty.
  std::array<std::unique_ptr<TMaskSection>, 4> Sections;
};

}  // namespace masks
