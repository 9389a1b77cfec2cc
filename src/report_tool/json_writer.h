#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace varrow::report {

// Appends a JSON document to a string, indented two spaces a level; the
// string holds all of it once the outermost object or array is closed.
// Strings are written as valid UTF-8 whatever bytes they hold.
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
  // A value already written as JSON, in one piece or two.
  void Raw(std::string_view json, std::string_view more = {});

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
  void BeginValue() {
    if (after_key_) {
      after_key_ = false;
    } else if (!levels_.empty()) {
      Separate();
    }
  }
  void Separate();
  void Open(char bracket, bool one_line);
  void Close(char bracket);
  void NewLine() { Put(std::string_view(separator_).substr(1)); }
  // The document is gathered in `pending_` and handed to `out_` a few
  // kilobytes at a time, and at its end: a report writes hundreds of
  // thousands of small values.
  [[gnu::always_inline]] void Put(std::string_view piece) {
    if (piece.size() > pending_.size() - pending_size_) [[unlikely]] {
      PutLong(piece);
      return;
    }
    // An empty view may have no data at all, which memcpy must not be given.
    if (piece.empty()) return;
    std::memcpy(pending_.data() + pending_size_, piece.data(), piece.size());
    pending_size_ += piece.size();
  }
  void PutLong(std::string_view piece);
  void Put(char c) { Put(std::string_view(&c, 1)); }
  // Room for `bytes` more written in place, then how far they reached.
  char* Room(std::size_t bytes) {
    if (pending_.size() - pending_size_ < bytes) Done();
    return pending_.data() + pending_size_;
  }
  void Took(const char* end) { pending_size_ = static_cast<std::size_t>(end - pending_.data()); }
  void Done() {
    out_.append(pending_.data(), pending_size_);
    pending_size_ = 0;
  }

  std::string& out_;
  std::array<char, 4096> pending_;
  std::size_t pending_size_ = 0;
  struct Level {
    bool has_values = false;
    bool one_line = false;
  };
  // Each open object or array.
  std::vector<Level> levels_;
  // What goes between two values on lines of their own at this depth.
  std::string separator_ = ",\n";
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
