#pragma once
// The process-wide number and date formats. Every conversion between numbers and text in the
// program reads them from here, never from the C locale. They start with the system defaults;
// the main window and the command-line tool fix them at start (see FixProgramFormats).
#include <string>

namespace platform {

struct FormatSettings {
  char DecimalSeparator = '.';
  char ThousandSeparator = ',';
  char DateSeparator = '/';
  std::string ShortDateFormat = "M/d/yyyy";
};

// The one process-wide object.
FormatSettings& Formats();

// The program's formats: decimal ",", thousands ".", date ".", short date "dd.mm.yyyy".
void FixProgramFormats();

}  // namespace platform
