#pragma once

#include <QImage>
#include <QScrollArea>
#include <string_view>
#include <vector>

#include "analysis/timeline.h"
#include "forms/window_util.h"
#include "hosts/settings_store.h"
#include "report_tool/match_report.h"

class QAction;
class QMenu;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;

namespace varrow::forms {

class PageCanvas;

// Settings of the window, in a section of their own.
inline constexpr std::string_view kMatchReportSettingsSection = "MatchReport";

// One page of a match report as the PDF prints it, on a white sheet as wide
// as the view (scrolled when it is taller), down to where the page ends.
class MatchPageView : public QScrollArea {
 public:
  explicit MatchPageView(const report::MatchReport& report, QWidget* parent = nullptr);
  // -1 shows none.
  void SetPage(int page);
  int Page() const { return page_; }
  // The page as drawn for the view, at the screen's pixel ratio.
  const QImage& PageImage() const;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void Render();

  const report::MatchReport& report_;
  PageCanvas* canvas_ = nullptr;
  int page_ = -1;
  int rendered_page_ = -1;
  int rendered_width_ = -1;
};

// "Match Report": the pages of the period files of one match (the whole
// match first, then each file's), a page list to move between them, and
// Print, Save PDF and Save Pictures in the File menu and on the tool bar.
// The report knows the pages and their order; this window shows them.
class MatchReportWindow : public LayoutKeepingDialog {
  Q_OBJECT

 public:
  MatchReportWindow(report::MatchReport report, SettingsStore& settings, QWidget* parent);
  ~MatchReportWindow() override;

  // The files and pages shown: ChosenFiles() and ReportedFiles() for an
  // export of the same files.
  const report::MatchReport& Report() const { return report_; }
  QTreeWidget* PageList() const { return page_list_; }
  MatchPageView* PageView() const { return view_; }
  // The File menu's actions that write something (Print, Save PDF, Save
  // Pictures), which the tool bar shows too: `action` joins them after the
  // last, in both, and is enabled while there are pages.
  void AddFileAction(QAction* action);

  int CurrentPage() const { return view_->Page(); }
  void ShowPage(int page);

  // Save PDF... and Save Pictures... once the file or folder is chosen:
  // true when written, else false after the message saying why.
  bool SavePdf(const QString& path);
  bool SavePictures(const QString& folder);
  // Export Timeline... once the video's times and the file are chosen: the
  // files reported, as `varrow-report --timeline` writes them; true when
  // written, else false after the message saying why.
  bool ExportTimeline(const QString& path, const TimelineSettings& settings);
  // Print...: the print dialog (all pages, a range or the page shown), then
  // the pages chosen, in the window's order, one job a copy.
  void Print();

 private:
  void BuildActions(QMenu& file, QMenu& go);
  QWidget* BuildPageList();
  void CurrentItemChanged(QTreeWidgetItem* item);
  void SavePdfAs();
  void SavePicturesIn();
  void ExportTimelineAs();
  // A WARNING and true when one of `outputs` would replace a data file chosen.
  bool RefusedOverADataFile(const std::vector<std::string>& outputs);
  void ShowError(int number, const std::string& description);
  void ShowWarnings(const std::vector<std::string>& warnings);
  QString Folder() const;

  report::MatchReport report_;
  QTreeWidget* page_list_ = nullptr;
  MatchPageView* view_ = nullptr;
  QMenu* file_menu_ = nullptr;
  QToolBar* tool_bar_ = nullptr;
  // Where AddFileAction puts an action in the File menu.
  QAction* file_actions_end_ = nullptr;
  ReportPrinter printer_;
};

}  // namespace varrow::forms
