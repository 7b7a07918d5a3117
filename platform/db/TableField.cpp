// Reading and writing one field of the current record as text, number or flag.
#include <cmath>
#include <cstring>

#include "platform/Codepage.h"
#include "platform/db/TableImpl.h"

namespace db {
namespace {

class TableField final : public Field {
 public:
  TableField(Table::Impl& t, int index) : t_(t), index_(index), info_(t.H().fields[index]) {}

  const std::string& FieldName() const override { return info_.name; }
  FieldType DataType() const override { return info_.type; }
  int Size() const override { return info_.type == FieldType::Alpha ? info_.size : 0; }
  bool IsNull() const override {
    const std::uint8_t* p = Bytes();
    return !p || value::IsBlankValue(info_, p);
  }

  std::string AsString() const override {
    const std::uint8_t* p = Bytes();
    return p ? value::AsText(info_, p, t_.Codepage()) : std::string();
  }
  std::int32_t AsInteger() const override {
    const std::uint8_t* p = Bytes();
    if (!p || value::IsBlankValue(info_, p)) return 0;
    if (value::IsIntegral(info_.type))
      return static_cast<std::int32_t>(px::DecodeInt(p, info_.size));
    if (info_.type == FieldType::Logical) return p[0] & 0x7F ? 1 : 0;
    if (value::IsNumeric(info_.type)) {
      double d = px::DecodeDouble(p);
      if (d == std::floor(d) && std::fabs(d) <= 2147483647.0) return static_cast<std::int32_t>(d);
    } else if (info_.type == FieldType::Alpha) {
      std::int64_t v;
      if (value::ParseInteger(AsString(), v) && v >= INT32_MIN && v <= INT32_MAX)
        return static_cast<std::int32_t>(v);
    }
    throw DbError("'" + AsString() + "' nu este o valoare intreaga (campul \"" + info_.name +
                  "\")");
  }
  double AsFloat() const override {
    const std::uint8_t* p = Bytes();
    if (!p || value::IsBlankValue(info_, p)) return 0;
    if (value::IsNumeric(info_.type) || info_.type == FieldType::Timestamp)
      return px::DecodeDouble(p);
    if (value::IsIntegral(info_.type) || info_.type == FieldType::Date ||
        info_.type == FieldType::Time)
      return static_cast<double>(px::DecodeInt(p, info_.size));
    if (info_.type == FieldType::Logical) return p[0] & 0x7F ? 1 : 0;
    double d;
    if ((info_.type == FieldType::Alpha || info_.type == FieldType::Bcd) &&
        value::ParseNumber(AsString(), d))
      return d;
    throw DbError("'" + AsString() + "' nu este o valoare numerica (campul \"" + info_.name +
                  "\")");
  }
  bool AsBoolean() const override {
    const std::uint8_t* p = Bytes();
    if (!p || value::IsBlankValue(info_, p)) return false;
    if (info_.type == FieldType::Logical) return p[0] & 0x7F;
    return AsFloat() != 0;
  }

  void SetAsString(std::string_view v) override {
    std::uint8_t* p = Writable();
    if (value::EncodeText(info_, v, t_.Codepage(), p)) return;
    std::string bytes;
    if (!platform::FromUtf8(v, t_.Codepage(), bytes))
      throw DbError("Textul '" + std::string(v) +
                    "' contine caractere care nu exista in pagina de cod " +
                    std::to_string(t_.Codepage()) + " a tabelei (campul \"" + info_.name + "\")");
    throw DbError("Textul '" + std::string(v) + "' depaseste lungimea de " +
                  std::to_string(info_.size) + " a campului \"" + info_.name + "\"");
  }
  void SetAsInteger(std::int32_t v) override {
    value::EncodeInteger(info_, v, t_.Codepage(), Writable());
  }
  void SetAsFloat(double v) override { value::EncodeFloat(info_, v, t_.Codepage(), Writable()); }
  void SetAsBoolean(bool v) override {
    if (info_.type == FieldType::Logical) {
      Writable()[0] = v ? 0x81 : 0x80;
      return;
    }
    SetAsInteger(v ? 1 : 0);
  }
  void Clear() override { std::memset(Writable(), 0, static_cast<std::size_t>(info_.size)); }

 private:
  const std::uint8_t* Bytes() const {
    const std::uint8_t* r = t_.Current();
    return r ? r + info_.offset : nullptr;
  }
  std::uint8_t* Writable() {
    if (t_.state != TableState::Edit && t_.state != TableState::Insert)
      throw DbError("Tabela \"" + t_.owner.TableName + "\" nu este in modul de editare");
    if (value::IsBlobType(info_.type) || info_.type == FieldType::Bcd ||
        info_.type == FieldType::Bytes)
      throw DbError("Campul \"" + info_.name + "\" poate fi doar citit");
    return t_.buffer.data() + info_.offset;
  }

  Table::Impl& t_;
  [[maybe_unused]] int index_;
  px::FieldInfo info_;
};

}  // namespace

std::unique_ptr<Field> MakeTableField(Table::Impl& t, int index) {
  return std::make_unique<TableField>(t, index);
}

}  // namespace db
