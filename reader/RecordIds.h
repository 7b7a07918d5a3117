#pragma once
// Identifiers of the BIFF records the reader acts on, by name; the test writer uses the same
// table. Where generations number one record differently, the suffix names the generation the
// number belongs to (2: BIFF2, 3: BIFF3, 4: BIFF4); unsuffixed numbers are those of BIFF5-BIFF8.
#include <cstdint>

namespace reader::rec {

// Any BOF has 0x09 in its low byte; its high byte tells the generation.
inline constexpr bool IsBof(std::uint16_t id) {
  return (id & 0xFF) == 0x09;
}

inline constexpr std::uint16_t
    // Worksheet cells.
    kDimensions2 = 0x0000,
    kBlank2 = 0x0001, kInteger2 = 0x0002, kNumber2 = 0x0003, kLabel2 = 0x0004, kBoolErr2 = 0x0005,
    kFormula = 0x0006, kString2 = 0x0007, kDimensions = 0x0200, kBlank = 0x0201, kNumber = 0x0203,
    kLabel = 0x0204, kBoolErr = 0x0205, kFormula3 = 0x0206, kString = 0x0207, kRow = 0x0208,
    kIndex = 0x020B, kRkLegacy = 0x007E, kRk = 0x027E, kFormula4 = 0x0406, kMulRk = 0x00BD,
    kMulBlank = 0x00BE, kRString = 0x00D6, kDbCell = 0x00D7, kLabelSst = 0x00FD, kColInfo = 0x007D,
    kShrFmla = 0x04BC, kShrFmla2 = 0x00BC, kArray = 0x0221, kTable = 0x0236,
    // Stream structure.
    kEof = 0x000A, kContinue = 0x003C, kFilePass = 0x002F, kMsoDrawingGroup = 0x00EB,
    kMsoDrawing = 0x00EC,
    // Workbook globals.
    kExternSheet = 0x0017, kName2 = 0x0018, kName = 0x0218, kExternName2 = 0x0023,
    kExternName = 0x0223, kFont = 0x0031, kFont3 = 0x0231, kCodepage = 0x0042, kBoundSheet = 0x0085,
    kPalette = 0x0092, kXf = 0x00E0, kXf3 = 0x0243, kXf4 = 0x0443, kFormat = 0x041E,
    kFormat2 = 0x001E, kSupBook = 0x01AE, kSst = 0x00FC,
    // A BIFF4 workbook: where its first sheet starts, and the header before each sheet's BOF.
    kSheetsOffset4 = 0x008E, kSheetHeader4 = 0x008F;

// BOF substream types.
inline constexpr std::uint16_t kGlobals = 0x0005, kWorksheet = 0x0010, kChart = 0x0020,
                               kWorkbook4 = 0x0100;
// BOF version words of the generations that have one.
inline constexpr std::uint16_t kBiff5 = 0x0500, kBiff8 = 0x0600;

}  // namespace reader::rec
