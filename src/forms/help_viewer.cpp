#include "forms/help_viewer.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "forms/window_util.h"
#include "platform/fonts.h"

namespace varrow::forms {

HelpViewer::HelpViewer(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName("HelpViewer");
  setWindowTitle("Varrow Help");
  resize(680, 600);

  browser_ = new QTextBrowser(this);
  browser_->setObjectName("HelpText");
  browser_->setOpenLinks(true);
  browser_->setOpenExternalLinks(false);
  browser_->setFont(platform::SansFont(10));  // reading text, larger than the controls

  auto* contents = new QPushButton("&Contents", this);
  auto* back = new QPushButton("&Back", this);
  auto* forward = new QPushButton("&Forward", this);
  auto* close_button = new QPushButton("C&lose", this);
  back->setEnabled(false);
  forward->setEnabled(false);
  connect(contents, &QPushButton::clicked, browser_, &QTextBrowser::home);
  connect(back, &QPushButton::clicked, browser_, &QTextBrowser::backward);
  connect(forward, &QPushButton::clicked, browser_, &QTextBrowser::forward);
  connect(browser_, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
  connect(browser_, &QTextBrowser::forwardAvailable, forward, &QPushButton::setEnabled);
  connect(close_button, &QPushButton::clicked, this, &QWidget::close);

  auto* buttons = new QHBoxLayout;
  for (QPushButton* b : {contents, back, forward}) buttons->addWidget(b);
  buttons->addStretch();
  buttons->addWidget(close_button);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(buttons);
  layout->addWidget(browser_);
}

void HelpViewer::ShowFile(const QString& path) {
  const QFileInfo info(path);
  if (!info.isFile() || !info.isReadable()) {
    QMessageBox box(QMessageBox::Warning, "Help",
                    QStringLiteral("The help file cannot be opened:\n%1\n\n%2")
                        .arg(path, info.exists() ? QStringLiteral("It cannot be read.")
                                                 : QStringLiteral("It does not exist.")),
                    QMessageBox::Ok, parentWidget());
    box.setTextFormat(Qt::PlainText);
    box.exec();
    return;
  }
  // The file's name does not say it is HTML; tell the browser.
  browser_->setSource(QUrl::fromLocalFile(info.absoluteFilePath()), QTextDocument::HtmlResource);
  browser_->verticalScrollBar()->setValue(0);  // the contents are at the top
  if (!placed_) {
    CentreOnScreen(*this);
    placed_ = true;
  }
  show();
  raise();
  activateWindow();
}

}  // namespace varrow::forms
