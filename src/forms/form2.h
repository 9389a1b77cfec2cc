#pragma once

#include <QDialog>
#include <memory>
#include <string>

#include "forms/window_util.h"
#include "reports/reports_window.h"

namespace varrow::platform {
class PictureSurface;
}  // namespace varrow::platform

namespace varrow::forms {

// "REPORTS": shows the general statistics or the shot chart in Picture1 and
// prints the one chosen. The buttons go straight to ReportsWindow's handlers;
// this class is their window, picture box, print dialog and printer.
class Form2 : public QDialog, public ReportsHost {
  Q_OBJECT

 public:
  // `period_caption` is the main window's period box, shown in the titles.
  Form2(ProgramState& state, std::string period_caption, QWidget* parent);
  ~Form2() override;

  // The picture box's drawing area.
  QWidget* pictureCanvas() const { return canvas_; }
  platform::PrinterSurface& printerSurface() { return printer_.Surface(); }
  QPrinter& printer() { return printer_.Printer(); }

  // ReportsHost.
  Surface& Picture1() override;
  void SetPictureOriginY(float twips) override;
  PrintChoice ShowPrintDialog() override;
  Surface& Printer() override;
  std::optional<PrintChoice> TakePrinterError() override;
  void MsgBox(std::string_view text, MsgIcon icon, std::string_view title) override;
  void Close() override;

 private:
  QWidget* canvas_ = nullptr;
  std::unique_ptr<platform::PictureSurface> picture_;
  ReportPrinter printer_;
  ReportsWindow window_;
};

}  // namespace varrow::forms
