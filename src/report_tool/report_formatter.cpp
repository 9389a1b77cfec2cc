#include "report_tool/report_formatter.h"

#include "base/period_captions.h"

namespace varrow::report {

std::string_view PeriodName(std::int16_t period) {
  std::string_view caption = OpenPeriodCaption(period);
  while (caption.starts_with(' ')) caption.remove_prefix(1);
  return caption;
}

std::unique_ptr<ReportFormatter> MakeFormatter(const Options& options, std::string& out) {
  switch (options.format) {
    case OutputFormat::kJson:
      if (options.events) return MakeJsonEventsFormatter(out);
      if (options.possessions) return MakeJsonPossessionsFormatter(out);
      if (options.by_team) return MakeJsonSeasonFormatter(out);
      return MakeJsonPagesFormatter(out);
    case OutputFormat::kCsv:
    case OutputFormat::kText:
      break;
  }
  // Events and possessions are tables: CSV unless JSON is asked for.
  if (options.events) return MakeCsvEventsFormatter(out);
  if (options.possessions) return MakeCsvPossessionsFormatter(out);
  if (options.format == OutputFormat::kCsv) {
    return options.by_team ? MakeCsvSeasonFormatter(out) : MakeCsvPagesFormatter(out);
  }
  return options.by_team ? MakeTextSeasonFormatter(out)
                         : MakeTextPagesFormatter(out, options.analysis);
}

}  // namespace varrow::report
