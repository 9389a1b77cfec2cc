#pragma once

#include <memory>
#include <string>

#include "report_tool/report_formatter.h"

namespace varrow::report {

// The JSON documents; docs/varrow-report.md describes each with an example.
std::unique_ptr<ReportFormatter> MakeJsonPagesFormatter(std::string& out);
std::unique_ptr<ReportFormatter> MakeJsonSeasonFormatter(std::string& out);
std::unique_ptr<ReportFormatter> MakeJsonEventsFormatter(std::string& out);

}  // namespace varrow::report
