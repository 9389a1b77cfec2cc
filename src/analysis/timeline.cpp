#include "analysis/timeline.h"

#include <algorithm>
#include <tuple>

#include "surface/printable_text.h"

namespace varrow {
namespace {

enum Kind { kPossessionKind, kShotKind, kGoalKind, kCornerKind };
constexpr std::string_view kKindWords[] = {" possession", " shot", " goal", " corner"};

bool AllDigits(std::string_view s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::int64_t DigitsValue(std::string_view s) {
  std::int64_t value = 0;
  for (const char c : s) value = value * 10 + (c - '0');
  return value;
}

std::string ThirdText(PitchThird third) { return std::string(ThirdName(third)); }

void AppendElement(std::string& out, std::string_view name, std::string_view text) {
  out += '<';
  out += name;
  out += '>';
  out += text;
  out += "</";
  out += name;
  out += '>';
}

}  // namespace

std::optional<VideoMs> ParseVideoTime(std::string_view text) {
  std::vector<std::string_view> fields;
  for (std::size_t from = 0;;) {
    const std::size_t colon = text.find(':', from);
    fields.push_back(text.substr(from, colon - from));
    if (colon == std::string_view::npos) break;
    from = colon + 1;
  }
  if (fields.size() > 3) return std::nullopt;
  std::int64_t seconds = 0;
  std::string_view fraction;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    std::string_view whole = fields[i];
    if (i + 1 == fields.size()) {
      if (const std::size_t dot = whole.find('.'); dot != std::string_view::npos) {
        fraction = whole.substr(dot + 1);
        whole = whole.substr(0, dot);
        if (!AllDigits(fraction)) return std::nullopt;
      }
    }
    // Nine digits of hours still fit the milliseconds many times over.
    if (!AllDigits(whole) || whole.size() > (i == 0 ? 9u : 2u)) return std::nullopt;
    const std::int64_t value = DigitsValue(whole);
    if (i > 0 && value >= 60) return std::nullopt;
    seconds = seconds * 60 + value;
  }
  // Milliseconds from the first three decimals, rounded by the fourth.
  std::int64_t ms = 0;
  for (std::size_t k = 0; k < 3; ++k) ms = ms * 10 + (k < fraction.size() ? fraction[k] - '0' : 0);
  if (fraction.size() > 3 && fraction[3] >= '5') ++ms;
  return seconds * 1000 + ms;
}

std::optional<TimelineSync> ParseSyncPoint(std::string_view text, std::int32_t period) {
  const auto trimmed = [](std::string_view s) {
    const std::size_t first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos) return std::string_view{};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
  };
  const std::size_t eq = text.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  std::string_view clock = trimmed(text.substr(0, eq));
  if (const std::size_t at = clock.find('@'); at != std::string_view::npos) {
    const std::string_view number = trimmed(clock.substr(0, at));
    if (!AllDigits(number) || number.size() > 5 || DigitsValue(number) > 32767) return std::nullopt;
    period = static_cast<std::int32_t>(DigitsValue(number));
    clock = trimmed(clock.substr(at + 1));
  }
  const std::optional<VideoMs> c = ParseVideoTime(clock);
  const std::optional<VideoMs> v = ParseVideoTime(trimmed(text.substr(eq + 1)));
  if (!c || !v) return std::nullopt;
  return TimelineSync{period, *c, *v};
}

std::string VideoTimeText(VideoMs ms) {
  std::string text = ms < 0 ? "-" : "";
  const std::uint64_t magnitude =
      ms < 0 ? 0 - static_cast<std::uint64_t>(ms) : static_cast<std::uint64_t>(ms);
  text += std::to_string(magnitude / 1000);
  if (std::uint64_t rest = magnitude % 1000; rest != 0) {
    std::string decimals = std::to_string(1000 + rest).substr(1);
    decimals.erase(decimals.find_last_not_of('0') + 1);
    text += '.' + decimals;
  }
  return text;
}

std::string TimelineText(std::string_view text) {
  std::string out = PrintableText(text);
  constexpr std::string_view kMarkup = "&<>\"";
  for (char& c : out) {
    if (const std::size_t i = kMarkup.find(c); i != std::string_view::npos) c = "+()'"[i];
  }
  return out;
}

std::string TimelinePeriodName(std::int32_t period) {
  static constexpr std::string_view kNames[] = {"1st half", "2nd half", "1st overtime",
                                                "2nd overtime"};
  if (period >= 1 && period <= 4) return std::string(kNames[period - 1]);
  return "Period " + std::to_string(period);
}

void TimelineMoments::Add(std::int32_t first_record, std::span<const RecordBytes> records) {
  for (std::size_t i = 0; i < records.size(); ++i) {
    const RecordBytes& b = records[i];
    const auto record = first_record + static_cast<std::int32_t>(i);
    Moment m{record,
             LoadInt16(b, kEventClockOffset),
             static_cast<Color>(LoadUint32(b, kEventColorOffset)),
             IsShotRecord(b),
             IsCornerRecord(b),
             b[kEventLeftGoalOffset] == 1,
             b[kEventRightGoalOffset] == 1};
    if (m.shot)
      m.shot_third_of_x = ThirdOfX(ShotStart(record, b, i > 0 ? records[i - 1] : previous_).x);
    if (m.shot || m.corner || m.left_goal || m.right_goal) moments_.push_back(m);
    last_clock_ = m.clock;
  }
  if (!records.empty()) previous_ = records.back();
}

TimelineBuilder::TimelineBuilder(TimelineSettings settings) : settings_(std::move(settings)) {}

VideoMs TimelineBuilder::VideoTimeOf(std::int32_t period, VideoMs start, std::int32_t clock) const {
  const VideoMs c = VideoMs{clock} * 1000;
  const TimelineSync* latest = nullptr;
  for (const TimelineSync& s : settings_.syncs) {
    if (s.period == period && s.clock <= c && (!latest || s.clock > latest->clock)) latest = &s;
  }
  return latest ? latest->video + (c - latest->clock) : start + c;
}

std::optional<std::string> TimelineBuilder::AddPeriod(std::string_view team_2_name,
                                                      std::string_view team_1_name,
                                                      const Header_record& header,
                                                      std::span<const Possession> possessions,
                                                      const TimelineMoments& moments) {
  const std::int32_t period = header.Period;
  const std::string period_name = TimelinePeriodName(period);
  if (!teams_) {
    std::array<Team, 2> teams{};
    for (const bool red : {true, false}) {
      teams[red ? 0 : 1] = {
          std::string(TrimmedName(TeamNameOf(red, team_2_name, team_1_name, header))),
          TeamColorOf(red, header)};
    }
    teams_ = std::move(teams);
  }
  std::optional<std::string> warning;
  VideoMs start = 0;
  if (const auto given = settings_.video_starts.find(period);
      given != settings_.video_starts.end()) {
    start = given->second;
  } else if (previous_end_) {
    start = *previous_end_;
    warning = "the timeline has no video start for the " + period_name + ": it is placed at " +
              VideoTimeText(start) + " s, right after the last event before it";
  }
  const int index = periods_++;
  const auto video = [&](std::int32_t clock) { return VideoTimeOf(period, start, clock); };
  const auto add = [&](int kind, bool red, std::int32_t record, int within, VideoMs from,
                       VideoMs to, std::vector<TimelineLabel> labels) {
    from = std::max<VideoMs>(from, 0);
    labels.insert(labels.begin(), {"Period", period_name});
    pending_.push_back(
        {{from, std::max(to, from), {}, std::move(labels)}, kind, red, index, record, within});
  };
  for (const Possession& p : possessions) {
    std::vector<TimelineLabel> labels = {{"Outcome", std::string(OutcomeName(p.outcome))},
                                         {"Start third", ThirdText(p.start_third)},
                                         {"End third", ThirdText(p.end_third)}};
    if (p.lost_third) labels.push_back({"Lost in", ThirdText(*p.lost_third)});
    const VideoMs from = std::max<VideoMs>(video(p.start_clock), 0);
    add(kPossessionKind, p.red, p.first_record, 0, from, std::max(video(p.end_clock), from + 1000),
        std::move(labels));
  }
  for (const TimelineMoments::Moment& m : moments.moments_) {
    const VideoMs at = video(m.clock);
    const VideoMs from = at - settings_.lead;
    const VideoMs to = at + settings_.lag;
    if (m.shot) {
      const bool red = IsRedTeam(m.color);
      const PitchThird third = ThirdSeenBy(IsLeftTeam(red, header), m.shot_third_of_x);
      add(kShotKind, red, m.record, 0, from, to, {{"From third", ThirdText(third)}});
    }
    // The left-hand goal's byte is a goal of the right team, and the other way round.
    const bool red_is_left = IsRedTeam(header.Team_2_color);
    if (m.left_goal) add(kGoalKind, !red_is_left, m.record, 0, from, to, {});
    if (m.right_goal) add(kGoalKind, red_is_left, m.record, 1, from, to, {});
    if (m.corner) add(kCornerKind, CornerIsRedTeams(m.color), m.record, 0, from, to, {});
  }
  previous_end_ = moments.last_clock_ ? video(*moments.last_clock_) : start;
  return warning;
}

Timeline TimelineBuilder::Finish() {
  Timeline out;
  const std::array<Team, 2> teams = teams_.value_or(std::array<Team, 2>{{{"", kRed}, {"", kBlue}}});
  std::string names[2];
  for (int t = 0; t < 2; ++t) {
    names[t] =
        TimelineText(teams[t].name.empty() ? (t == 0 ? "Red team" : "Blue team") : teams[t].name);
  }
  std::stable_sort(pending_.begin(), pending_.end(), [](const Pending& a, const Pending& b) {
    return std::tie(a.instance.start, a.kind, a.period_index, a.record, a.within_record) <
           std::tie(b.instance.start, b.kind, b.period_index, b.record, b.within_record);
  });
  out.instances.reserve(pending_.size());
  for (Pending& p : pending_) {
    p.instance.code = names[p.red ? 0 : 1] + std::string(kKindWords[p.kind]);
    out.instances.push_back(std::move(p.instance));
  }
  for (const std::string_view kind : kKindWords) {
    for (int t = 0; t < 2; ++t) {
      const Color c = teams[t].color;
      const auto wide = [](int part) { return static_cast<std::uint16_t>(part * 257); };
      out.rows.push_back(
          {names[t] + std::string(kind), wide(RedOf(c)), wide(GreenOf(c)), wide(BlueOf(c))});
    }
  }
  return out;
}

Timeline PeriodTimeline(std::string_view team_2_name, std::string_view team_1_name,
                        const Header_record& header, std::span<const RecordBytes> events,
                        const TimelineSettings& settings) {
  const MatchAnalysis analysis = AnalyzeEvents(header, events, {.keep_possessions = true});
  TimelineMoments moments;
  moments.Add(kFirstEventRecord, events);
  TimelineBuilder builder(settings);
  (void)builder.AddPeriod(team_2_name, team_1_name, header, analysis.possessions, moments);
  return builder.Finish();
}

std::string TimelineXml(const Timeline& timeline) {
  std::string out =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<file>\n"
      "  <SORT_INFO><sort_type>sort order</sort_type></SORT_INFO>\n"
      "  <ALL_INSTANCES>\n";
  std::int64_t id = 0;
  for (const TimelineInstance& i : timeline.instances) {
    out += "    <instance>\n      ";
    AppendElement(out, "ID", std::to_string(++id));
    AppendElement(out, "start", VideoTimeText(i.start));
    AppendElement(out, "end", VideoTimeText(i.end));
    AppendElement(out, "code", i.code);
    out += '\n';
    for (const TimelineLabel& l : i.labels) {
      out += "      <label>";
      AppendElement(out, "group", l.group);
      AppendElement(out, "text", l.text);
      out += "</label>\n";
    }
    out += "    </instance>\n";
  }
  out += "  </ALL_INSTANCES>\n  <ROWS>\n";
  std::int64_t order = 0;
  for (const TimelineRow& r : timeline.rows) {
    out += "    <row>";
    AppendElement(out, "sort_order", std::to_string(++order));
    AppendElement(out, "code", r.code);
    AppendElement(out, "R", std::to_string(r.r));
    AppendElement(out, "G", std::to_string(r.g));
    AppendElement(out, "B", std::to_string(r.b));
    out += "</row>\n";
  }
  out += "  </ROWS>\n</file>\n";
  return out;
}

CommitResult WriteTimeline(const std::string& path, const Timeline& timeline) {
  const std::string text = TimelineXml(timeline);
  return WriteFileAtomically(
      path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

}  // namespace varrow
