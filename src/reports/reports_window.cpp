#include "reports/reports_window.h"

#include "base/error_numbers.h"
#include "reports/report_drawing.h"

namespace varrow {

void ReportsWindow::Command1_Click() {
  state_.Gen_stats_selected = -1;
  state_.Shot_chart_selected = 0;
  Surface& picture = host_.Picture1();
  picture.Cls();
  host_.SetPictureOriginY(0);
  Draw_general_stats(picture, state_, period_caption_);
}

void ReportsWindow::Command3_Click() {
  state_.Gen_stats_selected = 0;
  state_.Shot_chart_selected = -1;
  Surface& picture = host_.Picture1();
  picture.Cls();
  // Down by 250 the whole chart fits the picture box and its text stays above the field.
  host_.SetPictureOriginY(kShotChartOriginY);
  Draw_shot_chart(picture, state_, period_caption_);
}

void ReportsWindow::Command4_Click() {
  if (state_.Gen_stats_selected == 0 && state_.Shot_chart_selected == 0) {
    host_.MsgBox(std::string("Must select GENERAL STATS or") + std::string(kCrLf) +
                     "SHOT CHART before can print",
                 MsgIcon::kExclamation, kWarningTitle);
    return;
  }
  const PrintChoice choice = host_.ShowPrintDialog();
  if (choice.cancelled || choice.error == kCancelError) return;
  if (choice.error != 0) {
    ShowError(choice.error, choice.description);
    return;
  }
  Surface& printer = host_.Printer();
  printer.SetOrientation(kPortrait);
  // Each copy is a print job of its own; a failure skips the copies still to come.
  for (int copy = 1; copy <= choice.copies; ++copy) {
    if (state_.Gen_stats_selected == -1) Draw_general_stats(printer, state_, period_caption_);
    if (PrinterFailed()) return;
    if (state_.Shot_chart_selected == -1) Draw_shot_chart(printer, state_, period_caption_);
    if (PrinterFailed()) return;
    printer.EndDoc();
    if (PrinterFailed()) return;
  }
}

void ReportsWindow::Command5_Click() {
  state_.Gen_stats_selected = 0;
  state_.Shot_chart_selected = 0;
  host_.Close();
}

bool ReportsWindow::PrinterFailed() {
  const std::optional<PrintChoice> failure = host_.TakePrinterError();
  if (!failure) return false;
  ShowError(failure->error, failure->description);
  return true;
}

void ReportsWindow::ShowError(int number, std::string_view description) {
  host_.MsgBox(UnexpectedErrorMessage(number, description), MsgIcon::kExclamation, kErrorTitle);
}

}  // namespace varrow
