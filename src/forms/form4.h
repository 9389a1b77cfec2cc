#pragma once

#include <QDialog>

namespace varrow::forms {

// "About": the program's name and version.
class Form4 : public QDialog {
  Q_OBJECT

 public:
  explicit Form4(QWidget* parent);
};

}  // namespace varrow::forms
