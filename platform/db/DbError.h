#pragma once
#include <stdexcept>

namespace db {

// Every failure of the table engine (missing table, bad filter, locked file, damaged file...).
class DbError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace db
