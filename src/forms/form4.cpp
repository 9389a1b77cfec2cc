#include "forms/form4.h"

#include <QLabel>
#include <QPushButton>

#include "forms/window_util.h"
#include "platform/fonts.h"
#include "platform/twips.h"

namespace varrow::forms {

using platform::TwipsRect;

Form4::Form4(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
  setObjectName("Form4");
  setWindowTitle("About");
  const double dpi = logicalDpiX();
  setFixedSize(TwipsRect(0, 0, 6690, 4005, dpi).size());

  // Labels that size themselves to their text, from their designed corner.
  auto label = [&](const char* name, int left, int top, const QString& text, double points) {
    auto* l = new QLabel(text, this);
    l->setObjectName(name);
    l->setTextFormat(Qt::PlainText);
    l->setFont(platform::SansFont(points));
    l->move(TwipsRect(left, top, 0, 0, dpi).topLeft());
    l->adjustSize();
    return l;
  };
  label("Label1", 1800, 600, "Varrow 2000", 22.5);
  label("Label2", 2760, 1440, "Version 1.0", 13.5);
  label("Label3", 2520, 2160, QString::fromUtf8("\u00A9 2000 Varrow. All rights reserved."), 8.25);
  label("Label4", 2760, 2520, "info@varrow.example", 8.25);

  auto* ok = new QPushButton("OK", this);
  ok->setObjectName("Command1");
  ok->setGeometry(TwipsRect(2880, 3240, 1215, 495, dpi));
  ok->setDefault(true);
  ok->setFocus();
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);

  CentreOnScreen(*this);
}

}  // namespace varrow::forms
