// Form5, the period window: the period of the next data file, and the
// change of ends after every break.
#include "base/period_captions.h"
#include "datafile/cp1252.h"
#include "recorder/recorder.h"

namespace varrow {

void PeriodWindow::Option1_Click() { Choose(1, false); }
void PeriodWindow::Option2_Click() { Choose(2, true); }
void PeriodWindow::Option3_Click() { Choose(3, true); }
void PeriodWindow::Option4_Click() { Choose(4, true); }

void PeriodWindow::Choose(std::int16_t period, bool change_ends) {
  // A second click on the same option would swap the sides back.
  if (period == chosen_) return;
  chosen_ = period;
  state_.Header_rec.Period = period;
  controls_.SetCaption(MainControl::kLabel7, PeriodCaption(PeriodCaptionBy::kPeriodWindow, period));
  if (!change_ends) return;

  // Each selection swaps once: choosing two later periods in one visit puts
  // the teams back where they were.
  ProgramState& s = state_;
  s.Saved_team_1_name = PadOrCutUtf8(controls_.Caption(MainControl::kText1), kNameLength);
  s.Saved_team_2_name = PadOrCutUtf8(controls_.Caption(MainControl::kText2), kNameLength);
  s.Saved_team_1_color = controls_.ForeColor(MainControl::kText1);
  s.Saved_team_2_color = controls_.ForeColor(MainControl::kText2);
  s.Saved_score_2 = s.Score_2;
  s.Saved_score_1 = s.Score_1;
  controls_.SetCaption(MainControl::kText2, s.Saved_team_1_name);
  controls_.SetCaption(MainControl::kText1, s.Saved_team_2_name);
  controls_.SetForeColor(MainControl::kText1, s.Saved_team_2_color);
  controls_.SetForeColor(MainControl::kText2, s.Saved_team_1_color);
  s.Score_2 = s.Saved_score_1;
  s.Score_1 = s.Saved_score_2;
}

}  // namespace varrow
