#include "report_tool/report_tool.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <unordered_map>
#include <utility>

#include "base/period_captions.h"
#include "datafile/folder.h"
#include "report_tool/match_totals.h"
#include "report_tool/report_formatter.h"
#include "report_tool/timeline_output.h"
#include "stats/backwards_clock.h"
#include "surface/printable_text.h"
#include "varrow_version.h"

namespace varrow::report {
namespace {

constexpr std::string_view kProgram = "varrow-report: ";
// Output is handed to the stream in pieces of about this size.
constexpr std::size_t kFlushBytes = 1 << 16;

// Files by their identity (device and inode), each with the path it was
// first named by.
struct FileIdentityHash {
  std::size_t operator()(const FileIdentity& id) const {
    return std::hash<std::uint64_t>()(id.inode) ^ (std::hash<std::uint64_t>()(id.device) << 1);
  }
};
using FilesSeen = std::unordered_map<FileIdentity, const std::string*, FileIdentityHash>;

class Runner {
 public:
  Runner(const Options& options, std::ostream& out, std::ostream& err, RenderTarget* render)
      : options_(options),
        out_(out),
        err_(err),
        formatter_(MakeFormatter(options, buffer_)),
        analyse_(formatter_->WantsAnalysis() || (options.analysis && render != nullptr)),
        // The match's momentum is each file's, for JSON and the analysis pages.
        totals_(render != nullptr,
                analyse_ && (options.format == OutputFormat::kJson || options.analysis)),
        render_(render),
        pages_(render ? std::make_unique<ReportPages>(*render, options.files, options.analysis)
                      : nullptr),
        timeline_(options) {}

  int Run() {
    formatter_->SetFlush([this] { Flush(kFlushBytes); });
    formatter_->Begin();
    for (const std::string& path : options_.files) {
      ReportFile(path);
      if (!Flush(kFlushBytes)) return kExitFailure;
    }
    const bool match_pages = !options_.by_team && !options_.events && !options_.possessions;
    if (match_pages && totals_.Files() >= 2) {
      for (const std::string& warning : totals_.NameWarnings()) Warn(warning);
      const bool page_drawn = options_.format == OutputFormat::kText || pages_;
      if (page_drawn && totals_.Saturated()) {
        Warn("the whole-match page shows 32767 for a total beyond it; JSON and CSV give it whole");
      }
    }
    formatter_->End(totals_, season_);
    if (pages_) {
      if (totals_.Files() >= 2) {
        const ReportData data = totals_.PageData();
        const AnalysisTotals* a = options_.analysis ? totals_.Analysis() : nullptr;
        if (a) {
          const AnalysisReportData analysis{data, a->teams[kRedColumn], a->teams[kOtherColumn],
                                            a->periods};
          Fail(pages_->Match(data, &analysis));
        } else {
          Fail(pages_->Match(data));
        }
      }
      Fail(pages_->Finish());
      for (const std::string& warning : render_->TakeWarnings()) Warn(warning);
    }
    if (timeline_.Wanted()) {
      const TimelineOutput::Written written = timeline_.Write();
      Fail(written.failure);
      if (written.warning) Warn(*written.warning);
    }
    if (!Flush(0)) return kExitFailure;
    return failed_ ? kExitFailure : kExitOk;
  }

 private:
  void ReportFile(const std::string& path) {
    backwards_ = BackwardsClock();
    // Two pointers: kept inside the function object, no allocation a file.
    const EventRecordsSink sink = [this, &path](std::int32_t first,
                                                std::span<const RecordBytes> records) {
      backwards_.Check(first, records);
      if (timeline_.Wanted()) timeline_.Records(first, records);
      if (!formatter_->WantsEvents()) return;
      formatter_->Events(stats_, path, first, records);
      Flush(kFlushBytes);
    };
    FileStatus s = reader_.Open(path);
    // A file named twice (or by two paths) would count its period twice.
    if (s) {
      const auto [seen, first_time] = files_seen_.try_emplace(reader_.Identity(), &path);
      if (!first_time) {
        Warn(path + " is the same file as " + *seen->second + ": it is read once");
        return;
      }
    }
    if (s) {
      // A header that disagrees with the file: counted as Generate Stats
      // counts it, with a word.
      if (FileStatus count = reader_.CheckRecordCount(); !count) Warn(count.reason());
      if (analyse_ || timeline_.Wanted()) {
        const bool keep = formatter_->WantsPossessions() || timeline_.Wanted();
        s = ComputeStatsAndAnalysis(reader_, stats_, analysis_, {.keep_possessions = keep}, sink);
      } else {
        s = ComputeStats(reader_, stats_, {}, sink);
      }
    }
    if (!s) {
      formatter_->FileError(path, PrintableText(s.reason()));
      Fail(s);
      return;
    }
    if (backwards_.record() != 0) {
      Warn(path + ": the clock runs backwards at record " + std::to_string(backwards_.record()) +
           " (" + MinutesSeconds(backwards_.clock()) + " after " +
           MinutesSeconds(backwards_.clock_before()) + "), so times of possession can be wrong");
    }
    formatter_->File(stats_, analysis_, path);
    if (timeline_.Wanted()) {
      if (const std::optional<std::string> warning = timeline_.File(stats_, analysis_)) {
        Warn(*warning);
      }
    }
    if (options_.by_team) season_.Add(stats_);
    if (!options_.by_team && !options_.events && !options_.possessions) {
      totals_.Add(stats_, path, analyse_ ? &analysis_ : nullptr);
    }
    if (pages_) {
      const ReportData data =
          ReportDataOf(stats_, path, OpenPeriodCaption(stats_.Header_rec.Period));
      const AnalysisReportData analysis{data, analysis_.teams[kRedColumn],
                                        analysis_.teams[kOtherColumn],
                                        std::span(&analysis_.momentum, 1)};
      Fail(pages_->File(data, path, options_.analysis ? &analysis : nullptr));
    }
  }

  // Hands the output to the stream once it holds `at_least` bytes.
  bool Flush(std::size_t at_least) {
    if (buffer_.size() < at_least || buffer_.empty() || output_failed_) return !output_failed_;
    out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
    buffer_.clear();
    if (at_least == 0) out_.flush();
    if (!out_) {
      output_failed_ = true;
      err_ << kProgram << "cannot write the report to the standard output\n";
    }
    return !output_failed_;
  }

  void Fail(const FileStatus& s) {
    if (s) return;
    err_ << kProgram << PrintableText(s.reason()) << '\n';
    failed_ = true;
  }
  void Fail(const std::vector<FileStatus>& failures) {
    for (const FileStatus& s : failures) Fail(s);
  }

  void Warn(std::string_view warning) {
    err_ << kProgram << "warning: " << PrintableText(warning) << '\n';
  }

  const Options& options_;
  std::ostream& out_;
  std::ostream& err_;
  std::string buffer_;
  std::unique_ptr<ReportFormatter> formatter_;
  // Whether each file is analysed as it is read.
  bool analyse_;
  DataFileReader reader_;
  MatchStats stats_;
  BackwardsClock backwards_;  // of the file being read
  MatchAnalysis analysis_;
  MatchTotals totals_;
  RenderTarget* render_;
  SeasonTable season_;
  std::unique_ptr<ReportPages> pages_;
  TimelineOutput timeline_;
  FilesSeen files_seen_;
  bool failed_ = false;
  bool output_failed_ = false;
};

// The outputs a run writes, as an option and a path each: the images, then
// the PDF, which is put in place last.
using Outputs = std::vector<std::pair<std::string, std::string>>;

Outputs PlannedOutputs(const Options& options) {
  Outputs outputs;
  if (!options.timeline_path.empty()) outputs.emplace_back("--timeline", options.timeline_path);
  if (!options.png_dir.empty()) {
    for (const std::string& name : ImageNames(options.files, options.analysis).Planned()) {
      outputs.emplace_back("--png", options.png_dir + "/" + name);
    }
  }
  if (!options.pdf_path.empty()) outputs.emplace_back("--pdf", options.pdf_path);
  return outputs;
}

// An output that would land on one of the data files (by any spelling: the
// same file on the same device), and that file.
struct Collision {
  std::string option;  // "--pdf", "--png" or "--timeline"
  std::string output;
  const std::string* input = nullptr;
};

std::optional<Collision> OutputOnAnInput(const Options& options, const Outputs& outputs) {
  if (outputs.empty()) return std::nullopt;
  // One stat of each input and of each output, however many there are.
  FilesSeen inputs;
  for (const std::string& file : options.files) {
    if (const std::optional<FileIdentity> id = IdentityAt(file)) inputs.try_emplace(*id, &file);
  }
  for (const auto& [option, output] : outputs) {
    const std::optional<FileIdentity> id = IdentityAt(output);
    if (!id) continue;
    if (const auto it = inputs.find(*id); it != inputs.end()) {
      return Collision{option, output, it->second};
    }
  }
  return std::nullopt;
}

// The file a path names when it is written, which mostly does not exist
// yet: a link is written through, even to nothing, and the rest spelled one
// way.
std::string WhereWritten(const std::string& output) {
  namespace fs = std::filesystem;
  std::error_code error;
  fs::path path = fs::absolute(output, error);
  for (int depth = 0; depth < 40 && fs::is_symlink(fs::symlink_status(path, error)); ++depth) {
    const fs::path link = fs::read_symlink(path, error);
    if (error) break;
    path = path.parent_path() / link;
  }
  const fs::path place = fs::weakly_canonical(path, error);
  return (error ? path.lexically_normal() : place).string();
}

// An output that would land on another output of the same run, and that one.
std::optional<std::pair<Outputs::const_iterator, Outputs::const_iterator>> OutputOnAnOutput(
    const Outputs& outputs) {
  std::unordered_map<std::string, Outputs::const_iterator> places;
  for (auto it = outputs.begin(); it != outputs.end(); ++it) {
    const auto [earlier, first_time] = places.try_emplace(WhereWritten(it->second), it);
    if (!first_time) return std::pair{it, earlier->second};
  }
  return std::nullopt;
}

}  // namespace

int HandleHelpAndUsage(const ParsedArguments& parsed, std::ostream& out, std::ostream& err) {
  if (!parsed.error.empty()) {
    err << kProgram << PrintableText(parsed.error) << '\n' << UsageText();
    return kExitUsage;
  }
  if (parsed.options.help || parsed.options.version) {
    if (parsed.options.help) {
      out << HelpText();
    } else {
      out << "varrow-report " << kVersion << '\n';
    }
    out.flush();
    return out ? kExitOk : kExitFailure;
  }
  return -1;
}

int RunReport(const Options& options, std::ostream& out, std::ostream& err, RenderTarget* render) {
  // A recording cannot be made again: never write over one. Nor is one
  // output of a run written over another.
  const Outputs outputs = PlannedOutputs(options);
  std::string refusal;
  if (const std::optional<Collision> c = OutputOnAnInput(options, outputs)) {
    refusal = c->option + " " + c->output + " would write over the data file " + *c->input;
  } else if (const auto o = OutputOnAnOutput(outputs)) {
    const auto& [later, earlier] = *o;
    refusal = later->first + " " + later->second + " would write over the " + earlier->first +
              " output " + earlier->second;
  } else {
    refusal = TimelineRefusal(options);
  }
  if (!refusal.empty()) {
    err << kProgram << PrintableText(refusal) << '\n' << UsageText();
    return kExitUsage;
  }
  if (options.Renders() && render == nullptr) {
    err << kProgram << "this build of varrow-report cannot write PDF or PNG files\n";
    return kExitUsage;
  }
  return Runner(options, out, err, render).Run();
}

}  // namespace varrow::report
