// The .csv reader: encodings decided from the bytes, delimiters from the first lines, quotes.
#include <gtest/gtest.h>

#include "csv/CsvReader.h"
#include "xlsx/XlsxError.h"

namespace {

struct CsvCase {
  const char* what;
  std::string bytes;
  // Expected cells, row by row, "|" between the fields of a row ("" = no cell).
  std::vector<std::string> rows;
};

std::vector<std::string> Rows(const xlsx::Book& book) {
  const xlsx::Sheet& s = book.sheets.at(0);
  std::vector<std::string> out(static_cast<std::size_t>(s.cells.LastRow() + 1));
  std::vector<int> cols(out.size(), 0);
  for (const xlsx::Cell& c : s.cells.Cells()) {
    EXPECT_EQ(c.kind, xlsx::CellKind::Text);
    std::string& line = out[c.row];
    for (; cols[c.row] < c.col; ++cols[c.row]) line += '|';
    line += book.TextOf(s, c);
  }
  return out;
}

TEST(CsvRead, EncodingsDelimitersAndQuotes) {
  const std::vector<CsvCase> cases = {
      {"semicolons, UTF-8 with a byte order mark, a decimal comma",
       "\xEF\xBB\xBF"
       "Cod;Denumire;Pre\xC8\x9B\r\n101;\xC8\x98urub;12,50\r\n",
       {"Cod|Denumire|Pre\xC8\x9B", "101|\xC8\x98urub|12,50"}},
      {"commas with quoted commas, doubled quotes and a line break inside quotes",
       "a,\"b,c\",\"say \"\"da\"\"\"\n\"two\nlines\",,x\n",
       {"a|b,c|say \"da\"", "two\nlines||x"}},
      {"tabs beat the commas inside the fields", "1,5\t2,5\tx\n3\t4\ty\n", {"1,5|2,5|x", "3|4|y"}},
      {"Windows-1250 Romanian letters",
       "\xBA\xFE\xE3\xAA;\xDE\xEE\n",
       {"\xC5\x9F\xC5\xA3\xC4\x83\xC5\x9E|\xC5\xA2\xC3\xAE"}},
      {"Latin-1 when a byte is undefined in Windows-1250",
       "caf\xE9\x81;x\n",
       {"caf\xC3\xA9\xC2\x81|x"}},
      {"UTF-16 with its byte order mark",
       std::string("\xFF\xFE"
                   "a\0;\0b\0\n\0",
                   10),
       {"a|b"}},
      {"blank lines and a last line without a break", "a;b\n\n;c", {"a|b", "", "|c"}},
      {"an unterminated quote runs to the end", "x;\"open\n;", {"x|open\n;"}},
  };
  for (const CsvCase& c : cases) {
    xlsx::Book book;
    csv::ParseCsv(c.bytes, "Lista", book);
    ASSERT_EQ(book.sheets.size(), 1u) << c.what;
    EXPECT_EQ(book.sheets[0].name, "Lista");
    EXPECT_EQ(Rows(book), c.rows) << c.what;
  }
}

TEST(CsvRead, TextIsRecognisedByItsBytesAndRowsAreBounded) {
  EXPECT_TRUE(csv::LooksLikeText("Cod;Pret\r\n1;2\r\n"));
  EXPECT_TRUE(
      csv::LooksLikeText(std::string("\xFF\xFE"
                                     "a\0",
                                     4)));
  EXPECT_FALSE(csv::LooksLikeText(std::string("PK\3\4\0\0", 6)));
  EXPECT_FALSE(csv::LooksLikeText(""));
  std::string tooMany(1048577, '\n');
  tooMany += "x";
  xlsx::Book book;
  EXPECT_THROW(csv::ParseCsv(tooMany, "L", book), xlsx::XlsxError);
  std::string wide(16384, ';');
  wide += "x";
  EXPECT_THROW(csv::ParseCsv(wide, "L", book), xlsx::XlsxError);
}

}  // namespace
