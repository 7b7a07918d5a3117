#pragma once
// A Paradox table opened by name in a folder (the "database name"). Post writes the record to
// the file at once; a writer holds an operating-system lock on the table.
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/db/DbError.h"
#include "platform/db/Field.h"

namespace db {

enum class TableState { Inactive, Browse, Edit, Insert };

class Table {
 public:
  Table();
  ~Table();  // releasing closes (an unposted edit is cancelled)
  Table(const Table&) = delete;
  Table& operator=(const Table&) = delete;

  std::string TableName;               // "Nart" resolves to "NART.DB", "Nart.db"...
  std::filesystem::path DatabaseName;  // the folder

  void Open();  // raises DbError
  void Close();
  bool Active() const;
  TableState State() const;

  // Navigation in the current index order, within the range and filter.
  void First();
  void Next();
  void Prior();
  void Last();
  bool Eof() const;
  bool Bof() const;
  int RecordCount() const;  // records visible (range and filter applied)

  int FieldCount() const;
  Field& Fields(int index);                   // by position, from 0; raises when out of range
  Field& FieldByName(std::string_view name);  // case-insensitive; raises when unknown
  Field* FindField(std::string_view name);    // nullptr when unknown

  // "" is the primary index; otherwise a secondary index named after its field.
  void SetIndexName(const std::string& name);  // raises for an unknown index
  const std::string& IndexName() const;

  // Key search on the current index's first key field(s); true and positioned on the match.
  bool FindKey(const std::vector<KeyValue>& values);

  // Filter of the form  Field = 'literal'  (quotes doubled inside the literal).
  void SetFilter(const std::string& text);  // raises for any other form
  void SetFiltered(bool on);

  // Range on the current index, from start to end values over its first key fields.
  void SetRange(const std::vector<KeyValue>& start, const std::vector<KeyValue>& end);
  void CancelRange();

  // Exact match on the fields named in `fields` ("CodArt;CodPret").
  bool Locate(const std::string& fields, const std::vector<KeyValue>& values);

  void Edit();
  void Append();
  void Post();    // writes the record to the file at once
  void Delete();  // removes the current record from the file at once; the next one is current
  void Cancel();

  // Before a series of writes: raises now the refusal a later write would meet (the table
  // cannot be opened for writing or its lock is held by another program, its journal or
  // primary index cannot be written, a secondary index covers one of the fields in `updated`,
  // or, with `inserts`, any secondary index at all). Changes nothing. With `hold`, keeps the
  // writer's lock until the table is closed.
  void CheckWritable(const std::vector<std::string>& updated, bool inserts, bool hold);
  // Flushes what was written through this table to stable storage.
  void Flush();

  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

// Puts saved images of a table's data file and primary index back over the table at
// `dbFile`, as one journaled post under the table's lock (see TableFile::ReplaceContents).
// False, with nothing written, when `unchanged` (asked under the lock) says the table is no
// longer as expected. Raises DbError when the table cannot be written or an image is not one
// of this table's.
bool ReplaceTableFiles(const std::filesystem::path& dbFile, const std::vector<std::uint8_t>& data,
                       const std::vector<std::uint8_t>& index,
                       const std::function<bool()>& unchanged);

}  // namespace db
