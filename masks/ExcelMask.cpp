#include "masks/ExcelMask.h"

#include "masks/Utf32.h"

namespace masks {
namespace {

using Text = std::u32string;

bool IsDigitKind(TMaskItemKind k) {
  return k == mikDigitOptional || k == mikDigitSpace || k == mikDigitZero;
}
bool IsElapsedKind(TMaskItemKind k) {
  return k == mikElapsedHours || k == mikElapsedMinutes || k == mikElapsedSeconds;
}

std::string UpperAscii(const Text& s, std::size_t from, std::size_t to) {
  std::string out;
  for (std::size_t i = from; i < to; ++i) {
    char32_t c = s[i];
    if (c >= U'a' && c <= U'z') c -= 32;
    // Anything outside ASCII cannot match a keyword; keep a placeholder so it does not either.
    out.push_back(c < 0x80 ? static_cast<char>(c) : '\x7f');
  }
  return out;
}

bool MatchAt(const Text& s, std::size_t i, std::u32string_view word) {
  return s.size() - i >= word.size() && s.compare(i, word.size(), word) == 0;
}

// Colour names a section may carry in brackets, as 0x00BBGGRR.
bool ColourByName(const std::string& name, std::uint32_t& colour) {
  static constexpr struct {
    const char* name;
    std::uint32_t value;
  } colours[] = {
      {"BLACK", 0x000000}, {"CYAN", 0xFFFF00},  {"MAGENTA", 0xFF00FF}, {"WHITE", 0xFFFFFF},
      {"BLUE", 0xFF0000},  {"GREEN", 0x008000}, {"RED", 0x0000FF},     {"YELLOW", 0x00FFFF},
  };
  for (const auto& c : colours) {
    if (name == c.name) {
      colour = c.value;
      return true;
    }
  }
  return false;
}

class SectionParser {
 public:
  SectionParser(const Text& s, TMaskSection& out) : s_(s), sec_(out) {}

  void Run() {
    std::size_t i = 0;
    while (i < s_.size()) {
      if (!Step(i)) break;
    }
    Finish();
  }

 private:
  void Add(TMaskItemKind kind, char32_t c = 0) { sec_.Items.push_back({kind, c, {}}); }

  // Handles the character at i and moves i past what it consumed; false ends the section.
  bool Step(std::size_t& i) {
    const char32_t c = s_[i];
    switch (c) {
      case U'"': {
        std::size_t close = s_.find(U'"', i + 1);
        if (close == Text::npos) return false;  // unterminated quote: the rest is dropped
        sec_.Items.push_back({mikLiteralString, 0, ToUtf8(s_.substr(i + 1, close - i - 1))});
        i = close + 1;
        return true;
      }
      case U'#':
      case U'0':
      case U'?':
        Add(c == U'#' ? mikDigitOptional : c == U'0' ? mikDigitZero : mikDigitSpace);
        if (c != U'?' && (sec_.Flags & mfDecimal)) ++sec_.Decimals;
        sec_.ThousandsScale = 0;
        ++i;
        return true;
      case U',':
        sec_.Flags |= mfThousands;
        ++sec_.ThousandsScale;
        ++i;
        return true;
      case U'.':
        sec_.Flags |= mfDecimal;
        Add(mikDecimalPoint);
        sec_.DecimalPos = static_cast<std::int32_t>(sec_.Items.size());
        ++i;
        return true;
      case U'%':
        sec_.Flags |= mfPercent;
        Add(mikPercent);
        ++i;
        return true;
      case U'[': return Bracket(i);
      case U'\\':
        if (i + 1 < s_.size()) Add(mikLiteralChar, s_[i + 1]);
        i += 2;
        return true;
      case U'_':
        if (i + 1 < s_.size()) Add(mikLiteralChar, U' ');
        i += 2;
        return true;
      case U'*':
        ++i;  // the fill character after it is read as an ordinary character
        return true;
      case U'd':
      case U'h':
      case U'm':
      case U's':
      case U'y': DateRun(i); return true;
      default: Literal(i); return true;
    }
  }

  bool Bracket(std::size_t& i) {
    std::size_t close = s_.find(U']', i + 1);
    if (close != Text::npos) {
      const std::string inner = UpperAscii(s_, i + 1, close);
      if (inner == "H" || inner == "HH") {
        Add(mikElapsedHours);
        prevDate_ = sec_.Items.size() - 1;
      } else if (inner == "M" || inner == "MM") {
        Add(mikElapsedMinutes);
        prevDate_ = sec_.Items.size() - 1;
      } else if (inner == "S" || inner == "SS") {
        Add(mikElapsedSeconds);
        prevDate_ = sec_.Items.size() - 1;
      } else {
        ColourByName(inner, sec_.Color);  // conditions and locale codes are skipped
      }
    }
    if (!sec_.Items.empty() && IsElapsedKind(sec_.Items.back().Kind)) sec_.Flags |= mfDateTime;
    if (close == Text::npos) return false;
    i = close + 1;
    return true;
  }

  void DateRun(std::size_t& i) {
    const char32_t letter = s_[i];
    std::size_t r = 0;
    while (i + r < s_.size() && s_[i + r] == letter) ++r;
    i += r;
    sec_.Flags |= mfDateTime;

    TMaskItemKind prev =
        prevDate_ < sec_.Items.size() ? sec_.Items[prevDate_].Kind : mikLiteralChar;
    TMaskItemKind kind = mikLiteralChar;
    switch (letter) {
      case U'y': kind = r <= 2 ? mikYear2 : mikYear4; break;
      case U'd':
        kind = r == 1 ? mikDay : r == 2 ? mikDay2 : r == 3 ? mikWeekdayShort : mikWeekdayLong;
        break;
      case U'h': kind = r == 1 ? mikHour24 : mikHour24Two; break;
      case U'm':
        // After an hour (elapsed hours too, as in "[h]:mm") m means minutes.
        if (prev == mikHour24 || prev == mikHour24Two || prev == mikElapsedHours) {
          kind = r == 1 ? mikMinute : mikMinute2;
        } else {
          static constexpr TMaskItemKind months[] = {mikMonth, mikMonth2, mikMonthShort,
                                                     mikMonthLong};
          kind = r <= 4 ? months[r - 1] : mikMonthInitial;
        }
        break;
      default:  // 's': a month number just before seconds was a minute after all
        if (prev == mikMonth) sec_.Items[prevDate_].Kind = mikMinute;
        if (prev == mikMonth2) sec_.Items[prevDate_].Kind = mikMinute2;
        kind = r == 1 ? mikSecond : mikSecond2;
        break;
    }
    Add(kind);
    prevDate_ = sec_.Items.size() - 1;
  }

  void Literal(std::size_t& i) {
    const char32_t c = s_[i];
    TMaskItemKind kind = mikLiteralChar;
    std::size_t length = 1;
    if (c == U'a' || c == U'A') {
      if (MatchAt(s_, i, U"a/p")) {
        kind = mikAP;
        length = 3;
      } else if (MatchAt(s_, i, U"am/pm")) {
        kind = mikAmPmLower;
        length = 5;
      } else if (MatchAt(s_, i, U"AM/PM")) {
        kind = mikAmPmUpper;
        length = 5;
      }
    }
    if (kind != mikLiteralChar) TwelveHourClock();
    Add(kind, c);
    i += length;
  }

  // An AM/PM marker turns the nearest hour before it into a 12-hour hour.
  void TwelveHourClock() {
    for (std::size_t k = sec_.Items.size(); k-- > 0;) {
      TMaskItem& item = sec_.Items[k];
      if (item.Kind == mikHour24) item.Kind = mikHour12;
      if (item.Kind == mikHour24Two) item.Kind = mikHour12Two;
      if (item.Kind >= mikHour24 && item.Kind <= mikHour12Two) return;
    }
  }

  void Finish() {
    auto& items = sec_.Items;
    for (std::size_t k = 0; k < items.size(); ++k) {
      if (IsDigitKind(items[k].Kind) || items[k].Kind == mikDecimalPoint) {
        // Digits ahead of any decimal point make a number format even with date letters;
        // "mm:ss.0" (decimal point first) stays a time format.
        if (IsDigitKind(items[k].Kind)) sec_.Flags &= static_cast<std::uint8_t>(~mfDateTime);
        items.insert(items.begin() + static_cast<std::ptrdiff_t>(k), TMaskItem{mikNumberStart});
        break;
      }
    }
    if (sec_.ThousandsScale > 4) sec_.ThousandsScale = 4;
  }

  const Text& s_;
  TMaskSection& sec_;
  std::size_t prevDate_ = static_cast<std::size_t>(-1);  // item made by the last date-letter run
};

}  // namespace

void TExcelMask::SetMask(std::string_view mask) {
  const Text text = ToUtf32(mask);
  if (text.size() > MaxMaskLength) {
    throw EExcelMaskError("Format string more than 255 characthers");
  }
  Mask = std::string(mask);
  for (auto& section : Sections) section.reset();

  // Split on ";" outside quotes; text after the fourth separator is dropped.
  std::size_t start = 0;
  int index = 0;
  bool quoted = false;
  for (std::size_t i = 0; i <= text.size() && index < 4; ++i) {
    if (i < text.size()) {
      if (text[i] == U'"') quoted = !quoted;
      if (quoted || text[i] != U';') continue;
    }
    if (i > start) {
      auto section = std::make_unique<TMaskSection>();
      if (index == 2) section->Flags = mfZeroSection;
      SectionParser(text.substr(start, i - start), *section).Run();
      Sections[index] = std::move(section);
    }
    ++index;
    start = i + 1;
  }
}

bool TExcelMask::IsDateMask() const {
  return Sections[0] && (Sections[0]->Flags & mfDateTime) != 0;
}

}  // namespace masks
