#include "report_tool/json_writer.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace varrow::report {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// The length of the valid UTF-8 sequence at the start of `s`, or 0.
std::size_t ValidSequence(std::string_view s) {
  const auto b = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
  const unsigned char c = b(0);
  if (c < 0x80) return 1;
  std::size_t n = 0;
  unsigned lo = 0x80, hi = 0xBF;  // bounds of the second byte
  if (c >= 0xC2 && c <= 0xDF) {
    n = 2;
  } else if (c >= 0xE0 && c <= 0xEF) {
    n = 3;
    if (c == 0xE0) lo = 0xA0;  // no overlong forms
    if (c == 0xED) hi = 0x9F;  // no surrogates
  } else if (c >= 0xF0 && c <= 0xF4) {
    n = 4;
    if (c == 0xF0) lo = 0x90;
    if (c == 0xF4) hi = 0x8F;  // nothing beyond U+10FFFF
  } else {
    return 0;
  }
  if (s.size() < n || b(1) < lo || b(1) > hi) return 0;
  for (std::size_t i = 2; i < n; ++i) {
    if ((b(i) & 0xC0) != 0x80) return 0;
  }
  return n;
}

}  // namespace

void AppendValidUtf8(std::string& out, std::string_view bytes) {
  while (!bytes.empty()) {
    const std::size_t n = ValidSequence(bytes);
    if (n == 0) {
      out += kReplacement;
      bytes.remove_prefix(1);
    } else {
      out.append(bytes.substr(0, n));
      bytes.remove_prefix(n);
    }
  }
}

// Whether every byte can be written as it is: printable ASCII but the quote
// and the backslash. Keys and most values are.
bool Plain(std::string_view text) {
  for (const char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u >= 0x7F || c == '"' || c == '\\') return false;
  }
  return true;
}

void AppendJsonString(std::string& out, std::string_view text) {
  if (Plain(text)) {
    out += '"';
    out += text;
    out += '"';
    return;
  }
  std::string valid;
  AppendValidUtf8(valid, text);
  out += '"';
  constexpr std::string_view kShort = "\"\\\n\r\t";
  constexpr std::string_view kShortEscapes[] = {"\\\"", "\\\\", "\\n", "\\r", "\\t"};
  for (std::size_t i = 0; i < valid.size(); ++i) {
    const auto c = static_cast<unsigned char>(valid[i]);
    if (const std::size_t e = kShort.find(static_cast<char>(c)); e != std::string_view::npos) {
      out += kShortEscapes[e];
      continue;
    }
    // Control characters, DEL and the C1 controls (which a name record's
    // undefined bytes decode to) are escaped, so no reader trips on them.
    unsigned code = 0;
    if (c < 0x20 || c == 0x7F) {
      code = c;
    } else if (c == 0xC2 && i + 1 < valid.size() &&
               static_cast<unsigned char>(valid[i + 1]) < 0xA0) {
      code = static_cast<unsigned char>(valid[++i]);
    } else {
      out += static_cast<char>(c);
      continue;
    }
    char escaped[8];
    std::snprintf(escaped, sizeof escaped, "\\u%04x", code);
    out += escaped;
  }
  out += '"';
}

std::string FloatText(float value) {
  char text[32];
  const auto result = std::to_chars(text, text + sizeof text, value);
  return std::string(text, result.ptr);
}

void JsonWriter::PutLong(std::string_view piece) {
  Done();
  if (piece.size() > pending_.size()) {
    out_.append(piece);
  } else {
    Put(piece);
  }
}

void JsonWriter::Raw(std::string_view json, std::string_view more) {
  BeginValue();
  Put(json);
  Put(more);
}

void JsonWriter::Separate() {
  Level& level = levels_.back();
  if (level.one_line) {
    if (level.has_values) Put(", ");
  } else {
    Put(std::string_view(separator_).substr(level.has_values ? 0 : 1));
  }
  level.has_values = true;
}

void JsonWriter::Key(std::string_view key) {
  BeginValue();
  // Keys are the program's own words: nothing in them needs escaping.
  Put('"');
  Put(key);
  Put("\": ");
  after_key_ = true;
}

void JsonWriter::Open(char bracket, bool one_line) {
  BeginValue();
  Put(bracket);
  // Inside a one-line object everything stays on its line.
  levels_.push_back(Level{.one_line = one_line || (!levels_.empty() && levels_.back().one_line)});
  separator_.append(2, ' ');
}

void JsonWriter::Close(char bracket) {
  const Level level = levels_.back();
  levels_.pop_back();
  separator_.resize(separator_.size() - 2);
  if (level.has_values && !level.one_line) NewLine();
  Put(bracket);
  if (levels_.empty()) {
    Put('\n');
    Done();
  }
}

void JsonWriter::String(std::string_view text) {
  BeginValue();
  if (Plain(text)) {
    Put('"');
    Put(text);
    Put('"');
    return;
  }
  Done();
  AppendJsonString(out_, text);
}

void JsonWriter::Int(std::int64_t value) {
  BeginValue();
  Took(std::to_chars(Room(24), pending_.data() + pending_.size(), value).ptr);
}

void JsonWriter::Fixed(double value, int decimals) {
  BeginValue();
  Took(std::to_chars(Room(64), pending_.data() + pending_.size(), value, std::chars_format::fixed,
                     decimals)
           .ptr);
}

void JsonWriter::Float(float value) {
  BeginValue();
  Put(FloatText(value));
}

void JsonWriter::Bool(bool value) {
  BeginValue();
  Put(value ? std::string_view("true") : std::string_view("false"));
}

void JsonWriter::Null() {
  BeginValue();
  Put("null");
}

}  // namespace varrow::report
