#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace varrow::report {

// Appends a JSON document to a string as it goes, indented two spaces a
// level. Strings are written as valid UTF-8 whatever bytes they hold.
class JsonWriter {
 public:
  explicit JsonWriter(std::string& out) : out_(out) {}

  void BeginObject() { Open('{', false); }
  // An object written on one line, for the many small ones of a long list.
  void BeginLineObject() { Open('{', true); }
  void EndObject() { Close('}'); }
  void BeginArray() { Open('[', false); }
  // An array written on one line, for a short list of numbers.
  void BeginLineArray() { Open('[', true); }
  void EndArray() { Close(']'); }
  // The key of the next value in an object: plain ASCII with no quote or
  // backslash, as every key of the reports is.
  void Key(std::string_view key);

  void String(std::string_view text);
  void Int(std::int64_t value);
  // A number with `decimals` digits after the point.
  void Fixed(double value, int decimals);
  // The shortest text that reads back as the same float.
  void Float(float value);
  void Bool(bool value);
  void Null();
  // A value already written as JSON.
  void Raw(std::string_view json);

  template <typename T>
  void Field(std::string_view key, const T& value) {
    Key(key);
    Value(value);
  }

 private:
  void Value(std::string_view v) { String(v); }
  void Value(const std::string& v) { String(v); }
  void Value(const char* v) { String(v); }
  void Value(std::int64_t v) { Int(v); }
  void Value(int v) { Int(v); }
  void Value(bool v) { Bool(v); }
  void Value(float v) { Float(v); }

  // Starts a value: a comma after an earlier one, and a new line.
  void BeginValue();
  void Open(char bracket, bool one_line);
  void Close(char bracket);
  void NewLine();

  std::string& out_;
  struct Level {
    bool has_values = false;
    bool one_line = false;
  };
  // Each open object or array.
  std::vector<Level> levels_;
  bool after_key_ = false;
};

// Appends `text` to `out` as a JSON string, quotes included.
void AppendJsonString(std::string& out, std::string_view text);

// Appends the bytes as UTF-8: a byte that starts no valid sequence becomes
// U+FFFD. Paths and names may hold any bytes; the outputs are UTF-8.
void AppendValidUtf8(std::string& out, std::string_view bytes);

// The shortest decimal text that reads back as the same float.
std::string FloatText(float value);

}  // namespace varrow::report
