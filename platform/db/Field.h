#pragma once
// A field of the current record of a table or a query. Reads convert the stored value; writes
// need the owning table in edit or append state.
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace db {

enum class FieldType {
  Alpha,
  Date,
  Short,
  Long,
  Currency,
  Number,
  Logical,
  Memo,
  Blob,
  FmtMemo,
  Ole,
  Graphic,
  Time,
  Timestamp,
  AutoInc,
  Bcd,
  Bytes
};

// A value handed to key searches, ranges and locate: null, integer, floating point or text.
using KeyValue = std::variant<std::monostate, std::int64_t, double, std::string>;

class Field {
 public:
  virtual ~Field() = default;
  virtual const std::string& FieldName() const = 0;
  virtual FieldType DataType() const = 0;
  virtual int Size() const = 0;  // alpha length in characters; 0 for the other types
  virtual bool IsNull() const = 0;

  // Text in UTF-8; numbers through the process-wide formats; blank fields read as "" / 0.
  virtual std::string AsString() const = 0;
  virtual std::int32_t AsInteger() const = 0;  // raises when the value is not an integer
  virtual double AsFloat() const = 0;          // raises when the value is not a number
  virtual bool AsBoolean() const = 0;

  virtual void SetAsString(std::string_view value) = 0;
  virtual void SetAsInteger(std::int32_t value) = 0;
  virtual void SetAsFloat(double value) = 0;
  virtual void SetAsBoolean(bool value) = 0;
  virtual void Clear() = 0;  // makes the field blank
};

}  // namespace db
