#pragma once

#include <QObject>

class QSocketNotifier;

namespace varrow::platform {

// Turns SIGTERM, SIGHUP and SIGINT (a system shutdown or logout, a closed
// terminal, Ctrl+C) into a signal on the event loop, so that the program ends
// the ordinary way instead of dying with its work unsaved. The handler only
// writes a byte to a pipe. From the first one on the three signals have their
// default action back: a second one while the program shuts down ends it at
// once. One object per program.
class EndSignals : public QObject {
  Q_OBJECT

 public:
  explicit EndSignals(QObject* parent = nullptr);
  ~EndSignals() override;
  EndSignals(const EndSignals&) = delete;
  EndSignals& operator=(const EndSignals&) = delete;

 signals:
  // Emitted once, for the first of the three signals.
  void received();

 private:
  void Read();

  int pipe_[2] = {-1, -1};
  QSocketNotifier* notifier_ = nullptr;
  bool emitted_ = false;
};

}  // namespace varrow::platform
