#include "reader/CellRecord.h"

#include "reader/TXLSRead.h"

namespace reader::detail {

namespace {

void RaiseTooShort(const void* context, std::size_t, std::size_t, std::size_t size) {
  RecordTooShort(static_cast<std::uint16_t>(reinterpret_cast<std::uintptr_t>(context)), size);
}

// BIFF2 cells keep their column in one byte.
bool IsBiff2Cell(std::uint16_t id, int version) {
  return id == rec::kInteger2 || id == rec::kNumber2 || id == rec::kLabel2 ||
         IsBiff2Formula(id, version);
}

}  // namespace

platform::ByteView RecordBody(std::uint16_t id, const std::uint8_t* body, std::size_t len) {
  return platform::ByteView(body, len, RaiseTooShort,
                            reinterpret_cast<const void*>(static_cast<std::uintptr_t>(id)));
}

bool LookupTakesValue(std::uint16_t id, int version) {
  switch (id) {
    case rec::kFormula:
    case rec::kRkLegacy:
    case rec::kMulRk:
    case rec::kRString:
    case rec::kLabelSst:
    case rec::kNumber:
    case rec::kLabel:
    case rec::kFormula3:
    case rec::kRk:
    case rec::kFormula4: return true;
    case rec::kInteger2:
    case rec::kNumber2:
    case rec::kLabel2: return version < 4;  // BIFF2 cell records, found in BIFF2-BIFF4 files
    default: return false;
  }
}

bool CellPosition(std::uint16_t id, const platform::ByteView& head, std::size_t len, int version,
                  int& row, int& firstCol, int& lastCol) {
  if (len < 4 || head.Size() < 4) return false;
  row = head.U16(0);
  firstCol = lastCol = IsBiff2Cell(id, version) ? head.U8(2) : head.U16(2);
  if (id == rec::kMulRk) {
    if (len < 6) return false;
    lastCol = firstCol + static_cast<int>((len - 6) / 6) - 1;
  }
  return true;
}

bool DecodeValueCell(std::uint16_t id, const platform::ByteView& b, int version, ValueCell& cell) {
  const std::size_t len = b.Size();
  std::size_t fixed = 0;
  if (IsBiff2Formula(id, version)) {
    // BIFF2 layout: column byte at 2, result at 7, token count byte at 16, tokens at 17.
    cell.kind = ValueCell::Formula;
    if (len < 17) return false;
    cell.row = b.U16(0);
    cell.col = b.U8(2);
    cell.xf = -1;
    cell.nonNumeric = b.U8(13) == 0xFF && b.U8(14) == 0xFF;
    cell.resultType = b.U8(7);
    cell.resultValue = b.U8(9);
    cell.number = b.F64(7);
    return true;
  }
  switch (id) {
    case rec::kNumber: cell.kind = ValueCell::Number, fixed = 14; break;
    case rec::kRkLegacy:
    case rec::kRk: cell.kind = ValueCell::Number, fixed = 10; break;
    case rec::kLabelSst: cell.kind = ValueCell::SharedString, fixed = 10; break;
    case rec::kLabel:
    case rec::kRString: cell.kind = ValueCell::Text, fixed = 8; break;
    case rec::kFormula: cell.kind = ValueCell::Formula, fixed = 22; break;
    case rec::kFormula3:
    case rec::kFormula4: cell.kind = ValueCell::Formula, fixed = 18; break;
    case rec::kInteger2: cell.kind = ValueCell::Number, fixed = 9; break;
    case rec::kNumber2: cell.kind = ValueCell::Number, fixed = 15; break;
    case rec::kLabel2: cell.kind = ValueCell::Text, fixed = 8; break;
    default: return false;
  }
  if (len < fixed) return false;
  cell.row = b.U16(0);
  if (IsBiff2Cell(id, version)) {
    cell.col = b.U8(2);
    cell.xf = -1;
  } else {
    cell.col = b.U16(2);
    cell.xf = b.U16(4);
  }
  switch (id) {
    case rec::kNumber: cell.number = b.F64(6); break;
    case rec::kRkLegacy:
    case rec::kRk: cell.number = TXLSRead::DecodeRK(b.U32(6)); break;
    case rec::kLabelSst: cell.index = b.U32(6); break;
    case rec::kLabel:
    case rec::kRString:
      cell.textAt = 8;
      cell.textCount = b.U16(6);
      break;
    case rec::kInteger2: cell.number = b.U16(7); break;
    case rec::kNumber2: cell.number = b.F64(7); break;
    case rec::kLabel2:
      cell.textAt = 8;
      cell.textCount = b.U8(7);
      break;
    default:  // FORMULA: the cached result at 6
      cell.nonNumeric = b.U8(12) == 0xFF && b.U8(13) == 0xFF;
      cell.resultType = b.U8(6);
      cell.resultValue = b.U8(8);
      cell.number = b.F64(6);
      break;
  }
  return true;
}

}  // namespace reader::detail
