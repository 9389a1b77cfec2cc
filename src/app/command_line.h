#pragma once

#include <cstdio>
#include <optional>

namespace varrow::app {

// Answers --version and --help, which need no window and no display: prints
// the answer to `out` and gives the exit status. Any other command line gives
// nullopt, and the program starts (Qt takes its own options from it).
std::optional<int> AnswerInformationOption(int argc, const char* const* argv, std::FILE* out);

}  // namespace varrow::app
