// Varrow: records a soccer match live and turns the record into statistics.
#include <QApplication>
#include <QSessionManager>
#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "app/command_line.h"
#include "forms/form1.h"
#include "platform/end_signals.h"
#include "platform/fonts.h"
#include "platform/qt_environment.h"
#include "platform/qt_settings.h"
#include "state/program_state.h"
#include "varrow_version.h"

namespace {

bool EnvSet(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

}  // namespace

int main(int argc, char* argv[]) {
  if (const auto status = varrow::app::AnswerInformationOption(argc, argv, stdout)) return *status;
  // Without a display Qt aborts with a screenful of warnings; say it plainly.
  if (!EnvSet("QT_QPA_PLATFORM") && !EnvSet("DISPLAY") && !EnvSet("WAYLAND_DISPLAY")) {
    std::fputs(
        "varrow: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set); "
        "to run it without a screen use xvfb-run, e.g. xvfb-run -a scripts/run\n",
        stderr);
    return 1;
  }
  // A data file write past the file size limit must fail with EFBIG, which
  // the recorder reports, instead of killing the program mid-match.
  std::signal(SIGXFSZ, SIG_IGN);

  QApplication app(argc, argv);
  QApplication::setApplicationName("Varrow");
  QApplication::setApplicationVersion(varrow::kVersion);
  QGuiApplication::setDesktopFileName(varrow::kAppId);
  varrow::platform::InstallFontSubstitutions();
  QApplication::setFont(varrow::platform::SansFont(8.25));

  varrow::ProgramState state;
  varrow::platform::QtSettingsStore settings;
  varrow::platform::QtEnvironment environment;
  varrow::forms::Form1 form1(state, settings, environment);
  form1.Load();
  // Asked to end from outside, the program closes its window as the operator
  // would, so that the shutdown runs: the data file closed, the settings saved.
  varrow::platform::EndSignals end_signals;
  QObject::connect(&end_signals, &varrow::platform::EndSignals::received, &form1,
                   &varrow::forms::Form1::CloseOnRequest);
  QObject::connect(&app, &QGuiApplication::commitDataRequest, &form1,
                   &varrow::forms::Form1::CloseOnRequest, Qt::DirectConnection);
  form1.show();
  const int status = QApplication::exec();
  // Ending the event loop by other means than closing the window still
  // saves the settings.
  form1.Unload();
  settings.Sync();
  return status;
}
