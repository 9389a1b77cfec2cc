#include "analysis/timeline.h"

#include <gtest/gtest.h>

#include "match_file.h"

namespace varrow {
namespace {

using Labels = std::vector<TimelineLabel>;

// The hand-worked match with a corner at 1:10 (blue played the ball out:
// red's corner), its teams named with characters no code may hold.
testing::MatchFile CornerMatch() {
  testing::MatchFile f = testing::HandWorkedMatch();
  f.left_name = "Lions & <Co>";
  f.right_name = "Birds";
  f.events[6].Corner_flag = -1;
  return f;
}

std::vector<RecordBytes> EventsOf(const testing::MatchFile& f) {
  std::vector<RecordBytes> events;
  for (const Event_record& e : f.events) events.push_back(EncodeEvent(e));
  return events;
}

Timeline TimelineOf(const testing::MatchFile& f, const TimelineSettings& settings) {
  Header_record header = f.header;
  header.Last_record = static_cast<std::int16_t>(3 + f.events.size());
  return PeriodTimeline(f.left_name, f.right_name, header, EventsOf(f), settings);
}

TEST(TimelineTest, TheHandWorkedMatchOnTheVideoWithAndWithoutASyncPoint) {
  const Labels goal_possession = {{"Period", "1st half"},
                                  {"Outcome", "goal"},
                                  {"Start third", "middle"},
                                  {"End third", "attacking"}};
  const Labels lost_possession = {{"Period", "1st half"},
                                  {"Outcome", "lost"},
                                  {"Start third", "middle"},
                                  {"End third", "attacking"},
                                  {"Lost in", "attacking"}};
  const Labels last_possession = {{"Period", "1st half"},
                                  {"Outcome", "end"},
                                  {"Start third", "defending"},
                                  {"End third", "middle"}};
  // The shot at 0:15 was taken from 6500, red's attacking third.
  const Labels shot = {{"Period", "1st half"}, {"From third", "attacking"}};
  const Labels period = {{"Period", "1st half"}};
  struct Case {
    TimelineSettings settings;
    std::vector<TimelineInstance> instances;
  };
  const Case cases[] = {
      // Kick-off at 1:40 of the video.
      {{.video_starts = {{1, 100'000}}},
       {{100'000, 120'000, "Lions + (Co) possession", goal_possession},
        {110'000, 120'000, "Lions + (Co) shot", shot},
        {115'000, 125'000, "Lions + (Co) goal", period},
        {120'000, 175'000, "Birds possession", lost_possession},
        {165'000, 175'000, "Lions + (Co) corner", period},
        {175'000, 230'000, "Lions + (Co) possession", last_possession}}},
      // The clock stood still for 140 s of video before 1:00, and shorter
      // clips around the moments.
      {{.video_starts = {{1, 100'000}},
        .syncs = {{1, 60'000, 300'000}},
        .lead = 7'500,
        .lag = 2'250},
       {{100'000, 120'000, "Lions + (Co) possession", goal_possession},
        {107'500, 117'250, "Lions + (Co) shot", shot},
        {112'500, 122'250, "Lions + (Co) goal", period},
        {120'000, 315'000, "Birds possession", lost_possession},
        {302'500, 312'250, "Lions + (Co) corner", period},
        {315'000, 370'000, "Lions + (Co) possession", last_possession}}},
  };
  for (const Case& c : cases) {
    const Timeline t = TimelineOf(CornerMatch(), c.settings);
    EXPECT_EQ(t.instances, c.instances);
    const std::vector<TimelineRow> rows = {
        {"Lions + (Co) possession", 65535, 0, 0}, {"Birds possession", 0, 0, 65535},
        {"Lions + (Co) shot", 65535, 0, 0},       {"Birds shot", 0, 0, 65535},
        {"Lions + (Co) goal", 65535, 0, 0},       {"Birds goal", 0, 0, 65535},
        {"Lions + (Co) corner", 65535, 0, 0},     {"Birds corner", 0, 0, 65535}};
    EXPECT_EQ(t.rows, rows);
  }
}

// A second half with no start follows the first's last event (2:10); a
// clip that would begin before the video does begins at 0; a team without a
// name is named by its column.
TEST(TimelineTest, ALaterPeriodWithoutAStartIsPlacedAfterTheLastEvent) {
  testing::MatchFile first = testing::HandWorkedMatch();
  first.right_name = "   ";
  TimelineBuilder builder({.lead = 30'000});
  for (const std::int16_t period : {1, 2}) {
    testing::MatchFile f = first;
    f.header.Period = period;
    const std::vector<RecordBytes> events = EventsOf(f);
    const MatchAnalysis a = AnalyzeEvents(f.header, events, {.keep_possessions = true});
    TimelineMoments moments;
    moments.Add(kFirstEventRecord, events);
    const std::optional<std::string> warning =
        builder.AddPeriod(f.left_name, f.right_name, f.header, a.possessions, moments);
    EXPECT_EQ(warning.has_value(), period == 2);
    if (warning) {
      EXPECT_NE(warning->find("2nd half"), std::string::npos) << *warning;
    }
  }
  const Timeline t = builder.Finish();
  ASSERT_EQ(t.instances.size(), 10u);
  EXPECT_EQ(t.instances[1].code, "Red Lions shot");
  EXPECT_EQ(t.instances[1].start, 0);  // 0:15 less 30 s
  EXPECT_EQ(t.instances[3].code, "Blue team possession");
  // The second half's shot at 0:15 is 2:25 of the video.
  EXPECT_EQ(t.instances[5],
            (TimelineInstance{115'000,
                              150'000,
                              "Red Lions shot",
                              {{"Period", "2nd half"}, {"From third", "attacking"}}}));
  EXPECT_EQ(t.instances[7].start, 130'000);
  EXPECT_EQ(t.instances[7].labels[0].text, "2nd half");
}

TEST(TimelineTest, TimesAreReadAndWrittenToTheMillisecond) {
  const std::pair<std::string_view, std::optional<VideoMs>> read[] = {{"0", 0},
                                                                      {"95", 95'000},
                                                                      {"1:05", 65'000},
                                                                      {"75:30", 4'530'000},
                                                                      {"1:02:03", 3'723'000},
                                                                      {"12.3456", 12'346},
                                                                      {"1:00.5", 60'500},
                                                                      {"0:59.9994", 59'999},
                                                                      {"1:60", {}},
                                                                      {"1:00:60", {}},
                                                                      {"-5", {}},
                                                                      {"+5", {}},
                                                                      {"5s", {}},
                                                                      {"1:2:3:4", {}},
                                                                      {"", {}},
                                                                      {"1:", {}},
                                                                      {"1.5:00", {}},
                                                                      {"5.", {}},
                                                                      {"1:005", {}},
                                                                      {"1e3", {}}};
  for (const auto& [text, ms] : read) EXPECT_EQ(ParseVideoTime(text), ms) << text;
  const std::pair<VideoMs, std::string_view> written[] = {
      {0, "0"},        {133'000, "133"}, {133'500, "133.5"},
      {1'250, "1.25"}, {7, "0.007"},     {100'000'000'000, "100000000"}};
  for (const auto& [ms, text] : written) EXPECT_EQ(VideoTimeText(ms), text);
  EXPECT_EQ(ParseSyncPoint(" 10:00 = 0:52:30.5 ", 2), (TimelineSync{2, 600'000, 3'150'500}));
  EXPECT_EQ(ParseSyncPoint("3@1:00=5", 1), (TimelineSync{3, 60'000, 5'000}));
  for (const std::string_view bad : {"1:00", "x@1:00=5", "1:00=", "1@1:60=5"}) {
    EXPECT_FALSE(ParseSyncPoint(bad, 1)) << bad;
  }
  EXPECT_EQ(TimelineText("A&B <\"x\"> \t\x7f"), "A+B ('x') ??");
  EXPECT_EQ(TimelinePeriodName(4), "2nd overtime");
  EXPECT_EQ(TimelinePeriodName(5), "Period 5");
}

}  // namespace
}  // namespace varrow
