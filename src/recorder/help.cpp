// The Help menu: the help file and the About window.
#include "recorder/recorder.h"

namespace varrow {

void Recorder::mnuHelpTopics_Click() {
  // Joined as it comes: a directory reported with a trailing separator gives a
  // doubled one, which the file system accepts.
  controls_.ShowHelp(environment_.ProgramDirectory() + "/" + "VARROW.HLP");
}

void Recorder::mnuAbout_Click() { controls_.ShowAboutWindow(); }

}  // namespace varrow
