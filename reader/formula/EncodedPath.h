#pragma once
// The name of another workbook as a SUPBOOK record stores it: a path whose drive, root,
// separators and parent steps are control characters (01 drive or server, 02 root of this
// drive, 03 separator, 04 parent folder, 05 volume name with its length, 06 to 08 the program's
// own folders).
#include <string>
#include <string_view>

namespace formula {

// The workbook part of an external reference as formula text shows it: the folder, if any, then
// the file name in brackets ("[prices.xls]", "C:\lists\[prices.xls]"). A name that does not start
// with the encoding mark 01 is taken as written; stray control characters are dropped.
std::string ExternalBookText(std::string_view stored);

}  // namespace formula
