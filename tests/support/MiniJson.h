#pragma once
// A small JSON reader for test expectations (fixture value files, the corpus reference dumps).
// Strict enough for files we trust; throws std::runtime_error on malformed input.
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace testjson {

struct Value;
using Array = std::vector<Value>;
using Object = std::map<std::string, Value>;

struct Value {
  std::variant<std::nullptr_t, bool, double, std::string, std::shared_ptr<Array>,
               std::shared_ptr<Object>>
      v = nullptr;

  bool IsNull() const { return std::holds_alternative<std::nullptr_t>(v); }
  bool IsBool() const { return std::holds_alternative<bool>(v); }
  bool IsNumber() const { return std::holds_alternative<double>(v); }
  bool IsString() const { return std::holds_alternative<std::string>(v); }
  bool IsArray() const { return std::holds_alternative<std::shared_ptr<Array>>(v); }
  bool IsObject() const { return std::holds_alternative<std::shared_ptr<Object>>(v); }
  bool Bool() const { return std::get<bool>(v); }
  double Number() const { return std::get<double>(v); }
  const std::string& String() const { return std::get<std::string>(v); }
  const Array& Items() const { return *std::get<std::shared_ptr<Array>>(v); }
  const Object& Members() const { return *std::get<std::shared_ptr<Object>>(v); }
  // Member by name; a null value when absent.
  const Value& operator[](const std::string& key) const;
  const Value& operator[](std::size_t i) const { return Items().at(i); }
};

Value Parse(std::string_view text);
Value ParseFile(const std::string& path);

}  // namespace testjson
