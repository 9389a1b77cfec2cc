#include "fakes.h"

#include <algorithm>
#include <cstdio>
#include <fstream>

namespace varrow::testing {

FakeControls::FakeControls() {
  captions_[MainControl::kCommand2] = "START CLOCK";
  captions_[MainControl::kLabel3] = "0";
  captions_[MainControl::kLabel4] = "0";
  captions_[MainControl::kLabel5] = "0:00";
  captions_[MainControl::kLabel6] = " File:";
  captions_[MainControl::kLabel7] = "";
  captions_[MainControl::kText1] = "";
  captions_[MainControl::kText2] = "";
  colors_[MainControl::kText1] = kBlue;
  colors_[MainControl::kText2] = kRed;
  visible_[MainControl::kImage3] = false;
  visible_[MainControl::kImage4] = false;
}

std::string FakeControls::Caption(MainControl c) const {
  auto it = captions_.find(c);
  return it == captions_.end() ? std::string() : it->second;
}

void FakeControls::SetCaption(MainControl c, std::string_view text) {
  captions_[c] = std::string(text);
}

Color FakeControls::ForeColor(MainControl c) const {
  auto it = colors_.find(c);
  return it == colors_.end() ? kBlack : it->second;
}

void FakeControls::SetForeColor(MainControl c, Color color) { colors_[c] = color; }

bool FakeControls::Visible(MainControl c) const {
  auto it = visible_.find(c);
  return it != visible_.end() && it->second;
}

void FakeControls::SetVisible(MainControl c, bool visible) { visible_[c] = visible; }

void FakeControls::SetLocked(MainControl c, bool locked) { locked_[c] = locked; }

bool FakeControls::Locked(MainControl c) const {
  auto it = locked_.find(c);
  return it != locked_.end() && it->second;
}

void FakeControls::MsgBox(std::string_view text, MsgIcon icon, std::string_view title) {
  messages.push_back({std::string(text), icon, std::string(title)});
}

void FakeControls::SetBusyPointer(bool busy) { busy_ = busy; }

void FakeControls::ShowPeriodWindow() {
  ++period_windows_shown;
  if (on_period_window) on_period_window();
}

std::optional<std::string> FakeControls::ShowOpenDialog(std::string_view filter) {
  open_dialog_filters.emplace_back(filter);
  if (open_dialog_answers.empty()) return std::nullopt;
  auto answer = open_dialog_answers.front();
  open_dialog_answers.pop_front();
  return answer;
}

std::vector<std::string> FakeControls::ShowOpenFilesDialog(std::string_view filter,
                                                           const std::string& folder,
                                                           const std::string& selected) {
  open_files_dialogs.push_back({std::string(filter), folder, selected});
  if (open_files_answers.empty()) return {};
  std::vector<std::string> answer = std::move(open_files_answers.front());
  open_files_answers.pop_front();
  return answer;
}

void FakeControls::ShowProgressWindow() {
  progress_open_ = true;
  progress_shown_ever = true;
  if (on_progress_window) on_progress_window();
}

void FakeControls::SetProgressValue(int value) { progress_values.push_back(value); }

void FakeControls::ShowReportsWindow() {
  ++reports_shown;
  busy_when_reports_shown = busy_;
  if (on_reports_window) on_reports_window();
}

std::size_t FakeControls::Ask(std::string_view text, std::string_view title,
                              const std::vector<std::string>& buttons) {
  questions.push_back(ShownMessage{std::string(text), MsgIcon::kInformation, std::string(title)});
  std::size_t answer = buttons.size() - 1;
  if (!answers.empty()) {
    for (std::size_t i = 0; i < buttons.size(); ++i) {
      if (buttons[i] == answers.front()) answer = i;
    }
    answers.pop_front();
  }
  return answer;
}

void FakeControls::ShowReviewWindow(ReviewSession& session) {
  ++review_shown;
  if (on_review_window) on_review_window(session);
}

std::string FakeControls::LastMessage() const {
  return messages.empty() ? std::string() : messages.back().text;
}

std::ostream& operator<<(std::ostream& out, const ShownMessage& m) {
  return out << "[" << m.title
             << (m.icon == MsgIcon::kExclamation ? ", exclamation] " : ", information] ") << m.text;
}

std::vector<ShownMessage> OneWarning(std::string text) {
  return {{std::move(text), MsgIcon::kExclamation, std::string(kWarningTitle)}};
}

std::string FakeSettings::GetSetting(std::string_view app, std::string_view section,
                                     std::string_view key, std::string_view default_value) {
  const std::string k = std::string(app) + "/" + std::string(section) + "/" + std::string(key);
  read_order.push_back(std::string(key));
  auto it = values.find(k);
  return it == values.end() ? std::string(default_value) : it->second;
}

void FakeSettings::SaveSetting(std::string_view app, std::string_view section, std::string_view key,
                               std::string_view value) {
  values[std::string(app) + "/" + std::string(section) + "/" + std::string(key)] =
      std::string(value);
  save_order.push_back(std::string(key));
}

std::string Hex(const std::vector<std::uint8_t>& bytes) {
  std::string out;
  char buf[4];
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    std::snprintf(buf, sizeof buf, "%02X", bytes[i]);
    if (i) out += ' ';
    out += buf;
  }
  return out;
}

std::vector<std::uint8_t> FromHex(std::string_view hex) {
  std::vector<std::uint8_t> out;
  int nibbles = 0;
  unsigned value = 0;
  for (char c : hex) {
    int v;
    if (c >= '0' && c <= '9')
      v = c - '0';
    else if (c >= 'a' && c <= 'f')
      v = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
      v = c - 'A' + 10;
    else
      continue;
    value = value << 4 | static_cast<unsigned>(v);
    if (++nibbles == 2) {
      out.push_back(static_cast<std::uint8_t>(value));
      nibbles = 0;
      value = 0;
    }
  }
  return out;
}

std::vector<std::uint8_t> ReadFileBytes(const std::string& path) {
  // One read of the whole file: the soak test reads files of 650 kB after
  // every operation.
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  const std::streamoff size = in ? static_cast<std::streamoff>(in.tellg()) : -1;
  if (size <= 0) return {};
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  in.seekg(0);
  in.read(reinterpret_cast<char*>(bytes.data()), size);
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  return bytes;
}

bool WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  out.close();
  return !out.fail();
}

RecordBytes RecordOf(const std::vector<std::uint8_t>& file, int n) {
  RecordBytes r{};
  const auto at = static_cast<std::size_t>(n - 1) * kRecordLength;
  if (n >= 1 && file.size() >= at + kRecordLength) {
    std::copy_n(file.begin() + static_cast<std::ptrdiff_t>(at), kRecordLength, r.begin());
  }
  return r;
}

}  // namespace varrow::testing
