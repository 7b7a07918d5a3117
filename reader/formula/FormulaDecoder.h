#pragma once
// Formula token strings (reverse Polish "ptg" bytes of FORMULA, SHRFMLA, ARRAY and NAME records)
// turned back into formula text in A1 notation, e.g. SUM(A1:B3)*2 or Foaie2!$C$4+1.
//
// The decoder is a free function over TFormulaContext so that it can run, and be fuzzed, apart
// from the reader. It evaluates nothing, adds no parentheses of its own (they appear where the
// tokens hold a parenthesis token) and prints operators without spaces.
//
// How the reader uses it
// ----------------------
// Keep one TFormulaContext as a member and keep it in step with the record loop:
//   - at the start of every Read (and every lookup pass): Reset();
//   - BOF: Version = the reader's Version; a workbook-globals BOF also sets BookVersion;
//   - BOUNDSHEET: SheetNames.push_back(name), in record order, every sheet kind;
//   - NAME: Names.push_back(name) (index 0 already holds "<Np0>");
//   - EXTERNNAME: ExternNames.push_back(name) (index 0 already holds "<Ep0>"), and in BIFF8
//     count it in SupBooks.back().ExternNameCount when a SUPBOOK came before it;
//   - BIFF8 SUPBOOK: SupBooks.push_back(...) with FirstExternName = ExternNames.size() at
//     that moment (see TSupBook);
//   - BIFF8 EXTERNSHEET: one TExternSheet per XTI entry, in order (the record may continue in
//     CONTINUE records; each entry is 6 bytes);
//   - FuncArgSeparator, StrTRUE, StrFALSE: the reader's properties of the same names;
//   - Codepage: the code page that 8-bit text of BIFF2-BIFF5 files is stored in.
// SupBooks and ExternSheets are optional: when ExternSheets is empty a BIFF8 3-D reference takes
// its 2-byte index as a position in SheetNames, which is right for the usual single-workbook
// file where the EXTERNSHEET entries list the sheets in order.
//
// Calls, by record (offsets are into the record body; ExtraLen = body length - (tokens + Len)):
//   FORMULA BIFF2 (0x0006, Version 1): Len = byte at 16, tokens at 17, base 0,0.
//   FORMULA BIFF3/BIFF4 (0x0206, 0x0406): Len = u16 at 16, tokens at 18, base 0,0.
//   FORMULA BIFF5-BIFF8 (0x0006): Len = u16 at 20, tokens at 22, base 0,0; skip it when the first
//     token is 0x01 (the text comes from the SHRFMLA or ARRAY record that follows).
//   SHRFMLA (0x00BC, 0x04BC): Len = u16 at 8, tokens at 10; once per cell of the range (rows
//     outer, columns inner) with BaseCol/BaseRow = that cell; relative references (ptgRefN,
//     ptgAreaN) resolve against it.
//   ARRAY (0x0221 BIFF3/BIFF4: Len = u16 at 8, tokens at 10; 0x0221 BIFF5-BIFF8: Len = u16 at 12,
//     tokens at 14): base 0,0; the text belongs to every cell of the range in its first fields
//     (first row u16 at 0, last row u16 at 2, first column byte at 4, last column byte at 5).
//   NAME (BookVersion >= 4): the definition, base 0,0; text unused, EFormulaListError ignored.
// Data must have Len + ExtraLen readable bytes: pass the lengths of what the record really
// holds (clamp Len to the body when the stored length field claims more).
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace formula {

// A list position that does not exist: the decoder's only exception. Raised for a parenthesis,
// SUM attribute or function call that finds too few operands, a name index beyond Names or
// ExternNames, and a BIFF2-BIFF5 3-D reference to a sheet index beyond SheetNames. For a cell
// formula the reader hands it to its ErrorLevel policy; for a NAME record it is ignored.
class EFormulaListError : public std::runtime_error {
 public:
  explicit EFormulaListError(long long index);
};

// One BIFF8 SUPBOOK record: the workbook (or add-in collection) that EXTERNSHEET entries point at.
struct TSupBook {
  enum TKind : std::uint8_t {
    sbkSelf,      // this workbook (the marker 0x0401 after the sheet count)
    sbkAddIn,     // add-in functions (marker 0x3A01); its EXTERNNAMEs are function names
    sbkExternal,  // another workbook: FileName and its SheetNames
    sbkOther,     // DDE/OLE links and anything unrecognised
  };
  TKind Kind = sbkOther;
  std::string FileName;                 // sbkExternal: the encoded document name, as stored
  std::vector<std::string> SheetNames;  // sbkExternal: the sheet names the record lists
  // Position in TFormulaContext::ExternNames of the first EXTERNNAME that follows this SUPBOOK
  // (ExternNames.size() when the SUPBOOK was read), and how many follow it.
  std::size_t FirstExternName = 1;
  std::size_t ExternNameCount = 0;
};

// One XTI entry of the BIFF8 EXTERNSHEET record.
struct TExternSheet {
  std::uint16_t SupBook = 0;     // index into SupBooks
  std::uint16_t FirstSheet = 0;  // sheet index in that workbook; 0xFFFE/0xFFFF: none or deleted
  std::uint16_t LastSheet = 0;
};

struct TFormulaContext {
  // 1 BIFF2, 2 BIFF3, 3 BIFF4, 4 BIFF5+ BOF in a plain file, 5 BIFF5/BIFF7, 6 BIFF8.
  int BookVersion = 6;  // of the workbook globals: sizes of ptgStr, ptgName, references
  int Version = 6;      // of the BOF now being read: ptgAttr, function numbers, 3-D references
  std::vector<std::string> SheetNames;     // BOUNDSHEET names, 0-based, every sheet kind
  std::vector<std::string> Names;          // "<Np0>", then NAME records: 1-based name index
  std::vector<std::string> ExternNames;    // "<Ep0>", then EXTERNNAME records, 1-based
  std::vector<TSupBook> SupBooks;          // BIFF8 only; may stay empty
  std::vector<TExternSheet> ExternSheets;  // BIFF8 only; may stay empty
  char FuncArgSeparator = ',';             // between function arguments and array elements
  std::string StrTRUE = "TRUE";
  std::string StrFALSE = "FALSE";
  int Codepage = 1252;  // 8-bit text of BIFF2-BIFF5 tokens; BIFF8 8-bit text is Latin-1

  // Empties the lists, puts the placeholders back and keeps the other fields.
  void Reset();
};

// Decodes Len token bytes at Data. ExtraLen bytes of additional data (array constant values)
// follow immediately. Returns the formula text: the top of the operand stack when the tokens end,
// "[ERROR]" when nothing is left, "<Shared>" for a leading ptgExp, "Unknown ptg[XX]" at an
// unknown token, "<Val missing>" where an operator lacks operands. A token string cut short
// inside an operand ends decoding as an unknown token would, with "Truncated ptg[XX]" as its
// text; an array constant whose values run past ExtraLen reads "Truncated array".
// Array constants: a one-column array lists its elements, {1,2,"x"}; one of several columns lists
// its rows with each row's elements in braces, {{1,2},{3,4}}; FuncArgSeparator between items.
// Raises EFormulaListError as described above; never reads outside the given bytes.
std::string DecodeFormula(const TFormulaContext& Context, const std::uint8_t* Data, std::size_t Len,
                          std::size_t ExtraLen, int BaseCol, int BaseRow);

// The A1 text of one cell reference: column letters ("A".."Z", "AA".."IV", and on to "XFD" for
// larger columns), the row as Row + 1, each preceded by "$" when absolute.
std::string CellRefText(int Col, int Row, bool AbsCol, bool AbsRow);

// Error-code texts ("#NULL!", "#DIV/0!" ... "#N/A", else "#???") shared with the cell records.
const char* ErrorText(std::uint8_t Code);

}  // namespace formula
