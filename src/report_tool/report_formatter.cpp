#include "report_tool/report_formatter.h"

#include "base/period_captions.h"

namespace varrow::report {

std::string_view PeriodName(std::int16_t period) {
  std::string_view caption = OpenPeriodCaption(period);
  while (caption.starts_with(' ')) caption.remove_prefix(1);
  return caption;
}

std::unique_ptr<ReportFormatter> MakeFormatter(const Options& options, std::string& out) {
  if (options.format == OutputFormat::kJson) return MakeJsonFormatter(options, out);
  // Events and possessions are tables: CSV unless JSON is asked for.
  if (options.format == OutputFormat::kCsv || options.events || options.possessions) {
    return MakeCsvFormatter(options, out);
  }
  return MakeTextFormatter(options, out);
}

}  // namespace varrow::report
