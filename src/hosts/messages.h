#pragma once

#include <string_view>

namespace varrow {

// The vocabulary of the program's message boxes, which every window and the
// core's handlers share.
enum class MsgIcon { kExclamation, kInformation };

// Message box titles.
inline constexpr std::string_view kWarningTitle = "WARNING";
inline constexpr std::string_view kErrorTitle = "ERROR";
inline constexpr std::string_view kDataFileTitle = "Data File";
// Lines of one message are joined by this.
inline constexpr std::string_view kCrLf = "\r\n";

}  // namespace varrow
