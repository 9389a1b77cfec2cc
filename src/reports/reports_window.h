#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "hosts/messages.h"
#include "state/program_state.h"
#include "surface/surface.h"

namespace varrow {

// What the print dialog returned.
struct PrintChoice {
  bool cancelled = false;
  int copies = 1;
  // A failure of the dialog or the printer: its number and description.
  int error = 0;
  std::string description;
};

// The Reports window (Form2) as its logic sees it. The Qt front end
// implements it; tests use a fake with recording surfaces.
class ReportsHost {
 public:
  virtual ~ReportsHost() = default;
  // Picture1: white, keeps its drawing until cleared.
  virtual Surface& Picture1() = 0;
  // Moves Picture1's coordinate origin this many twips down (0 puts it back).
  virtual void SetPictureOriginY(float twips) = 0;
  // The print dialog; selects the printer and the number of copies.
  virtual PrintChoice ShowPrintDialog() = 0;
  // The printer chosen in the last dialog, as a drawing surface.
  virtual Surface& Printer() = 0;
  // The printer's failure since the last call, if any (number, description).
  // The host abandons the print job that failed; the next one starts afresh.
  virtual std::optional<PrintChoice> TakePrinterError() = 0;
  virtual void MsgBox(std::string_view text, MsgIcon icon, std::string_view title) = 0;
  // Closes (unloads) the window.
  virtual void Close() = 0;
};

// Picture1's size in twips.
inline constexpr float kPicture1Width = 9135;
inline constexpr float kPicture1Height = 5295;
// How far SHOT CHART moves Picture1's origin down.
inline constexpr float kShotChartOriginY = 250;

// Form2's handlers. The report selection lives in the program state, so it
// outlives the window.
class ReportsWindow {
 public:
  // `period_caption` is the main window's Label7 caption, shown in the titles.
  ReportsWindow(ProgramState& state, ReportsHost& host, std::string period_caption)
      : state_(state), host_(host), period_caption_(std::move(period_caption)) {}
  void Command1_Click();  // GENERAL STATS
  void Command3_Click();  // SHOT CHART
  void Command4_Click();  // PRINT
  void Command5_Click();  // CLOSE

 private:
  // Shows the printer's failure, if there was one.
  bool PrinterFailed();
  void ShowError(int number, std::string_view description);

  ProgramState& state_;
  ReportsHost& host_;
  std::string period_caption_;
};

}  // namespace varrow
