#pragma once

#include <string>
#include <string_view>

namespace varrow {

// Error numbers the operator can see in an "Unexpected error #" message, besides
// the system's own (errno) numbers. The help guide lists them.
inline constexpr int kBadDataFileError = 1000;  // a data file whose content is wrong
inline constexpr int kPrinterError = 1001;      // the printer could not print
// A common dialog reports the operator's cancel with this number; it is ignored.
inline constexpr int kCancelError = 32755;

// The text of the "ERROR" message box of a command that failed unexpectedly.
// The number shows as its digits only (nothing for 0, as the "#####" pattern
// formats it); the description goes on a line of its own.
inline std::string UnexpectedErrorMessage(int number, std::string_view description) {
  std::string text = "Unexpected error #";
  if (number != 0) text += std::to_string(number);
  text += " occurred: \n";
  text += description;
  return text;
}

}  // namespace varrow
