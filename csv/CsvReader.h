#pragma once
// Reads a delimited text price list (.csv, .txt) as a one-sheet Book whose cells are all text:
// the import's own text-to-number rules then apply to them as to any text cell.
//
// Delimiter: ";", "," or tab, whichever the first lines use most consistently outside quotes.
// Quotes: a field that starts with '"' runs to the next lone '"'; "" inside it is one quote and
// line breaks inside it belong to the field. Encoding: UTF-8 (with or without a byte order
// mark), UTF-16 with its byte order mark, else Windows-1250, else Latin-1 when the bytes hold
// one that Windows-1250 leaves undefined.
#include <filesystem>
#include <string_view>

#include "xlsx/Book.h"

namespace csv {

enum class Encoding { Utf8, Utf16le, Utf16be, Windows1250, Latin1 };

Encoding DetectEncoding(std::string_view bytes);
char DetectDelimiter(std::string_view utf8);

// Raises xlsx::XlsxError (Limit past the largest sheet, NotAPackage when unreadable).
void ReadCsv(const std::filesystem::path& file, xlsx::Book& book);
// The same over bytes in memory; `name` becomes the sheet's name.
void ParseCsv(std::string_view bytes, std::string_view name, xlsx::Book& book);

// True when the bytes look like text a person could have typed: no NUL and hardly any other
// control characters in the first block. Decides, by content, that a file is a .csv.
bool LooksLikeText(std::string_view head);

}  // namespace csv
