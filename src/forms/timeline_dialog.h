#pragma once

#include <QDialog>
#include <cstdint>
#include <vector>

#include "analysis/timeline.h"
#include "hosts/settings_store.h"

class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace varrow::forms {

// Settings of the dialog, in a section of their own.
inline constexpr std::string_view kTimelineSettingsSection = "TimelineExport";

// "Export Timeline": where the periods lie on the video (the video time at
// clock 0:00 of each, H:MM:SS), sync points as "clock = video time" lines for
// a clock that was stopped, and the lead and lag of the clips of moments; all
// remembered for next time. Any window that exports a timeline asks with it,
// for the periods it exports (one, or a match's several).
class TimelineExportDialog : public QDialog {
  Q_OBJECT

 public:
  TimelineExportDialog(std::vector<std::int32_t> periods, SettingsStore& settings, QWidget* parent);

  // What was entered, once accepted.
  const TimelineSettings& Settings() const { return chosen_; }
  QLineEdit* VideoStart(std::size_t period_index) const { return starts_[period_index]; }
  QPlainTextEdit* SyncPoints() const { return syncs_; }

 public slots:
  // Reads the fields; a malformed one is named under them and the dialog stays.
  void accept() override;

 private:
  std::vector<std::int32_t> periods_;
  SettingsStore& settings_;
  std::vector<QLineEdit*> starts_;
  QPlainTextEdit* syncs_ = nullptr;
  QDoubleSpinBox* lead_ = nullptr;
  QDoubleSpinBox* lag_ = nullptr;
  QLabel* problem_ = nullptr;
  TimelineSettings chosen_;
};

}  // namespace varrow::forms
