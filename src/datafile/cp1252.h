#pragma once

#include <string>
#include <string_view>

namespace varrow {

// Team names are stored one byte per character in Windows-1252.

// Whether a character has a byte of its own in Windows-1252.
bool Cp1252Holds(char32_t code_point);

// UTF-8 text to Windows-1252 bytes; a character outside the code page (or a
// malformed UTF-8 sequence) becomes '?'.
std::string Utf8ToCp1252(std::string_view utf8);

// Windows-1252 bytes to UTF-8. The five bytes the code page leaves undefined
// map to the C1 control characters of the same value, so every byte string
// survives a round trip.
std::string Cp1252ToUtf8(std::string_view bytes);

// The text cut after `count` characters, or padded with spaces to `count`.
std::string PadOrCutUtf8(std::string_view utf8, std::size_t count);

}  // namespace varrow
