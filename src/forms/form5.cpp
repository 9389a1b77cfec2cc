#include "forms/form5.h"

#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

#include "forms/window_util.h"
#include "platform/twips.h"

namespace varrow::forms {

using platform::TwipsRect;

Form5::Form5(ProgramState& state, MainControls& controls, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      period_(state, controls) {
  setObjectName("Form5");
  setWindowTitle("Configuration");
  const double dpi = logicalDpiX();
  setFixedSize(TwipsRect(0, 0, 3690, 2010, dpi).size());

  auto* frame = new QGroupBox("Period", this);
  frame->setObjectName("Frame1");
  const QRect frame_rect = TwipsRect(120, 120, 1935, 1695, dpi);
  frame->setGeometry(frame_rect);
  // The caption sits on the frame's top line, so the first option, 240
  // twips into the frame, stays clear of it.
  frame->setStyleSheet(
      "QGroupBox { border: 1px solid palette(dark); margin-top: 6px; }"
      "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left;"
      " left: 6px; padding: 0px 2px; background-color: palette(window); }");

  struct Option {
    const char* name;
    const char* caption;
    int top;
    void (PeriodWindow::*handler)();
  };
  const Option options[] = {{"Option1", "1st Half", 360, &PeriodWindow::Option1_Click},
                            {"Option2", "2nd Half", 720, &PeriodWindow::Option2_Click},
                            {"Option3", "Overtime 1", 1080, &PeriodWindow::Option3_Click},
                            {"Option4", "Overtime 2", 1440, &PeriodWindow::Option4_Click}};
  QWidget* previous = nullptr;
  for (const Option& option : options) {
    auto* button = new QRadioButton(option.caption, frame);
    button->setObjectName(option.name);
    // Positions are the window's; the frame is the parent.
    button->setGeometry(
        TwipsRect(360, option.top, 1215, 255, dpi).translated(-frame_rect.topLeft()));
    if (previous == nullptr) {
      button->setChecked(true);
    } else {
      setTabOrder(previous, button);
    }
    // Every click acts at once, by mouse or key, also on the option shown
    // selected when the window opens (its selection does not change then).
    connect(button, &QRadioButton::clicked, this,
            [this, handler = option.handler] { (period_.*handler)(); });
    previous = button;
  }

  auto* ok = new QPushButton("OK", this);
  ok->setObjectName("Command1");
  ok->setGeometry(TwipsRect(2280, 720, 1215, 495, dpi));
  ok->setDefault(true);
  setTabOrder(previous, ok);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);

  CentreOnScreen(*this);
}

}  // namespace varrow::forms
