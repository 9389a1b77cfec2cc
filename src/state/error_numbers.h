#pragma once

namespace varrow {

// Error numbers the operator can see in an "Unexpected error #" message, besides
// the system's own (errno) numbers. The help guide lists them.
inline constexpr int kBadDataFileError = 1000;  // a data file whose content is wrong
inline constexpr int kPrinterError = 1001;      // the printer could not print
// A common dialog reports the operator's cancel with this number; it is ignored.
inline constexpr int kCancelError = 32755;

}  // namespace varrow
