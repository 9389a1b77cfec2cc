#include "forms/match_report_window.h"

#include <QAction>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPaintEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QResizeEvent>
#include <QScrollBar>
#include <QSplitter>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <sstream>

#include "base/error_numbers.h"
#include "forms/timeline_dialog.h"
#include "forms/window_util.h"
#include "platform/image_surface.h"
#include "platform/printer_surface.h"
#include "platform/qt_conversions.h"
#include "platform/twips.h"
#include "report_tool/qt_render_target.h"
#include "report_tool/report_tool.h"

namespace varrow::forms {

using platform::FromUtf8;

namespace {

// Grey round the sheet, in pixels; the sheet's white margin is the PDF's
// own, 10 points.
constexpr int kGap = 12;
constexpr double kSheetMarginTwips = 200;
// Narrower than this the sheet scrolls sideways instead of shrinking.
constexpr int kNarrowestSheet = 320;
// The page list's data: the page an item shows.
constexpr int kPageRole = Qt::UserRole;

// An image surface that notes how far down it has been drawn on.
class PageImageSurface : public platform::ImageSurface {
 public:
  using ImageSurface::ImageSurface;
  double Bottom() const { return bottom_; }

 protected:
  void AfterPaint(const QRectF& pixels) override { bottom_ = std::max(bottom_, pixels.bottom()); }

 private:
  double bottom_ = 0;
};

}  // namespace

// The sheet: the page's drawing with its margin, on the view's grey.
class PageCanvas : public QWidget {
 public:
  explicit PageCanvas(QWidget* parent) : QWidget(parent) {
    setObjectName("MatchReportPage");
    setAttribute(Qt::WA_OpaquePaintEvent);
  }
  void SetImage(QImage image, int margin) {
    image_ = std::move(image);
    margin_ = margin;
    const QSizeF page = image_.deviceIndependentSize();
    setFixedSize(qCeil(page.width()) + 2 * (margin + kGap),
                 qCeil(page.height()) + 2 * (margin + kGap));
    update();
  }
  const QImage& Image() const { return image_; }

 protected:
  void paintEvent(QPaintEvent* event) override {
    QPainter painter(this);
    painter.fillRect(event->rect(), palette().dark());
    if (image_.isNull()) return;
    const QRect sheet = rect().adjusted(kGap, kGap, -kGap, -kGap);
    painter.fillRect(sheet, Qt::white);
    painter.drawImage(QPointF(sheet.left() + margin_, sheet.top() + margin_), image_);
  }

 private:
  QImage image_;
  int margin_ = 0;
};

MatchPageView::MatchPageView(const report::MatchReport& report, QWidget* parent)
    : QScrollArea(parent), report_(report) {
  setObjectName("MatchReportView");
  canvas_ = new PageCanvas(this);
  setWidget(canvas_);
  setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  setBackgroundRole(QPalette::Dark);
  // A scroll bar that came and went would change the width the page fits.
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

const QImage& MatchPageView::PageImage() const { return canvas_->Image(); }

void MatchPageView::SetPage(int page) {
  page_ = page;
  Render();
  verticalScrollBar()->setValue(0);
}

void MatchPageView::resizeEvent(QResizeEvent* event) {
  QScrollArea::resizeEvent(event);
  Render();
}

void MatchPageView::Render() {
  const int width = viewport()->width();
  if (page_ == rendered_page_ && width == rendered_width_) return;
  rendered_page_ = page_;
  rendered_width_ = width;
  if (page_ < 0) {
    canvas_->SetImage(QImage(), 0);
    return;
  }
  // The printed page, scaled to the width there is; the drawing keeps the
  // PDF's proportions since the surface measures the same page in twips.
  const QSizeF page = report::PdfPageTwips();
  const int sheet = std::max(kNarrowestSheet, width - 2 * kGap);
  const double dpi = sheet * platform::kTwipsPerInch / (page.width() + 2 * kSheetMarginTwips);
  const qreal ratio = devicePixelRatioF();
  PageImageSurface surface(
      QSize(platform::TwipsToPx(page.width(), dpi), platform::TwipsToPx(page.height(), dpi)), dpi,
      ratio);
  report_.DrawPage(static_cast<std::size_t>(page_), surface);
  // Down to where the drawing ends: most pages fill the top of the paper.
  const QImage& drawn = surface.Image();
  const int used = std::min(drawn.height(), qCeil(surface.Bottom() * ratio) + 1);
  QImage shown = drawn.copy(0, 0, drawn.width(), used);
  shown.setDevicePixelRatio(ratio);
  canvas_->SetImage(std::move(shown), platform::TwipsToPx(kSheetMarginTwips, dpi));
}

MatchReportWindow::MatchReportWindow(report::MatchReport report, SettingsStore& settings,
                                     QWidget* parent)
    : LayoutKeepingDialog(settings, kMatchReportSettingsSection, parent),
      report_(std::move(report)) {
  setObjectName("MatchReport");
  setWindowTitle("Match Report");

  auto* layout = new QVBoxLayout(this);
  auto* bar = new QMenuBar(this);
  layout->setMenuBar(bar);
  file_menu_ = bar->addMenu("&File");
  QMenu* go = bar->addMenu("&Go");
  tool_bar_ = new QToolBar(this);
  tool_bar_->setObjectName("MatchReportToolBar");
  tool_bar_->setToolButtonStyle(Qt::ToolButtonTextOnly);
  layout->addWidget(tool_bar_);
  BuildActions(*file_menu_, *go);

  view_ = new MatchPageView(report_);
  splitter_ = new QSplitter(Qt::Horizontal);
  splitter_->setObjectName("MatchReportSplitter");
  splitter_->addWidget(BuildPageList());
  splitter_->addWidget(view_);
  splitter_->setStretchFactor(0, 0);
  splitter_->setStretchFactor(1, 1);
  layout->addWidget(splitter_, 1);

  // Else a size that shows a page beside the list.
  RestoreLayout(QSize(1100, 760), [this](int width) {
    const int list = page_list_->sizeHint().width();
    return QList<int>{list, width - list};
  });

  if (!report_.Pages().empty()) ShowPage(0);
  page_list_->setFocus();
}

MatchReportWindow::~MatchReportWindow() = default;

void MatchReportWindow::BuildActions(QMenu& file, QMenu& go) {
  const bool any = !report_.Pages().empty();
  auto add = [this, any](QMenu& menu, const char* name, const QString& caption,
                         const QKeySequence& key, auto handler) {
    auto* action = new QAction(caption, this);
    action->setObjectName(name);
    action->setShortcut(key);
    action->setEnabled(any);
    connect(action, &QAction::triggered, this, handler);
    menu.addAction(action);
    // The window's own too, so the keys work wherever the focus is.
    addAction(action);
    return action;
  };
  for (QAction* a :
       {add(file, "actionPrint", "&Print...", QKeySequence::Print, [this] { Print(); }),
        add(file, "actionSavePdf", "Save P&DF...", QKeySequence::Save, [this] { SavePdfAs(); }),
        add(file, "actionSavePictures", "Save Pi&ctures...",
            QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), [this] { SavePicturesIn(); }),
        add(file, "actionExportTimeline", "Export &Timeline...", QKeySequence(Qt::CTRL | Qt::Key_T),
            [this] { ExportTimelineAs(); })}) {
    a->setToolTip(a->text().remove('&') + " (" + a->shortcut().toString(QKeySequence::NativeText) +
                  ")");
    tool_bar_->addAction(a);
  }
  file_actions_end_ = file.addSeparator();
  add(file, "actionClose", "&Close", QKeySequence(Qt::CTRL | Qt::Key_W), [this] {
    reject();
  })->setEnabled(true);

  const auto step = [this](int by) {
    const int last = static_cast<int>(report_.Pages().size()) - 1;
    ShowPage(std::clamp(CurrentPage() + by, 0, last));
  };
  const int far = static_cast<int>(report_.Pages().size());
  add(go, "actionNextPage", "&Next Page", QKeySequence(Qt::CTRL | Qt::Key_PageDown),
      [step] { step(1); });
  add(go, "actionPreviousPage", "&Previous Page", QKeySequence(Qt::CTRL | Qt::Key_PageUp),
      [step] { step(-1); });
  add(go, "actionFirstPage", "&First Page", QKeySequence(Qt::CTRL | Qt::Key_Home),
      [step, far] { step(-far); });
  add(go, "actionLastPage", "&Last Page", QKeySequence(Qt::CTRL | Qt::Key_End),
      [step, far] { step(far); });
}

void MatchReportWindow::AddFileAction(QAction* action) {
  action->setEnabled(!report_.Pages().empty());
  file_menu_->insertAction(file_actions_end_, action);
  tool_bar_->addAction(action);
  addAction(action);
}

QWidget* MatchReportWindow::BuildPageList() {
  auto* panel = new QWidget;
  auto* layout = new QVBoxLayout(panel);
  layout->setContentsMargins(0, 0, 0, 0);
  page_list_ = new QTreeWidget;
  page_list_->setObjectName("MatchReportPages");
  page_list_->setColumnCount(2);
  page_list_->setHeaderHidden(true);
  page_list_->setRootIsDecorated(false);
  page_list_->setUniformRowHeights(true);
  // The parts and their pages, each page with its number as Print counts it.
  const std::vector<report::MatchReport::Part>& parts = report_.Parts();
  const std::vector<report::MatchReport::Page>& pages = report_.Pages();
  std::vector<QTreeWidgetItem*> heads;
  for (const report::MatchReport::Part& part : parts) {
    auto* head = new QTreeWidgetItem(page_list_, {FromUtf8(part.title)});
    QFont bold = head->font(0);
    bold.setBold(true);
    head->setFont(0, bold);
    head->setFirstColumnSpanned(true);
    heads.push_back(head);
  }
  for (std::size_t i = 0; i < pages.size(); ++i) {
    auto* item = new QTreeWidgetItem(
        heads[pages[i].part],
        {FromUtf8(report::MatchReport::PageName(pages[i].kind)), QString::number(i + 1)});
    item->setData(0, kPageRole, static_cast<int>(i));
    item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
  }
  page_list_->expandAll();
  page_list_->header()->setStretchLastSection(false);
  page_list_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
  page_list_->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
  connect(page_list_, &QTreeWidget::currentItemChanged, this,
          [this](QTreeWidgetItem* item) { CurrentItemChanged(item); });

  auto* label = new QLabel("&Pages:");
  label->setBuddy(page_list_);
  layout->addWidget(label);
  layout->addWidget(page_list_, 1);

  // Files not reported, and what was reported all the same.
  QStringList notes;
  for (const std::string& line : report_.Unreported()) {
    notes << "Not reported: " + FromUtf8(line).toHtmlEscaped();
  }
  for (const std::string& line : report_.Warnings()) {
    notes << "Warning: " + FromUtf8(line).toHtmlEscaped();
  }
  if (report_.Pages().empty()) notes.prepend("<b>No file could be reported.</b>");
  if (!notes.isEmpty()) {
    auto* box = new QLabel("<p>" + notes.join("</p><p>") + "</p>");
    box->setObjectName("MatchReportNotes");
    box->setTextFormat(Qt::RichText);
    box->setWordWrap(true);
    box->setTextInteractionFlags(Qt::TextSelectableByMouse);
    box->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    layout->addWidget(box);
  }
  return panel;
}

void MatchReportWindow::CurrentItemChanged(QTreeWidgetItem* item) {
  if (item == nullptr) return;
  // A part's heading shows its first page.
  QTreeWidgetItem* page = item->childCount() > 0 ? item->child(0) : item;
  const QVariant index = page->data(0, kPageRole);
  if (index.isValid() && index.toInt() != view_->Page()) view_->SetPage(index.toInt());
}

void MatchReportWindow::ShowPage(int page) {
  if (page < 0 || page >= static_cast<int>(report_.Pages().size())) return;
  const std::size_t part = report_.Pages()[static_cast<std::size_t>(page)].part;
  QTreeWidgetItem* head = page_list_->topLevelItem(static_cast<int>(part));
  for (int i = 0; head != nullptr && i < head->childCount(); ++i) {
    if (head->child(i)->data(0, kPageRole).toInt() == page) {
      page_list_->setCurrentItem(head->child(i));
      break;
    }
  }
  view_->SetPage(page);
}

QString MatchReportWindow::Folder() const {
  const std::vector<std::string>& chosen = report_.ChosenFiles();
  if (chosen.empty()) return QDir::currentPath();
  return QFileInfo(QFile::decodeName(chosen.front().c_str())).absolutePath();
}

void MatchReportWindow::SavePdfAs() {
  QFileDialog dialog(this, "Save PDF", Folder(), "PDF Files (*.pdf)");
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix("pdf");
  dialog.selectFile("match_report.pdf");
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  SavePdf(dialog.selectedFiles().front());
}

void MatchReportWindow::SavePicturesIn() {
  const QString folder = QFileDialog::getExistingDirectory(this, "Save Pictures", Folder());
  if (!folder.isEmpty()) SavePictures(folder);
}

void MatchReportWindow::ExportTimelineAs() {
  TimelineExportDialog times(report_.ReportedPeriods(), settings_, this);
  if (times.exec() != QDialog::Accepted) return;
  QFileDialog dialog(this, "Export Timeline", Folder(), "Timelines (*.xml)");
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix("xml");
  dialog.selectFile("match_timeline.xml");
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  ExportTimeline(dialog.selectedFiles().front(), times.Settings());
}

bool MatchReportWindow::ExportTimeline(const QString& path, const TimelineSettings& settings) {
  const std::string xml_path = QFile::encodeName(path).toStdString();
  if (report_.Pages().empty() || RefusedOverADataFile({xml_path})) return false;
  // The report tool's own run, so the file is the one varrow-report writes;
  // its pages are not wanted here.
  report::Options options;
  options.files = report_.ReportedFiles();
  options.timeline_path = xml_path;
  options.timeline = settings;
  std::ostringstream pages;
  std::ostringstream lines;
  const int status = report::RunReport(options, pages, lines);
  std::string said = lines.str();
  while (!said.empty() && said.back() == '\n') said.pop_back();
  if (status == report::kExitOk) {
    if (!said.empty()) ShowMessage(this, said, MsgIcon::kExclamation, kWarningTitle);
    return true;
  }
  ShowMessage(this, "Cannot export the timeline" + std::string(kCrLf) + said, MsgIcon::kExclamation,
              kErrorTitle);
  return false;
}

bool MatchReportWindow::RefusedOverADataFile(const std::vector<std::string>& outputs) {
  for (const std::string& output : outputs) {
    if (const std::optional<std::string> data = report_.DataFileAt(output)) {
      ShowMessage(this,
                  "Cannot write " + output + std::string(kCrLf) + "over the data file " + *data,
                  MsgIcon::kExclamation, kWarningTitle);
      return true;
    }
  }
  return false;
}

bool MatchReportWindow::SavePdf(const QString& path) {
  const std::string pdf_path = QFile::encodeName(path).toStdString();
  if (report_.Pages().empty() || RefusedOverADataFile({pdf_path})) return false;
  report::QtRenderTarget target(pdf_path, "");
  FileStatus failure;
  report_.DrawPages(0, report_.Pages().size() - 1, *target.Pdf(), [&] {
    failure = target.TakePdfFailure();
    return !failure.ok();
  });
  // A job a failure stopped is abandoned: nothing of it is left.
  if (failure.ok()) failure = target.FinishPdf();
  ShowWarnings(target.TakeWarnings());
  if (failure.ok()) return true;
  ShowError(failure.code(), failure.reason());
  return false;
}

bool MatchReportWindow::SavePictures(const QString& folder) {
  const std::string dir = QFile::encodeName(folder).toStdString();
  std::vector<std::string> outputs;
  for (const std::string& name : report_.ImageFiles()) outputs.push_back(dir + "/" + name);
  if (report_.Pages().empty() || RefusedOverADataFile(outputs)) return false;
  report::QtRenderTarget target("", dir);
  const std::vector<FileStatus> failures = report_.DrawImages(target);
  ShowWarnings(target.TakeWarnings());
  if (failures.empty()) return true;
  // After a failure no more images are written: one message says it.
  ShowError(failures.front().code(), failures.front().reason());
  return false;
}

void MatchReportWindow::Print() {
  const int pages = static_cast<int>(report_.Pages().size());
  if (pages == 0) return;
  QPrinter& printer = printer_.Printer();
  platform::PrinterSurface& surface = printer_.Surface();
  QPrintDialog dialog(&printer, this);
  // Printing to a PDF file is always on offer, also where no printer is set up.
  dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize |
                    QAbstractPrintDialog::PrintCollateCopies |
                    QAbstractPrintDialog::PrintPageRange | QAbstractPrintDialog::PrintCurrentPage);
  dialog.setMinMax(1, pages);
  dialog.setFromTo(1, pages);
  if (dialog.exec() != QDialog::Accepted) return;
  int first = 0;
  int last = pages - 1;
  if (printer.printRange() == QPrinter::PageRange) {
    first = std::clamp(printer.fromPage(), 1, pages) - 1;
    last = std::clamp(printer.toPage(), first + 1, pages) - 1;
  } else if (printer.printRange() == QPrinter::CurrentPage) {
    first = last = CurrentPage();
  }
  const int copies = std::max(1, printer.copyCount());
  // Each copy is a job of its own; a printer that also made copies of each
  // job would multiply them.
  printer.setCopyCount(1);
  std::optional<platform::PrinterFailure> failure;
  const auto failed = [&] {
    failure = surface.TakeFailure();
    return failure.has_value();
  };
  for (int copy = 1; copy <= copies && !failure; ++copy) {
    report_.DrawPages(static_cast<std::size_t>(first), static_cast<std::size_t>(last), surface,
                      failed);
    if (!failure) {
      surface.EndDoc();
      failed();
    }
  }
  if (failure) ShowError(failure->number, failure->description.toStdString());
}

void MatchReportWindow::ShowError(int number, const std::string& description) {
  ShowMessage(this, UnexpectedErrorMessage(number, description), MsgIcon::kExclamation,
              kErrorTitle);
}

void MatchReportWindow::ShowWarnings(const std::vector<std::string>& warnings) {
  for (const std::string& warning : warnings) {
    ShowMessage(this, warning, MsgIcon::kExclamation, kWarningTitle);
  }
}

}  // namespace varrow::forms
