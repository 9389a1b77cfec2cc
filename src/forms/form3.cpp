#include "forms/form3.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QProgressBar>

#include "forms/window_util.h"
#include "platform/twips.h"

namespace varrow::forms {

using platform::TwipsRect;

Form3::Form3(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setObjectName("Form3");
  setWindowTitle("Generating Stats");
  const double dpi = logicalDpiX();
  setFixedSize(TwipsRect(0, 0, 5895, 1350, dpi).size());
  progress_ = new QProgressBar(this);
  progress_->setObjectName("ProgressBar1");
  progress_->setGeometry(TwipsRect(960, 480, 3975, 375, dpi));
  progress_->setTextVisible(false);
  progress_->setRange(0, 100);
  CentreOnScreen(*this);
}

void Form3::SetMax(int maximum) {
  // A maximum of 0 would turn the bar into a busy indicator.
  progress_->setRange(0, std::max(maximum, 1));
  progress_->repaint();
}

void Form3::SetValue(int value) {
  // QProgressBar repaints by itself, at once, whenever the bar visibly grows.
  progress_->setValue(std::clamp(value, progress_->minimum(), progress_->maximum()));
}

void Form3::closeEvent(QCloseEvent* event) {
  // Only the pass may close it (it deletes the window).
  if (event->spontaneous()) {
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}

void Form3::keyPressEvent(QKeyEvent* event) {
  // Escape would close a dialog; this one belongs to the pass.
  if (event->key() == Qt::Key_Escape) return;
  QDialog::keyPressEvent(event);
}

}  // namespace varrow::forms
