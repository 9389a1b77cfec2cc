#pragma once

#include <QDialog>

#include "recorder/recorder.h"

namespace varrow::forms {

// "Configuration": the period of a new data file. Each option acts the moment
// it is chosen (the teams change ends at once); OK only closes the window.
class Form5 : public QDialog {
  Q_OBJECT

 public:
  Form5(ProgramState& state, MainControls& controls, QWidget* parent);

 private:
  PeriodWindow period_;
};

}  // namespace varrow::forms
