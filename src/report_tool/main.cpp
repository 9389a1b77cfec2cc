// varrow-report: statistics of Varrow's data files from the command line.
#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "report_tool/report_options.h"
#include "report_tool/report_tool.h"

#ifdef VARROW_REPORT_RENDERING
#include <QGuiApplication>
#include <QtGlobal>

#include "platform/fonts.h"
#include "report_tool/qt_render_target.h"
#include "surface/printable_text.h"
#endif

namespace {

#ifdef VARROW_REPORT_RENDERING
// The standard error is the tool's channel for its one-line failures, each
// naming the file and the reason: Qt's own chatter (a missing runtime
// directory, font notes, a library's warnings) stays off it. Only a fatal
// message, after which the tool cannot go on, is shown.
void QuietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtFatalMsg) {
    std::cerr << "varrow-report: " << varrow::PrintableText(message.toStdString()) << '\n';
  }
}

// PDF and PNG need fonts, so a QGuiApplication. It opens no window, so it
// runs on the offscreen platform unless told otherwise: no display is
// needed, and a display that cannot be reached does not stop it.
int RunRendering(const varrow::report::Options& options, int argc, char** argv) {
  qInstallMessageHandler(QuietQtMessages);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  varrow::platform::InstallFontSubstitutions();
  varrow::report::QtRenderTarget target(options.pdf_path, options.png_dir);
  return varrow::report::RunReport(options, std::cout, std::cerr, &target);
}
#endif

}  // namespace

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  // Under a file size limit a write past it fails with EFBIG, which names the
  // output in the usual line, instead of killing the tool half way.
  std::signal(SIGXFSZ, SIG_IGN);
  const std::vector<std::string> args(argv + 1, argv + argc);
  const varrow::report::ParsedArguments parsed = varrow::report::ParseArguments(args);
  if (const int status = varrow::report::HandleHelpAndUsage(parsed, std::cout, std::cerr);
      status >= 0) {
    return status;
  }
#ifdef VARROW_REPORT_RENDERING
  if (parsed.options.Renders()) return RunRendering(parsed.options, argc, argv);
#endif
  return varrow::report::RunReport(parsed.options, std::cout, std::cerr);
}
