#pragma once

#include <memory>
#include <string>

#include "report_tool/report_formatter.h"

namespace varrow::report {

// The CSV tables; docs/varrow-report.md lists their columns.
std::unique_ptr<ReportFormatter> MakeCsvPagesFormatter(std::string& out);
std::unique_ptr<ReportFormatter> MakeCsvSeasonFormatter(std::string& out);
std::unique_ptr<ReportFormatter> MakeCsvEventsFormatter(std::string& out);

}  // namespace varrow::report
