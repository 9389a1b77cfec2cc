#pragma once

#include <QDialog>

class QProgressBar;

namespace varrow::forms {

// "Generating Stats": the progress of the statistics pass. It has no close
// button; the pass closes it when done.
class Form3 : public QDialog {
  Q_OBJECT

 public:
  explicit Form3(QWidget* parent);

  // Both paint at once: the pass does not return to the event loop.
  void SetMax(int maximum);
  void SetValue(int value);
  QProgressBar* progressBar() const { return progress_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QProgressBar* progress_;
};

}  // namespace varrow::forms
