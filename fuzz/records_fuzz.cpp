// The record codecs on arbitrary bytes: every 20-byte record decodes and
// encodes back to itself, and team names survive the trip through
// Windows-1252 that New and Open make.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "datafile/cp1252.h"
#include "datafile/records.h"
#include "fuzz_check.h"

namespace {

using varrow::RecordBytes;

// Strict UTF-8: no overlong forms, no surrogates, nothing past U+10FFFF.
// Returns the code points, or false for text that is not UTF-8.
bool DecodeUtf8(std::string_view s, std::u32string& out) {
  out.clear();
  for (std::size_t i = 0; i < s.size();) {
    const auto lead = static_cast<unsigned char>(s[i]);
    int extra;
    char32_t cp;
    char32_t min;
    if (lead < 0x80) {
      extra = 0, cp = lead, min = 0;
    } else if ((lead & 0xE0) == 0xC0) {
      extra = 1, cp = lead & 0x1Fu, min = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
      extra = 2, cp = lead & 0x0Fu, min = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
      extra = 3, cp = lead & 0x07u, min = 0x10000;
    } else {
      return false;
    }
    if (i + 1 + static_cast<std::size_t>(extra) > s.size()) return false;
    for (int k = 1; k <= extra; ++k) {
      const auto c = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
      if ((c & 0xC0) != 0x80) return false;
      cp = cp << 6 | (c & 0x3Fu);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    out.push_back(cp);
    i += 1 + static_cast<std::size_t>(extra);
  }
  return true;
}

std::int16_t Le16(const RecordBytes& b, int at) {
  return static_cast<std::int16_t>(b[at] | b[at + 1] << 8);
}

std::uint32_t Le32(const RecordBytes& b, int at) {
  return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8 |
         static_cast<std::uint32_t>(b[at + 2]) << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

void CheckRecord(const RecordBytes& b) {
  const varrow::Header_record h = varrow::DecodeHeader(b);
  FUZZ_CHECK(h.Team_2_color == static_cast<varrow::Color>(Le32(b, 0)));
  FUZZ_CHECK(h.Team_1_color == static_cast<varrow::Color>(Le32(b, 4)));
  FUZZ_CHECK(h.Last_record == Le16(b, 8));
  FUZZ_CHECK(h.Period == Le16(b, 16));
  RecordBytes header_back = varrow::EncodeHeader(h);
  // The two reserved bytes are read but always written as zeros.
  FUZZ_CHECK(header_back[18] == 0 && header_back[19] == 0);
  header_back[18] = b[18];
  header_back[19] = b[19];
  FUZZ_CHECK(header_back == b);

  const varrow::Event_record e = varrow::DecodeEvent(b);
  std::uint32_t x_bits;
  std::memcpy(&x_bits, &e.X, sizeof x_bits);
  FUZZ_CHECK(x_bits == Le32(b, 0));
  FUZZ_CHECK(e.Clock_seconds == Le16(b, 8));
  FUZZ_CHECK(e.Team_color == static_cast<varrow::Color>(Le32(b, 10)));
  FUZZ_CHECK(e.Left_goal == b[16] && e.Right_goal == b[17]);
  FUZZ_CHECK(e.Shot_flag == Le16(b, 18));
  // NaN positions included: the bits go back as they came.
  FUZZ_CHECK(varrow::EncodeEvent(e) == b);

  // Any 20 bytes are a name of 20 characters that encodes back to itself.
  const std::string name = varrow::DecodeName(b);
  std::u32string chars;
  FUZZ_CHECK(DecodeUtf8(name, chars));
  FUZZ_CHECK(chars.size() == varrow::kNameLength);
  FUZZ_CHECK(varrow::EncodeName(name) == b);
  FUZZ_CHECK(varrow::PadOrCutUtf8(name, varrow::kNameLength) == name);
}

// The name typed into a name box, as New stores it and Open shows it again.
void CheckTypedName(std::string_view typed) {
  const std::string padded = varrow::PadOrCutUtf8(typed, varrow::kNameLength);
  const RecordBytes stored = varrow::EncodeName(padded);
  const std::string shown = varrow::DecodeName(stored);
  std::u32string shown_chars;
  FUZZ_CHECK(DecodeUtf8(shown, shown_chars));
  FUZZ_CHECK(shown_chars.size() == varrow::kNameLength);
  FUZZ_CHECK(varrow::EncodeName(shown) == stored);

  std::u32string typed_chars;
  if (!DecodeUtf8(typed, typed_chars)) return;  // a name box only ever holds UTF-8
  std::u32string padded_chars;
  FUZZ_CHECK(DecodeUtf8(padded, padded_chars));
  FUZZ_CHECK(padded_chars.size() == varrow::kNameLength);
  for (std::size_t i = 0; i < varrow::kNameLength; ++i) {
    const char32_t expected = i < typed_chars.size() ? typed_chars[i] : U' ';
    FUZZ_CHECK(padded_chars[i] == expected);
    // A character the code page lacks is stored as '?'; every other one comes back.
    FUZZ_CHECK(shown_chars[i] == expected || (shown_chars[i] == U'?' && stored[i] == '?'));
  }
  // Text made only of code-page characters converts there and back unchanged.
  const std::string bytes = varrow::Utf8ToCp1252(typed);
  FUZZ_CHECK(bytes.size() == typed_chars.size());
  if (bytes.find('?') == std::string::npos) FUZZ_CHECK(varrow::Cp1252ToUtf8(bytes) == typed);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  for (std::size_t at = 0; at + varrow::kRecordLength <= size; at += varrow::kRecordLength) {
    RecordBytes b;
    std::memcpy(b.data(), data + at, b.size());
    CheckRecord(b);
  }
  // The same bytes as typed text: whole, and as the tail after the last whole
  // record (where the fuzzer can grow a short name on its own).
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  CheckTypedName(text);
  CheckTypedName(text.substr(size - size % varrow::kRecordLength));
  return 0;
}
