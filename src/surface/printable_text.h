#pragma once

#include <string>
#include <string_view>

namespace varrow {

// Text made safe for a terminal or a text file: every control character (C0,
// DEL and C1, whether encoded in UTF-8 or a stray byte) becomes one '?', so
// a team or file name can neither break a line nor send an escape sequence.
// Everything else, invalid UTF-8 included, is kept byte for byte, and a
// character stays one character wide.
std::string PrintableText(std::string_view text);

}  // namespace varrow
