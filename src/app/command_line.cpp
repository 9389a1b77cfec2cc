#include "app/command_line.h"

#include <string_view>

#include "varrow_version.h"

namespace varrow::app {
namespace {

constexpr std::string_view kHelp =
    "Usage: varrow [--version | --help] [Qt options]\n"
    "\n"
    "Records a soccer match live and turns the record into statistics. Starts\n"
    "the main window; File > New creates the data file in the current directory.\n"
    "\n"
    "  --version  Prints the version and exits.\n"
    "  --help     Prints this text and exits.\n"
    "\n"
    "The manual page varrow(1) says more; Help > Help Topics opens the guide.\n";

}  // namespace

std::optional<int> AnswerInformationOption(int argc, const char* const* argv, std::FILE* out) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--version") {
      std::fprintf(out, "varrow %s\n", kVersion);
    } else if (arg == "--help") {
      std::fwrite(kHelp.data(), 1, kHelp.size(), out);
    } else {
      continue;
    }
    return std::fflush(out) == 0 && !std::ferror(out) ? 0 : 1;
  }
  return std::nullopt;
}

}  // namespace varrow::app
