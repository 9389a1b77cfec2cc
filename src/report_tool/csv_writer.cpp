#include "report_tool/csv_writer.h"

#include <charconv>

#include "report_tool/json_writer.h"
#include "surface/printable_text.h"

namespace varrow::report {

void CsvWriter::Separate() {
  if (row_started_) out_ += ',';
  row_started_ = true;
}

std::string CsvWriter::Cell(std::string_view text) {
  std::string cell;
  // A spreadsheet takes a cell that begins like this for a formula: a team
  // named "=HYPERLINK(...)" would run as one. The apostrophe makes it text.
  if (!text.empty() && std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos) {
    cell += '\'';
  }
  std::string valid;
  AppendValidUtf8(valid, text);
  // Control characters would reach whoever shows the file: as elsewhere, '?'.
  cell += PrintableText(valid);
  if (cell.find_first_of(",\"") == std::string::npos) return cell;
  std::string quoted = "\"";
  for (const char c : cell) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + '"';
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
