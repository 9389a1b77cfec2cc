#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace varrow::report {

// Appends CSV rows to a string (RFC 4180: comma separated, a field with a
// comma or a quote quoted; rows end in a line feed). Text is written as valid
// UTF-8 whatever bytes it holds, with control characters as '?', and a text
// that begins with =, +, -, @, a tab or a carriage return gets a leading
// apostrophe, so that no spreadsheet takes it for a formula.
class CsvWriter {
 public:
  explicit CsvWriter(std::string& out) : out_(out) {}

  void Text(std::string_view text) { Raw(Cell(text)); }
  // The field Text writes for `text`, for a caller that writes it many times.
  static std::string Cell(std::string_view text);
  void Int(std::int64_t value);
  void Raw(std::string_view text);  // a field that needs no quoting
  void Empty() { Raw(""); }
  void EndRow();

 private:
  void Separate();
  std::string& out_;
  bool row_started_ = false;
};

}  // namespace varrow::report
