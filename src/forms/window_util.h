#pragma once

#include <QDialog>
#include <QList>
#include <QPrinter>
#include <QSize>
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "hosts/messages.h"
#include "hosts/settings_store.h"

class QPushButton;
class QSplitter;
class QWidget;

namespace varrow::platform {
class PrinterSurface;
}

namespace varrow::forms {

// Places a window in the middle of its screen's available area.
void CentreOnScreen(QWidget& window);

// A resizable window (Review Events, Match Report) whose geometry and
// splitter are kept in `section` of the settings for next time.
class LayoutKeepingDialog : public QDialog {
 public:
  LayoutKeepingDialog(SettingsStore& settings, std::string_view section, QWidget* parent);
  // Every way the window closes: keeps its size and splitter.
  void done(int result) override;

 protected:
  // Once splitter_ holds its panes: the layout as the operator left it, else
  // `size` (within the screen), centred, with the panes `sizes(width)`.
  void RestoreLayout(QSize size, const std::function<QList<int>(int width)>& sizes);

  SettingsStore& settings_;
  QSplitter* splitter_ = nullptr;

 private:
  std::string_view section_;
};

// A report window's printer (high resolution, portrait, on Letter where the
// system measures in US units, else A4) and its surface, made with the first
// print: asking the print system for its printers can take a while.
struct ReportPrinter {
  QPrinter& Printer();
  platform::PrinterSurface& Surface();

  std::unique_ptr<QPrinter> printer;
  std::unique_ptr<platform::PrinterSurface> surface;
};

// A modal message box with one OK button: the title, the icon (exclamation
// or information) and the text, whose "\r\n" break its lines.
void ShowMessage(QWidget* parent, std::string_view text, MsgIcon icon, std::string_view title);

// A modal question with a button for each of `buttons`, the first the
// default and the last Escape's; the index of the one pressed.
std::size_t AskQuestion(QWidget* parent, std::string_view text, std::string_view title,
                        const std::vector<std::string>& buttons);

// A file dialog filter in the "description|pattern|..." form, as Qt writes it:
// "Data Files (*.dat)|*.dat" gives "Data Files (*.dat)".
QString QtFileFilter(std::string_view filter);

// A caption too wide for its button wraps onto two lines at its last blank,
// as buttons of this design have always done.
void FitButtonCaption(QPushButton& button);

// Lets a window that was just shown reach the screen (at most `max_ms`),
// handling no input meanwhile. For work that runs without returning to the
// event loop but shows progress.
void WaitUntilExposed(QWidget& window, int max_ms = 500);

}  // namespace varrow::forms
