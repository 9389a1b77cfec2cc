#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/error_numbers.h"
#include "fakes.h"
#include "reports/reports_window.h"
#include "surface/recording_surface.h"

namespace varrow::testing {

// Form2 with recording surfaces for the picture box and the printer.
class FakeReportsHost : public ReportsHost {
 public:
  Surface& Picture1() override { return picture; }
  void SetPictureOriginY(float twips) override {
    origins.push_back(twips);
    picture_ops_at_origin.push_back(picture.ops().size());
  }
  PrintChoice ShowPrintDialog() override {
    ++dialogs_shown;
    return dialog_answer;
  }
  Surface& Printer() override { return printer; }
  std::optional<PrintChoice> TakePrinterError() override {
    ++printer_checks;
    if (fail_at_check != printer_checks) return std::nullopt;
    return PrintChoice{.error = kPrinterError, .description = "The printer is out of paper."};
  }
  void MsgBox(std::string_view text, MsgIcon icon, std::string_view title) override {
    messages.push_back({std::string(text), icon, std::string(title)});
  }
  void Close() override { ++closed; }

  RecordingSurface picture;
  RecordingSurface printer;
  std::vector<float> origins;
  std::vector<std::size_t> picture_ops_at_origin;
  PrintChoice dialog_answer;
  int dialogs_shown = 0;
  int printer_checks = 0;
  int fail_at_check = 0;  // the printer fails when it is checked this many times
  std::vector<ShownMessage> messages;
  int closed = 0;
};

}  // namespace varrow::testing
