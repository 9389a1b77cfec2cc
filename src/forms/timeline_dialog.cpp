#include "forms/timeline_dialog.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/qt_conversions.h"

namespace varrow::forms {
namespace {

constexpr std::string_view kSyncKey = "SyncPoints";
constexpr std::string_view kLeadKey = "Lead";
constexpr std::string_view kLagKey = "Lag";

std::string StartKey(std::int32_t period) { return "VideoStart" + std::to_string(period); }

QString ToQt(std::string_view text) { return platform::FromUtf8(text); }
std::string FromQt(const QString& text) { return text.toUtf8().toStdString(); }

}  // namespace

TimelineExportDialog::TimelineExportDialog(std::vector<std::int32_t> periods,
                                           SettingsStore& settings, QWidget* parent)
    : QDialog(parent), periods_(std::move(periods)), settings_(settings) {
  setObjectName("TimelineExport");
  setWindowTitle("Export Timeline");
  auto* layout = new QVBoxLayout(this);
  auto* intro = new QLabel(
      "Where the match lies in its video: play the video to the kick-off whistle and\n"
      "read its time. Where the clock was stopped while the video ran on, add a sync\n"
      "point: the clock and the video time of the first event after the restart.");
  layout->addWidget(intro);
  auto* form = new QFormLayout;
  layout->addLayout(form);
  const auto get = [&](std::string_view key, std::string_view fallback) {
    return ToQt(settings_.GetSetting(kSettingsApp, kTimelineSettingsSection, key, fallback));
  };
  for (const std::int32_t period : periods_) {
    auto* start = new QLineEdit(get(StartKey(period), "0:00:00"));
    start->setObjectName(ToQt(StartKey(period)));
    start->setPlaceholderText("H:MM:SS");
    const QString caption =
        periods_.size() == 1
            ? QString("&Video time at clock 0:00:")
            : ToQt("Video time at 0:00 of the " + TimelinePeriodName(period) + ":");
    form->addRow(caption, start);
    starts_.push_back(start);
  }
  syncs_ = new QPlainTextEdit(get(kSyncKey, "").replace(';', '\n'));
  syncs_->setObjectName("SyncPoints");
  syncs_->setTabChangesFocus(true);
  syncs_->setPlaceholderText(periods_.size() == 1
                                 ? "clock = video time, one a line: 34:10 = 0:41:55"
                                 : "period@clock = video time: 2@12:00 = 1:15:30");
  syncs_->setFixedHeight(syncs_->fontMetrics().lineSpacing() * 4 + 12);
  form->addRow("&Sync points:", syncs_);
  const auto seconds_box = [&](std::string_view key, const char* name) {
    auto* box = new QDoubleSpinBox;
    box->setObjectName(name);
    box->setRange(0, 600);
    box->setDecimals(1);
    box->setSuffix(" s");
    box->setValue(get(key, "5").toDouble());
    return box;
  };
  lead_ = seconds_box(kLeadKey, "Lead");
  lag_ = seconds_box(kLagKey, "Lag");
  form->addRow("&Lead before shots, goals, corners:", lead_);
  form->addRow("La&g after them:", lag_);
  problem_ = new QLabel;
  problem_->setObjectName("Problem");
  problem_->setStyleSheet("color: #b00000");
  problem_->hide();
  layout->addWidget(problem_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &TimelineExportDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &TimelineExportDialog::reject);
  layout->addWidget(buttons);
}

void TimelineExportDialog::accept() {
  TimelineSettings chosen;
  const auto refuse = [this](QWidget* field, const QString& why) {
    problem_->setText(why);
    problem_->show();
    field->setFocus();
  };
  for (std::size_t i = 0; i < periods_.size(); ++i) {
    const std::optional<VideoMs> start = ParseVideoTime(FromQt(starts_[i]->text().trimmed()));
    if (!start) return refuse(starts_[i], "\"" + starts_[i]->text() + "\" is no time: H:MM:SS");
    chosen.video_starts[periods_[i]] = *start;
  }
  QStringList kept;
  for (const QString& line : syncs_->toPlainText().split('\n', Qt::SkipEmptyParts)) {
    if (line.trimmed().isEmpty()) continue;
    const std::optional<TimelineSync> sync = ParseSyncPoint(FromQt(line), periods_.front());
    const bool known =
        sync && std::find(periods_.begin(), periods_.end(), sync->period) != periods_.end();
    if (!known)
      return refuse(syncs_, "\"" + line.trimmed() + "\" is no sync point: clock = video time");
    chosen.syncs.push_back(*sync);
    kept.push_back(line.trimmed());
  }
  chosen.lead = static_cast<VideoMs>(lead_->value() * 1000 + 0.5);
  chosen.lag = static_cast<VideoMs>(lag_->value() * 1000 + 0.5);
  const auto save = [this](std::string_view key, const QString& value) {
    settings_.SaveSetting(kSettingsApp, kTimelineSettingsSection, key, FromQt(value));
  };
  for (std::size_t i = 0; i < periods_.size(); ++i)
    save(StartKey(periods_[i]), starts_[i]->text().trimmed());
  save(kSyncKey, kept.join(';'));
  save(kLeadKey, QString::number(lead_->value()));
  save(kLagKey, QString::number(lag_->value()));
  chosen_ = std::move(chosen);
  QDialog::accept();
}

}  // namespace varrow::forms
