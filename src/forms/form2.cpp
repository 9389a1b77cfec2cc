#include "forms/form2.h"

#include <QFrame>
#include <QPaintEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPushButton>

#include "base/error_numbers.h"
#include "forms/window_util.h"
#include "platform/picture_surface.h"
#include "platform/printer_surface.h"
#include "platform/twips.h"

namespace varrow::forms {

using platform::TwipsRect;

namespace {

// The inside of Picture1: shows the picture surface.
class PictureCanvas : public QWidget {
 public:
  explicit PictureCanvas(QWidget* parent) : QWidget(parent) {
    setObjectName("Picture1Canvas");
    setAttribute(Qt::WA_OpaquePaintEvent);
  }
  void SetSurface(platform::PictureSurface* surface) { surface_ = surface; }

 protected:
  void paintEvent(QPaintEvent* event) override {
    QPainter painter(this);
    if (surface_ != nullptr) surface_->Render(painter, event->rect());
  }

 private:
  platform::PictureSurface* surface_ = nullptr;
};

}  // namespace

Form2::Form2(ProgramState& state, std::string period_caption, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      window_(state, *this, std::move(period_caption)) {
  setObjectName("Form2");
  setWindowTitle("REPORTS");
  const double dpi = logicalDpiX();
  setFixedSize(TwipsRect(0, 0, 9540, 6855, dpi).size());

  // A thin border round a white drawing area; the field's bottom line, 5250
  // twips down on the shot chart, still fits inside it.
  auto* frame = new QFrame(this);
  frame->setObjectName("Picture1");
  frame->setFrameStyle(QFrame::Box | QFrame::Plain);
  frame->setLineWidth(1);
  frame->setGeometry(TwipsRect(240, 120, kPicture1Width, kPicture1Height, dpi));
  auto* canvas = new PictureCanvas(frame);
  canvas->setGeometry(frame->contentsRect());
  canvas_ = canvas;
  picture_ = std::make_unique<platform::PictureSurface>(*canvas);
  canvas->SetSurface(picture_.get());

  struct Button {
    const char* name;
    const char* caption;
    int left;
    void (ReportsWindow::*handler)();
  };
  const Button buttons[] = {{"Command1", "&GENERAL STATS", 720, &ReportsWindow::Command1_Click},
                            {"Command3", "&SHOT CHART", 2880, &ReportsWindow::Command3_Click},
                            {"Command4", "&PRINT", 5160, &ReportsWindow::Command4_Click},
                            {"Command5", "&CLOSE", 7440, &ReportsWindow::Command5_Click}};
  QWidget* previous = nullptr;
  for (const Button& b : buttons) {
    auto* button = new QPushButton(b.caption, this);
    button->setObjectName(b.name);
    button->setGeometry(TwipsRect(b.left, 5760, 1215, 495, dpi));
    FitButtonCaption(*button);
    connect(button, &QPushButton::clicked, this,
            [this, handler = b.handler] { (window_.*handler)(); });
    if (previous != nullptr) setTabOrder(previous, button);
    previous = button;
  }

  CentreOnScreen(*this);
}

Form2::~Form2() = default;

Surface& Form2::Picture1() { return *picture_; }

void Form2::SetPictureOriginY(float twips) { picture_->SetOriginOffset(0, twips); }

PrintChoice Form2::ShowPrintDialog() {
  QPrintDialog dialog(&printer(), this);
  // Printing to a PDF file is always on offer, also where no printer is set up.
  dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize |
                    QAbstractPrintDialog::PrintCollateCopies);
  if (dialog.exec() != QDialog::Accepted) {
    return PrintChoice{.cancelled = true, .copies = 0, .error = kCancelError, .description = {}};
  }
  const int copies = std::max(1, printer().copyCount());
  // Each copy is a job of its own; a printer that also made copies of each
  // job would multiply them.
  printer().setCopyCount(1);
  return PrintChoice{.cancelled = false, .copies = copies, .error = 0, .description = {}};
}

Surface& Form2::Printer() { return printer_.Surface(); }

std::optional<PrintChoice> Form2::TakePrinterError() {
  if (printer_.surface == nullptr) return std::nullopt;
  const std::optional<platform::PrinterFailure> failure = printer_.surface->TakeFailure();
  if (!failure) return std::nullopt;
  return PrintChoice{.cancelled = false,
                     .copies = 0,
                     .error = failure->number,
                     .description = failure->description.toStdString()};
}

void Form2::MsgBox(std::string_view text, MsgIcon icon, std::string_view title) {
  ShowMessage(this, text, icon, title);
}

void Form2::Close() { done(QDialog::Accepted); }

}  // namespace varrow::forms
