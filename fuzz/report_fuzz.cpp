// varrow-report's handling of any file content, through the tool's own entry
// (RunReport) in every output mode: the file is given twice beside a missing
// one, so a match page is made of it. A bad file costs one line on the
// standard error each time it is named and never stops the others, and so
// does a header whose count disagrees with the file, as a warning; the exit
// status says a file failed; JSON output parses, CSV rows all have the
// header's columns, and everything written is UTF-8.
#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "datafile/records.h"
#include "fakes.h"
#include "fuzz_check.h"
#include "report_tool/report_options.h"
#include "report_tool/report_tool.h"
#include "temp_dir.h"

namespace {

using varrow::report::Options;
using varrow::report::OutputFormat;

const varrow::testing::TempDir& Dir() {
  static const varrow::testing::TempDir dir;
  return dir;
}

bool ValidUtf8(std::string_view s) {
  for (std::size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    const int extra = c < 0x80             ? 0
                      : (c & 0xE0) == 0xC0 ? 1
                      : (c & 0xF0) == 0xE0 ? 2
                      : (c & 0xF8) == 0xF0 ? 3
                                           : -1;
    if (extra < 0 || (extra == 1 && c < 0xC2) ||
        i + 1 + static_cast<std::size_t>(extra) > s.size()) {
      return false;
    }
    for (int k = 1; k <= extra; ++k) {
      if ((static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]) & 0xC0) != 0x80) {
        return false;
      }
    }
    i += 1 + static_cast<std::size_t>(extra);
  }
  return true;
}

// A strict JSON reader that only says whether the text is one JSON value.
class JsonCheck {
 public:
  explicit JsonCheck(std::string_view s) : s_(s) {}
  bool Document() {
    Space();
    if (!Value(0)) return false;
    Space();
    return i_ == s_.size();
  }

 private:
  bool Value(int depth) {
    if (depth > 64 || i_ >= s_.size()) return false;
    switch (s_[i_]) {
      case '{':
        return Container(depth, '}', true);
      case '[':
        return Container(depth, ']', false);
      case '"':
        return String();
      case 't':
        return Word("true");
      case 'f':
        return Word("false");
      case 'n':
        return Word("null");
      default:
        return Number();
    }
  }
  bool Container(int depth, char close, bool object) {
    ++i_;
    Space();
    if (i_ < s_.size() && s_[i_] == close) return ++i_, true;
    for (;;) {
      Space();
      if (object) {
        if (!String()) return false;
        Space();
        if (i_ >= s_.size() || s_[i_++] != ':') return false;
        Space();
      }
      if (!Value(depth + 1)) return false;
      Space();
      if (i_ >= s_.size()) return false;
      if (s_[i_] == close) return ++i_, true;
      if (s_[i_++] != ',') return false;
    }
  }
  bool String() {
    if (i_ >= s_.size() || s_[i_++] != '"') return false;
    while (i_ < s_.size()) {
      const auto c = static_cast<unsigned char>(s_[i_++]);
      if (c == '"') return true;
      if (c < 0x20) return false;
      if (c == '\\') {
        if (i_ >= s_.size()) return false;
        const char e = s_[i_++];
        if (e == 'u') {
          for (int k = 0; k < 4; ++k) {
            if (i_ >= s_.size() || !std::isxdigit(static_cast<unsigned char>(s_[i_++]))) {
              return false;
            }
          }
        } else if (std::string_view("\"\\/bfnrt").find(e) == std::string_view::npos) {
          return false;
        }
      }
    }
    return false;
  }
  bool Number() {
    const std::size_t start = i_;
    if (i_ < s_.size() && s_[i_] == '-') ++i_;
    const std::size_t digits = i_;
    while (i_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[i_]))) ++i_;
    if (i_ == digits || (s_[digits] == '0' && i_ - digits > 1)) return false;
    if (i_ < s_.size() && s_[i_] == '.') {
      const std::size_t fraction = ++i_;
      while (i_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[i_]))) ++i_;
      if (i_ == fraction) return false;
    }
    if (i_ < s_.size() && (s_[i_] == 'e' || s_[i_] == 'E')) {
      ++i_;
      if (i_ < s_.size() && (s_[i_] == '+' || s_[i_] == '-')) ++i_;
      const std::size_t exponent = i_;
      while (i_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[i_]))) ++i_;
      if (i_ == exponent) return false;
    }
    return i_ > start;
  }
  bool Word(std::string_view w) {
    if (s_.substr(i_, w.size()) != w) return false;
    i_ += w.size();
    return true;
  }
  void Space() {
    while (i_ < s_.size() && std::string_view(" \t\r\n").find(s_[i_]) != std::string_view::npos) {
      ++i_;
    }
  }
  std::string_view s_;
  std::size_t i_ = 0;
};

// The fields of each CSV row (RFC 4180 quoting); false when a quote is left open.
bool CsvRows(std::string_view s, std::vector<std::size_t>& fields_per_row) {
  std::size_t fields = 1;
  bool quoted = false;
  bool row_open = false;
  for (std::size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    row_open = true;
    if (quoted) {
      if (c == '"') {
        if (i + 1 < s.size() && s[i + 1] == '"') {
          ++i;
        } else {
          quoted = false;
        }
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      ++fields;
    } else if (c == '\n') {
      fields_per_row.push_back(fields);
      fields = 1;
      row_open = false;
    }
  }
  if (row_open) fields_per_row.push_back(fields);
  return !quoted;
}

// Whether the tool must refuse the file, read from its bytes.
bool Bad(const std::vector<std::uint8_t>& file) {
  const std::int64_t whole = static_cast<std::int64_t>(file.size()) / varrow::kRecordLength;
  return file.size() < 3u * varrow::kRecordLength || whole > varrow::kMaxRecordNumber;
}

// Whether the header of a file the tool takes counts records the file does
// not hold (or fewer than 3), which it reports with a warning.
bool CountDisagrees(const std::vector<std::uint8_t>& file) {
  if (Bad(file)) return false;
  const std::int64_t whole = static_cast<std::int64_t>(file.size()) / varrow::kRecordLength;
  varrow::RecordBytes header;
  std::copy_n(file.begin() + 2 * varrow::kRecordLength, header.size(), header.begin());
  const std::int16_t last = varrow::DecodeHeader(header).Last_record;
  return last < varrow::kHeaderRecord || last > whole;
}

// The lines of the standard error naming `name`: the warnings of its header
// count, or its errors.
std::size_t LinesNaming(const std::string& text, const std::string& name, bool warnings) {
  std::size_t count = 0;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    FUZZ_CHECK(line.rfind("varrow-report: ", 0) == 0);
    if (line.find("warning: ") != std::string::npos) {
      count +=
          warnings && line.find("warning: " + name + ": the header counts") != std::string::npos;
    } else {
      count += !warnings && line.find(name) != std::string::npos;
    }
  }
  return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::uint8_t> input(data, data + size);
  const std::string file = Dir().File("period.dat");
  const std::string copy = Dir().File("period_copy.dat");
  const std::string gone = Dir().File("gone.dat");
  // Two files of the same bytes (one file named twice is read once), so the
  // second is read after the first in the same buffers.
  varrow::testing::WriteFileBytes(file, input);
  varrow::testing::WriteFileBytes(copy, input);

  // The mode comes from the length, so the fuzzer reaches each of them.
  Options options;
  options.files = {file, gone, copy};
  const std::size_t mode = size % 8;
  options.format = mode == 1 || mode == 5 || mode == 7 ? OutputFormat::kJson
                   : mode == 2 || mode == 4            ? OutputFormat::kCsv
                                                       : OutputFormat::kText;
  options.by_team = mode == 3;
  options.events = mode == 4 || mode == 5;
  options.possessions = mode >= 6;
  options.analysis = size / 8 % 2 == 1;

  std::ostringstream out;
  std::ostringstream err;
  const int status = varrow::report::RunReport(options, out, err);
  FUZZ_CHECK(status == varrow::report::kExitFailure);  // gone.dat always fails
  FUZZ_CHECK(LinesNaming(err.str(), gone, false) == 1);
  for (const std::string& name : {file, copy}) {
    FUZZ_CHECK(LinesNaming(err.str(), name, false) == (Bad(input) ? 1u : 0u));
    FUZZ_CHECK(LinesNaming(err.str(), name, true) == (CountDisagrees(input) ? 1u : 0u));
  }

  const std::string text = out.str();
  FUZZ_CHECK(ValidUtf8(text));
  if (options.format == OutputFormat::kJson) FUZZ_CHECK(JsonCheck(text).Document());
  if (options.format == OutputFormat::kCsv) {
    std::vector<std::size_t> rows;
    FUZZ_CHECK(CsvRows(text, rows));
    for (const std::size_t fields : rows) FUZZ_CHECK(fields == rows.front());
  }
  return 0;
}
