#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace varrow::testing {

// A JSON value read back from the tool's output, so tests check what a
// consumer sees. Strict: anything that is not JSON fails to parse.
class JsonValue {
 public:
  using Array = std::vector<JsonValue>;
  using Object = std::map<std::string, JsonValue>;

  JsonValue() = default;

  // The value of a whole document, or nothing (with `error` set) when it is
  // not valid JSON.
  static std::optional<JsonValue> Parse(std::string_view text, std::string* error = nullptr);

  bool IsNull() const { return std::holds_alternative<std::monostate>(value_); }

  // These fail the calling test (and return a default) on a type mismatch.
  double Number() const;
  long long Int() const;
  bool Bool() const;
  const std::string& String() const;
  const Array& Items() const;
  const Object& Members() const;
  // A member of an object; a null value when it is missing.
  const JsonValue& operator[](const std::string& key) const;
  const JsonValue& operator[](std::size_t index) const;
  bool Has(const std::string& key) const;

 private:
  friend class JsonParser;
  std::variant<std::monostate, bool, double, std::string, Array, Object> value_;
};

}  // namespace varrow::testing
