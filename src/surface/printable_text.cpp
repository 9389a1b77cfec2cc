#include "surface/printable_text.h"

namespace varrow {
namespace {

// The length of the valid UTF-8 sequence at the start of `s`, or 0.
std::size_t SequenceLength(std::string_view s) {
  const auto lead = static_cast<unsigned char>(s[0]);
  std::size_t length = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
  } else {
    return 0;
  }
  if (s.size() < length) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) return 0;
  }
  return length;
}

}  // namespace

std::string PrintableText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte < 0x80) {
      out += byte < 0x20 || byte == 0x7F ? '?' : static_cast<char>(byte);
      ++i;
      continue;
    }
    const std::size_t length = SequenceLength(text.substr(i));
    if (length == 0) {
      // A stray byte: 0x80 to 0x9F are the C1 controls of an 8-bit terminal.
      out += byte <= 0x9F ? '?' : static_cast<char>(byte);
      ++i;
      continue;
    }
    // U+0080 to U+009F, the C1 controls, are 0xC2 0x80 to 0xC2 0x9F.
    const bool c1 = byte == 0xC2 && static_cast<unsigned char>(text[i + 1]) <= 0x9F;
    if (c1) {
      out += '?';
    } else {
      out.append(text.substr(i, length));
    }
    i += length;
  }
  return out;
}

}  // namespace varrow
