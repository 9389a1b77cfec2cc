#include "forms/window_util.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLayout>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QStringList>
#include <QStyle>
#include <QThread>
#include <QWidget>
#include <QWindow>
#include <algorithm>

#include "platform/printer_surface.h"
#include "platform/qt_conversions.h"

namespace varrow::forms {
using platform::FromUtf8;

void CentreOnScreen(QWidget& window) {
  QScreen* screen = window.screen() != nullptr ? window.screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  // Before the first show the layout has not given the window its size yet.
  if (window.layout() != nullptr) window.layout()->activate();
  QRect frame = window.frameGeometry();
  frame.moveCenter(screen->availableGeometry().center());
  window.move(frame.topLeft());
}

namespace {
constexpr std::string_view kGeometryKey = "Geometry";
constexpr std::string_view kSplitterKey = "Splitter";
}  // namespace

LayoutKeepingDialog::LayoutKeepingDialog(SettingsStore& settings, std::string_view section,
                                         QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint),
      settings_(settings),
      section_(section) {
  setSizeGripEnabled(true);
}

void LayoutKeepingDialog::RestoreLayout(QSize size,
                                        const std::function<QList<int>(int width)>& sizes) {
  const std::string geometry = settings_.GetSetting(kSettingsApp, section_, kGeometryKey, "");
  const std::string split = settings_.GetSetting(kSettingsApp, section_, kSplitterKey, "");
  if (geometry.empty() ||
      !restoreGeometry(QByteArray::fromBase64(QByteArray::fromStdString(geometry)))) {
    if (const QScreen* screen = this->screen()) {
      size = size.boundedTo(screen->availableGeometry().size() * 9 / 10);
    }
    resize(size);
    splitter_->setSizes(sizes(size.width()));
    CentreOnScreen(*this);
  }
  if (!split.empty())
    splitter_->restoreState(QByteArray::fromBase64(QByteArray::fromStdString(split)));
}

void LayoutKeepingDialog::done(int result) {
  settings_.SaveSetting(kSettingsApp, section_, kGeometryKey,
                        saveGeometry().toBase64().toStdString());
  settings_.SaveSetting(kSettingsApp, section_, kSplitterKey,
                        splitter_->saveState().toBase64().toStdString());
  QDialog::done(result);
}

QPrinter& ReportPrinter::Printer() {
  if (printer == nullptr) {
    printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setPageSize(QPageSize(
        QLocale::system().measurementSystem() == QLocale::ImperialUSSystem ? QPageSize::Letter
                                                                           : QPageSize::A4));
    printer->setPageOrientation(QPageLayout::Portrait);
    surface = std::make_unique<platform::PrinterSurface>(*printer);
  }
  return *printer;
}

platform::PrinterSurface& ReportPrinter::Surface() {
  Printer();
  return *surface;
}

void ShowMessage(QWidget* parent, std::string_view text, MsgIcon icon, std::string_view title) {
  QString body = FromUtf8(text);
  body.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  body.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  QMessageBox box(icon == MsgIcon::kInformation ? QMessageBox::Information : QMessageBox::Warning,
                  FromUtf8(title), body, QMessageBox::Ok, parent);
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

std::size_t AskQuestion(QWidget* parent, std::string_view text, std::string_view title,
                        const std::vector<std::string>& buttons) {
  QString body = FromUtf8(text);
  body.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  QMessageBox box(QMessageBox::Question, FromUtf8(title), body, QMessageBox::NoButton, parent);
  box.setTextFormat(Qt::PlainText);
  std::vector<QAbstractButton*> added;
  for (const std::string& name : buttons) {
    added.push_back(box.addButton(FromUtf8(name), QMessageBox::AcceptRole));
  }
  box.setDefaultButton(qobject_cast<QPushButton*>(added.front()));
  box.setEscapeButton(added.back());
  box.exec();
  const auto pressed = std::find(added.begin(), added.end(), box.clickedButton());
  return pressed == added.end() ? added.size() - 1
                                : static_cast<std::size_t>(pressed - added.begin());
}

QString QtFileFilter(std::string_view filter) {
  const QStringList parts = FromUtf8(filter).split(QLatin1Char('|'));
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    const QString& description = parts[i];
    QString patterns = parts[i + 1];
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    // Qt reads the patterns from the parentheses at the end of the description.
    if (description.endsWith(QStringLiteral("(%1)").arg(patterns))) {
      filters << description;
    } else {
      filters << QStringLiteral("%1 (%2)").arg(description, patterns);
    }
  }
  if (parts.size() == 1) filters << parts.front();
  return filters.join(QStringLiteral(";;"));
}

void FitButtonCaption(QPushButton& button) {
  const QString caption = button.text();
  QString shown = caption;
  shown.replace(QStringLiteral("&&"), QStringLiteral("\x01")).remove(QLatin1Char('&'));
  const int margin = button.style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, &button);
  const int room = button.width() - margin;
  if (button.fontMetrics().horizontalAdvance(shown) <= room) return;
  const qsizetype blank = caption.lastIndexOf(QLatin1Char(' '));
  if (blank > 0) button.setText(caption.left(blank) + QLatin1Char('\n') + caption.mid(blank + 1));
}

void WaitUntilExposed(QWidget& window, int max_ms) {
  QElapsedTimer clock;
  clock.start();
  while (window.windowHandle() == nullptr || !window.windowHandle()->isExposed()) {
    if (clock.elapsed() > max_ms) break;
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    QThread::msleep(1);
  }
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  window.repaint();
}

}  // namespace varrow::forms
