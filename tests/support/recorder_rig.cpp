#include "recorder_rig.h"

namespace varrow::testing {

RecorderRig::RecorderRig() {
  environment_.current_directory = dir_.path();
  settings_.values["Varrow/Startup/Team_2"] = "Reds";
  settings_.values["Varrow/Startup/Team_1"] = "Blues";
  recorder_.Form_Load();
  surface_.ClearLog();
}

void RecorderRig::New(int option) {
  controls_.on_period_window = [this, option] {
    PeriodWindow window(state_, controls_);
    switch (option) {
      case 1:
        window.Option1_Click();
        break;
      case 2:
        window.Option2_Click();
        break;
      case 3:
        window.Option3_Click();
        break;
      case 4:
        window.Option4_Click();
        break;
      default:
        break;
    }
  };
  recorder_.mnuNew_Click();
}

void RecorderRig::TickTo(int seconds) {
  while (state_.Elapsed_seconds < seconds) recorder_.Timer1_Timer();
}

std::vector<std::uint8_t> RecorderRig::Record(int n) const {
  const auto bytes = Bytes();
  const std::size_t at = static_cast<std::size_t>(n - 1) * kRecordLength;
  if (bytes.size() < at + kRecordLength) return {};
  return {bytes.begin() + static_cast<std::ptrdiff_t>(at),
          bytes.begin() + static_cast<std::ptrdiff_t>(at + kRecordLength)};
}

}  // namespace varrow::testing
