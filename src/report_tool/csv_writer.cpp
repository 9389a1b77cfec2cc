#include "report_tool/csv_writer.h"

#include <charconv>

#include "report_tool/json_writer.h"

namespace varrow::report {

void CsvWriter::Separate() {
  if (row_started_) out_ += ',';
  row_started_ = true;
}

void CsvWriter::Text(std::string_view text) {
  Separate();
  std::string valid;
  AppendValidUtf8(valid, text);
  if (valid.find_first_of(",\"\r\n") == std::string::npos) {
    out_ += valid;
    return;
  }
  out_ += '"';
  for (const char c : valid) {
    if (c == '"') out_ += '"';
    out_ += c;
  }
  out_ += '"';
}

void CsvWriter::Int(std::int64_t value) {
  Separate();
  char text[24];
  const auto result = std::to_chars(text, text + sizeof text, value);
  out_.append(text, result.ptr);
}

void CsvWriter::Raw(std::string_view text) {
  Separate();
  out_ += text;
}

void CsvWriter::EndRow() {
  out_ += '\n';
  row_started_ = false;
}

}  // namespace varrow::report
