#pragma once
// Local SQL: every table the SQL names as a quoted path ("<folder>/NART") is loaded from its
// Paradox file into an in-memory SQLite database under that very name; the SQL text itself
// goes to SQLite unchanged.
#include <memory>
#include <string>

#include "platform/db/DbError.h"
#include "platform/db/Field.h"

namespace db {

class Query {
 public:
  Query();
  ~Query();
  Query(const Query&) = delete;
  Query& operator=(const Query&) = delete;

  std::string SQL;

  void Open();  // raises DbError
  void Close();
  bool Active() const;
  void First();
  void Next();
  bool Eof() const;
  int FieldCount() const;
  Field& Fields(int index);  // read-only: the setters raise

  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

}  // namespace db
