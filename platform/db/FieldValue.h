#pragma once
// Conversions between stored field values and text, integers and floating-point numbers, with
// the process-wide separators and date format.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/db/Field.h"
#include "platform/db/ParadoxFormat.h"

namespace db::value {

std::string FormatNumber(double v);                    // up to 15 significant digits
bool ParseNumber(std::string_view text, double& out);  // decimal separator from the formats
bool ParseInteger(std::string_view text, std::int64_t& out);
std::string FormatDate(std::int64_t days);  // the short date format
bool ParseDate(std::string_view text, std::int64_t& days);
std::string FormatTime(std::int64_t ms);  // HH:MM:SS
bool ParseTime(std::string_view text, std::int64_t& ms);

bool IsNumeric(FieldType t);   // stored as a double
bool IsIntegral(FieldType t);  // stored as a flipped integer
bool IsBlobType(FieldType t);

// A stored value that holds nothing: all zero bytes, or a BCD value whose first byte lacks the
// not-blank bit (0x40) that both its sign markers carry.
bool IsBlankValue(const px::FieldInfo& f, const std::uint8_t* p);

// Milliseconds split into a day number and the time of day, the day rounded toward minus
// infinity so that a moment before day 0 keeps a time of day between 0 and 24 hours.
void SplitMilliseconds(std::int64_t ms, std::int64_t& days, std::int64_t& msOfDay);
// A timestamp's whole milliseconds (rounded down); false when the stored double is no moment.
bool TimestampMilliseconds(const std::uint8_t* p, std::int64_t& ms);

// Text of a stored value ("" when blank).
std::string AsText(const px::FieldInfo& f, const std::uint8_t* p, int codepage);

// Writing: each raises DbError for a value the field cannot take. EncodeText on an alpha field
// returns false (and writes nothing) when the text does not fit the code page or the size.
bool EncodeText(const px::FieldInfo& f, std::string_view text, int codepage, std::uint8_t* out);
void EncodeInteger(const px::FieldInfo& f, std::int64_t v, int codepage, std::uint8_t* out);
void EncodeFloat(const px::FieldInfo& f, double v, int codepage, std::uint8_t* out);

// A search value as the field's stored bytes. False when no stored value can equal it (a
// text the code page cannot hold, a number out of the field's range); raises DbError when
// the value cannot be converted to the field's type at all (letters for a number).
bool EncodeKey(const px::FieldInfo& f, const KeyValue& v, int codepage, std::uint8_t* out);

}  // namespace db::value
