#pragma once

#include <memory>
#include <string>
#include <vector>

#include "report_tool/report_formatter.h"
#include "report_tool/season_table.h"
#include "reports/report_drawing.h"

namespace varrow::report {

// The general statistics page exactly as Draw_general_stats prints it on the
// Reports window's picture box, one string a text row.
std::vector<std::string> GeneralStatsLines(const ReportData& data);

// The season table as fixed-width text rows.
std::vector<std::string> SeasonTableLines(const SeasonTable& season, int files);

std::unique_ptr<ReportFormatter> MakeTextPagesFormatter(std::string& out);
std::unique_ptr<ReportFormatter> MakeTextSeasonFormatter(std::string& out);

}  // namespace varrow::report
