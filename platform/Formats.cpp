#include "platform/Formats.h"

namespace platform {

FormatSettings& Formats() {
  static FormatSettings settings;
  return settings;
}

void FixProgramFormats() {
  FormatSettings& f = Formats();
  f.DecimalSeparator = ',';
  f.ThousandSeparator = '.';
  f.DateSeparator = '.';
  f.ShortDateFormat = "dd.mm.yyyy";
}

}  // namespace platform
