// The .xlsx reader over fixtures written by real programs (every value they must hold, from the
// script that made them), and over hostile packages built here byte for byte.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "platform/ByteView.h"
#include "support/CompoundFileWriter.h"
#include "support/MiniJson.h"
#include "support/TempFile.h"
#include "xlsx/PackageWriter.h"
#include "xlsx/XlsxError.h"
#include "xlsx/XlsxReader.h"
#include "xlsx/XmlTrace.h"

namespace {

namespace fs = std::filesystem;
using testbiff::Bytes;
using testbiff::TempFile;
using testxlsx::MinimalBook;
using testxlsx::WriteZip;

const fs::path kData = fs::path(IMPPRET_TEST_DATA) / "xlsx";

const char* KindName(xlsx::CellKind k) {
  switch (k) {
    case xlsx::CellKind::Number: return "number";
    case xlsx::CellKind::Date: return "date";
    case xlsx::CellKind::Bool: return "bool";
    case xlsx::CellKind::Error: return "error";
    default: return "string";
  }
}
const char* TypeName(xlsx::SheetType t) {
  switch (t) {
    case xlsx::SheetType::Chartsheet: return "chartsheet";
    case xlsx::SheetType::Dialogsheet: return "dialogsheet";
    case xlsx::SheetType::Macrosheet: return "macrosheet";
    default: return "worksheet";
  }
}
const char* StateName(xlsx::SheetState s) {
  switch (s) {
    case xlsx::SheetState::Hidden: return "hidden";
    case xlsx::SheetState::VeryHidden: return "veryHidden";
    default: return "visible";
  }
}

class Fixture : public ::testing::TestWithParam<const char*> {};

TEST_P(Fixture, HoldsEveryValueOfItsSourceAndNothingElse) {
  const std::string name = GetParam();
  const testjson::Value want = testjson::ParseFile((kData / (name + ".json")).string());
  xlsx::Book book;
  xlsx::ReadXlsx(kData / (name + ".xlsx"), {}, book);
  EXPECT_EQ(book.date1904, want["date1904"].Bool());
  ASSERT_EQ(book.sheets.size(), want["sheets"].Items().size());
  for (std::size_t i = 0; i < book.sheets.size(); ++i) {
    EXPECT_EQ(book.sheets[i].name, want["sheets"][i][0].String());
    EXPECT_STREQ(TypeName(book.sheets[i].type), want["sheets"][i][1].String().c_str());
    EXPECT_STREQ(StateName(book.sheets[i].state), want["sheets"][i][2].String().c_str());
  }
  std::size_t held = 0;
  for (const xlsx::Sheet& s : book.sheets) held += s.cells.Cells().size();
  EXPECT_EQ(held, want["cells"].Items().size());
  for (const testjson::Value& c : want["cells"].Items()) {
    const auto sheet = static_cast<std::size_t>(c[0].Number());
    const auto row = static_cast<std::uint32_t>(c[1].Number());
    const auto col = static_cast<std::uint16_t>(c[2].Number());
    const std::string where =
        name + " " + std::to_string(sheet) + ":" + std::to_string(row) + "," + std::to_string(col);
    const xlsx::Cell* got = book.sheets.at(sheet).cells.Find(row, col);
    ASSERT_NE(got, nullptr) << where;
    EXPECT_STREQ(KindName(got->kind), c[3].String().c_str()) << where;
    EXPECT_EQ(got->formula, c[5].Bool()) << where;
    if (c[3].String() == "number" || c[3].String() == "date")
      EXPECT_NEAR(got->number, c[4].Number(), 1e-9) << where;
    else if (c[3].String() == "bool")
      EXPECT_EQ(got->id != 0, c[4].Bool()) << where;
    else
      EXPECT_EQ(book.TextOf(book.sheets[sheet], *got), c[4].String()) << where;
  }
}

INSTANTIATE_TEST_SUITE_P(Writers, Fixture,
                         ::testing::Values("xlsxwriter_mixed", "xlsxwriter_inline", "openpyxl_1904",
                                           "libreoffice_mixed", "gnumeric_mixed"));

xlsx::Book ReadBytes(const Bytes& bytes, bool keepFormulas = false) {
  TempFile f(bytes, ".xlsx");
  xlsx::Book book;
  xlsx::ReadXlsx(f.path(), xlsx::ReadOptions{keepFormulas}, book);
  return book;
}

Bytes Zip(const std::string& sheetData, const std::string& strings = "") {
  return WriteZip(MinimalBook(sheetData, strings));
}

TEST(XlsxCells, StrictNamespaceMissingReferencesAndEscapesReadLikeTransitional) {
  const std::string data =
      "<row r=\"2\"><c r=\"B2\" t=\"s\"><v>0</v></c><c><v>7.5</v></c></row>"
      "<row><c t=\"inlineStr\"><is><r><t>Pre</t></r><r><t xml:space=\"preserve\">ț _x000D_"
      "</t></r><rPh><t>fon</t></rPh></is></c><c t=\"str\"><f>A1</f><v></v></c>"
      "<c><f>1+1</f></c><c t=\"s\"><v>9</v></c><c t=\"d\"><v>PT1H30M</v></c></row>";
  const std::string strings = "<si><t>unu</t></si>";
  for (const char* ns : {"", "http://purl.oclc.org/ooxml/spreadsheetml/main"}) {
    const xlsx::Book book = ReadBytes(WriteZip(MinimalBook(data, strings, ns)), true);
    ASSERT_EQ(book.sheets.size(), 1u) << ns;
    const xlsx::Sheet& s = book.sheets[0];
    ASSERT_EQ(s.cells.Cells().size(), 5u) << ns;
    EXPECT_EQ(book.TextOf(s, *s.cells.Find(1, 1)), "unu");
    EXPECT_EQ(s.cells.Find(1, 2)->number, 7.5);                 // no r: the column after the last
    EXPECT_EQ(book.TextOf(s, *s.cells.Find(2, 0)), "Preț \r");  // phonetic run left out
    const xlsx::Cell* empty = s.cells.Find(2, 1);               // a cached empty text is a value
    ASSERT_NE(empty, nullptr);
    EXPECT_TRUE(empty->formula);
    EXPECT_EQ(book.TextOf(s, *empty), "");
    EXPECT_EQ(s.cells.Find(2, 2), nullptr);  // a formula without a cached value is empty
    EXPECT_EQ(s.cells.FormulaOf(2, 2), "1+1");
    EXPECT_EQ(s.cells.Find(2, 3), nullptr);  // a shared string the workbook does not hold
    ASSERT_NE(s.cells.Find(2, 4), nullptr);  // an elapsed time as strict files store it
    EXPECT_EQ(s.cells.Find(2, 4)->kind, xlsx::CellKind::Date);
    EXPECT_DOUBLE_EQ(s.cells.Find(2, 4)->number, 1.5 / 24);
    EXPECT_EQ(s.cells.LastCol(), 4);
    EXPECT_EQ(s.cells.LastRow(), 2);
  }
}

TEST(XlsxCells, OwnXmlReaderGivesExpatsCallsOrHandsTheBytesOver) {
  // Taken by the own reader: the same handler calls as expat, however the bytes are cut.
  const char* taken[] = {
      "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"yes\"?>\r\n<!-- c -->"
      "<?pi x?><x:w a=\"1&amp;&#x41;&#66;\t\r\nz\"><x:c r=\"A1\"><is><t><![CDATA[a\r\nb]]>"
      "&lt;&gt;&quot;&apos;\xC3\xA9\r\r\n\xF0\x9F\x98\x80</t></is></x:c></x:w >\n",
      "<a b='x\"y' c=\"&#10;&#13;\"><b/>x]y]]z<!----><?x-y?></a \r\n><!-- after -->",
  };
  for (const char* xml : taken)
    for (std::size_t piece : {1, 3, 64, 100000}) {
      const testxlsx::XmlVerdict v = testxlsx::CompareXmlReaders(xml, piece);
      EXPECT_TRUE(v.scanned && v.agrees) << xml << " in pieces of " << piece;
    }
  // Handed over to expat, which reads them or refuses them as before.
  const char* handed[] = {
      "<!DOCTYPE a [<!ENTITY e \"x\">]><a>&e;</a>",
      "\xFF\xFE<\0a\0/\0>\0",
      "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>\xE9</a>",
      "<a>&nbsp;</a>",
      "<a></b>",
      "<a>]]></a>",
      "<a b=\"1\" b=\"2\"/>",
      "<a b=\"1\"c=\"2\"/>",
      "<a b=\"<\"/>",
      "<a>\xFF</a>",
      "<a>\x01</a>",
      "<a>\xED\xA0\x80</a>",
      "<a>\xEF\xBF\xBE</a>",
      "<a>&#0;</a>",
      "<a/><b/>",
      "<a>",
      "x<a/>",
      "<a><!-- a--b --></a>",
      " <?xml version=\"1.0\"?><a/>",
      "<a><?xml x?></a>",
      "<?a?b ?><a/>",
      "<\xC3\xA9/>",
  };
  for (const char* xml : handed)
    for (std::size_t piece : {1, 100000})
      EXPECT_FALSE(testxlsx::CompareXmlReaders(xml, piece).scanned) << xml;
  // A sheet handed over late is read again from its start: its cells once, in order.
  const std::string data = "<row r=\"1\"><c r=\"A1\"><v>1</v></c><c r=\"B1\"><v>2</v></c></row>";
  const xlsx::Book book = ReadBytes(WriteZip(MinimalBook(data + "<x\xC3\xA9/>")), false);
  ASSERT_EQ(book.sheets.size(), 1u);
  ASSERT_EQ(book.sheets[0].cells.Cells().size(), 2u);
  EXPECT_EQ(book.sheets[0].cells.Find(0, 1)->number, 2);
}

TEST(XlsxCells, ShortcutsForPlainTagsGiveTheSameCellsStringsAndErrors) {
  const std::string head =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?><worksheet xmlns=\"urn:x\"><dimension "
      "ref=\"A1:Q9\"/><sheetData>";
  const std::string tail = "</sheetData></worksheet>";
  // Each sheet's data, and how many rows, cells and row ends the shortcut takes when fed whole.
  const std::pair<const char*, std::size_t> sheets[] = {
      {"<row r=\"1\" customFormat=\"false\" ht=\"12.75\"><c r=\"A1\" s=\"1\" t=\"s\"><v>1</v>"
       "</c><c r=\"B1\" s=\"0\" t=\"n\"><v> 2.5 </v></c><c r=\"C1\" s=\"1\"><v>45000.25</v></c>"
       "</row><row r=\"3\" customFormat=\"false\" ht=\"12.75\"><c><v>4</v></c></row><row "
       "r=\"5\" customFormat=\"false\" ht=\"12.75\"/>",
       9},
      {"<row r=\"2\"><c r=\"A2\" t=\"str\"><f>A1&amp;B1</f><v>x</v></c><c r=\"B2\" t=\"str\">"
       "<f>B1</f><v></v></c><c r=\"C2\"><f>SUM(A1:B1)</f></c><c t=\"b\"><v>1</v></c><c "
       "t=\"e\"><v>#N/A</v></c><c t=\"d\"><v>2024-01-31</v></c><c t=\"s\"><v>7</v></c><c "
       "t=\"str\"><v>\xC8\x9B"
       "ar</v></c></row>"
       "<row/><row><c/><c s=\"1\"/><c></c><c><v>3</v></c></row><row r=\"9\"/>",
       16},
      // Not in the plainest form, each read tag by tag from its '<' on.
      {"<row r=\"1\"><c r='A1'><v>1</v></c><c r=\"B1\" ><v>2</v></c><c  r=\"C1\"><v>3</v></c>"
       "<c r=\"D1\"><v>&#52;</v></c><c r=\"E1\"><v><![CDATA[5]]></v></c><c r=\"F1\"><!-- -->"
       "<v>6</v></c><c r=\"G1\" cm=\"1\"><v>7</v></c><x:c r=\"H1\"><x:v>8</x:v></x:c><c "
       "r=\"I1\"><v>9]</v></c><c r=\"J1\">\n<v>10</v>\n</c><c r=\"K1\"><v/></c><c r=\"L1\" "
       "t=\"inlineStr\"><is><t>p</t></is></c><c r=\"M1\"><v>1</v><f>x</f></c><c r=\"N1\"><f "
       "t=\"shared\" si=\"0\"/><v>3</v></c><c r=\"O1\"><v>1\r\n2</v></c><c "
       "r=\"Q1\"/></row ><row r=\"2\" spans=\"1:2\" "
       "x14ac:dyDescent=\"0.25\"><c r=\"A2\"><v>1</v></c><x:row r=\"3\"></x:row></row>",
       5},
      // Refused, with the same error (a refused sheet counts nothing taken).
      {"<row r=\"1\"><c r=\"XFE1\"><v>1</v></c></row>", 0},
      {"<row r=\"0\"/>", 0},
      {"<row><c><v>1\xC8</v></c></row>", 0},
      {"<row><c><v>\xEF\xBF\xBE</v></c></row>", 0},
      {"<row><c r=\"A1\" t=\"s\"><v>x</v></c></row>", 0},
      {"<row r=\"1\" r=\"2\"/>", 0},
      {"<row r=\"1\" ht=\"1\"/><row r=\"2\" ht=\"1\" ht=\"1\"/>", 0},
      {"<row><c r=\"A1\" r=\"B1\"/></row>", 0},
      {"<row><x><c r=\"A1\"><v>1</v></c></row></x>", 0},
      {"<row><c r=\"A1\"><v>1</v></c></row><row>", 0},
  };
  for (const auto& [data, taken] : sheets)
    for (bool formulas : {false, true})
      for (std::size_t piece : {std::size_t{1}, std::size_t{7}, std::size_t{100000}}) {
        const std::string xml = head + data + tail;
        const testxlsx::PartRead fast = testxlsx::ReadSheetPart(xml, true, piece, formulas);
        const testxlsx::PartRead slow = testxlsx::ReadSheetPart(xml, false, piece, formulas);
        EXPECT_EQ(fast.log, slow.log) << data << " in pieces of " << piece;
        EXPECT_EQ(slow.taken, 0u);
        if (piece == 100000) {
          EXPECT_EQ(fast.taken, taken) << data;
        }
      }
  // Shared strings, and how many items the shortcut takes when fed whole.
  const std::pair<const char*, std::size_t> strings[] = {
      {"<si><t>unu</t></si><si><t xml:space=\"preserve\"> doi \xC8\x9B </t></si><si><t>a_x000D_"
       "b</t></si><si><t></t></si>",
       4},
      {"<si><r><t>a</t></r><r><t>b</t></r></si><si><t>a&amp;b</t></si><si><t "
       "xml:space='preserve'>x</t></si><si><t>x</t><rPh><t>fon</t></rPh></si><si>\n<t>x</t></si>"
       "<si><t>a\r\nb</t></si><si><t/></si><si><t>y</t></si><rPh><si><t>z</t></si></rPh>",
       1},
      {"<si><t>\xC8</t></si>", 0},
      {"<si><t>x</t></si></sst><sst>", 0},
  };
  for (const auto& [items, taken] : strings)
    for (std::size_t piece : {std::size_t{1}, std::size_t{7}, std::size_t{100000}}) {
      const std::string xml = std::string("<sst>") + items + "</sst>";
      const testxlsx::PartRead fast = testxlsx::ReadStringsPart(xml, true, piece);
      EXPECT_EQ(fast.log, testxlsx::ReadStringsPart(xml, false, piece).log)
          << items << " in pieces of " << piece;
      if (piece == 100000) {
        EXPECT_EQ(fast.taken, taken) << items;
      }
    }
}

TEST(XlsxCells, BlanksCountForTheRangeButTakeNoMemory) {
  std::string data;
  for (int r = 1; r <= 100000; ++r)
    data += "<row r=\"" + std::to_string(r) + "\"><c s=\"1\"/><c s=\"1\"/><c s=\"1\"/></row>";
  data += "<row r=\"100001\"><c r=\"D100001\"><v>1</v></c></row>";
  const xlsx::Book book = ReadBytes(Zip(data));
  const xlsx::SheetCells& cells = book.sheets[0].cells;
  EXPECT_EQ(cells.Cells().size(), 1u);
  EXPECT_LT(cells.MemoryBytes(), 4096u);
  EXPECT_EQ(cells.LastRow(), 100000);
  EXPECT_EQ(cells.LastCol(), 3);
}

struct Hostile {
  const char* what;
  Bytes bytes;
  xlsx::FailReason reason;
  const char* message;  // part of the message
};

// Sets the uncompressed size of every entry, in the local headers and the central directory.
Bytes WithClaimedSize(Bytes z, std::uint32_t size) {
  for (std::size_t i = 0; i + 46 <= z.size(); ++i) {
    if (z[i] == 'P' && z[i + 1] == 'K' && z[i + 2] == 3 && z[i + 3] == 4)
      platform::StoreU32(&z[i + 22], size);
    if (z[i] == 'P' && z[i + 1] == 'K' && z[i + 2] == 1 && z[i + 3] == 2)
      platform::StoreU32(&z[i + 24], size);
  }
  return z;
}

// Sets the CRC of every entry, in the local headers and the central directory.
Bytes WithCrc(Bytes z, std::uint32_t crc) {
  for (std::size_t i = 0; i + 46 <= z.size(); ++i) {
    if (z[i] == 'P' && z[i + 1] == 'K' && z[i + 2] == 3 && z[i + 3] == 4)
      platform::StoreU32(&z[i + 14], crc);
    if (z[i] == 'P' && z[i + 1] == 'K' && z[i + 2] == 1 && z[i + 3] == 2)
      platform::StoreU32(&z[i + 16], crc);
  }
  return z;
}

std::vector<Hostile> HostileCases() {
  std::vector<Hostile> v;
  const Bytes plain = WriteZip(MinimalBook("<row><c><v>1</v></c></row>"), false);
  v.push_back({"entries longer than the directory says", WithClaimedSize(plain, 20),
               xlsx::FailReason::Damaged, "longer than its directory says"});
  v.push_back({"a ZIP bomb: entries claiming gigabytes", WithClaimedSize(plain, 0xFFFFFF00u),
               xlsx::FailReason::Limit, "ZIP bomb"});
  // Deflated entries are inflated by another path than stored ones: the same checks there.
  const Bytes deflated = WriteZip(MinimalBook("<row><c><v>1</v></c></row>"));
  v.push_back({"deflated entries longer than the directory says", WithClaimedSize(deflated, 20),
               xlsx::FailReason::Damaged, "longer than its directory says"});
  v.push_back({"deflated entries shorter than the directory says",
               WithClaimedSize(deflated, 1u << 20), xlsx::FailReason::Damaged,
               "shorter than its directory says"});
  v.push_back({"deflated entries whose CRC is wrong", WithCrc(deflated, 0x12345678u),
               xlsx::FailReason::Damaged, "is damaged"});
  std::vector<testxlsx::Part> dtd =
      MinimalBook("<row><c t=\"inlineStr\"><is><t>&a;</t></is></c></row>");
  dtd[3].second =
      "<?xml version=\"1.0\"?><!DOCTYPE w [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b "
      "\"&a;&a;&a;&a;&a;&a;&a;&a;\">]>" +
      dtd[3].second.substr(dtd[3].second.find("<worksheet"));
  v.push_back({"entity expansion", WriteZip(dtd), xlsx::FailReason::Limit, "document type"});
  v.push_back({"row 10^12", Zip("<row r=\"1000000000000\"><c><v>1</v></c></row>"),
               xlsx::FailReason::Damaged, "out of range"});
  v.push_back({"column XFE", Zip("<row><c r=\"XFE1\"><v>1</v></c></row>"),
               xlsx::FailReason::Damaged, "out of range"});
  v.push_back({"column past XFD by counting", Zip("<row><c r=\"XFD1\"/><c><v>1</v></c></row>"),
               xlsx::FailReason::Damaged, "last column"});
  v.push_back({"XML that is not well formed", Zip("<row><c><v>1</c></row>"),
               xlsx::FailReason::Damaged, "XML is damaged"});
  v.push_back({"a compound file with EncryptedPackage",
               testbiff::WriteCompoundFile(
                   {{"EncryptionInfo", Bytes(200, 4)}, {"EncryptedPackage", Bytes(5000, 7)}}),
               xlsx::FailReason::Encrypted, xlsx::kEncryptedText});
  v.push_back({"no ZIP at all", Bytes(300, 'x'), xlsx::FailReason::NotAPackage, "ZIP"});
  v.push_back({"a ZIP without a workbook", WriteZip({{"a.txt", "text"}}),
               xlsx::FailReason::NotAPackage, "no workbook"});
  return v;
}

TEST(XlsxHostile, EachIsRefusedWithItsReason) {
  for (const Hostile& h : HostileCases()) {
    try {
      ReadBytes(h.bytes);
      ADD_FAILURE() << h.what << ": read";
    } catch (const xlsx::XlsxError& e) {
      EXPECT_EQ(e.Reason(), h.reason) << h.what << ": " << e.what();
      EXPECT_NE(std::strstr(e.what(), h.message), nullptr) << h.what << ": " << e.what();
    }
  }
}

}  // namespace
