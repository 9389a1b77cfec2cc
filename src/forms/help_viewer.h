#pragma once

#include <QWidget>

class QTextBrowser;

namespace varrow::forms {

// The help viewer: shows the program's HTML help file, opened at its
// contents, in a window of its own beside the main window.
class HelpViewer : public QWidget {
  Q_OBJECT

 public:
  explicit HelpViewer(QWidget* parent);

  // Opens `path` at its contents and brings the viewer to the front. A file
  // that cannot be read is reported in a message box, naming it.
  void ShowFile(const QString& path);
  QTextBrowser* browser() const { return browser_; }

 private:
  QTextBrowser* browser_;
  bool placed_ = false;
};

}  // namespace varrow::forms
