#pragma once
// dump and cell over the .xlsx and .csv readers, with the output of the .xls ones.
#include <string>

namespace imppret {

// True when FILE is read by the .xlsx or .csv reader (decided by content).
bool IsBookFile(const std::string& file);
int DumpBook(const std::string& file);
int CellFromBook(const std::string& file, int sheet, int col, int row);

}  // namespace imppret
