#pragma once

#include <string>

#include "review/review_document.h"
#include "stats/stats_pass.h"

namespace varrow {

// The Review Events window's logic: the file under review, the corrections
// applied to it and the statistics after each, and saving. The window's
// undo stack applies and takes back the corrections through it.
class ReviewSession {
 public:
  ReviewSession(std::string path, ReviewDocument document);

  const std::string& path() const { return path_; }
  const ReviewDocument& document() const { return document_; }
  // The statistics pass over the document as it stands.
  const MatchStats& stats() const { return stats_; }
  // "Review Events: " and the file's name.
  std::string Title() const;

  // Both recompute the statistics.
  void Apply(const Correction& correction);
  void Revert(const Correction& correction);

  // Writes the document over the file (atomically, the original kept once
  // beside it). On failure the file is as it was and the text of the ERROR
  // message says why.
  [[nodiscard]] bool Save(std::string& error_text);
  // Whether the file was saved at least once: the main window then takes
  // it up again.
  bool saved() const { return saved_; }

 private:
  std::string path_;
  ReviewDocument document_;
  // The file as it was read, for the kept original where no second name
  // for the file can be made.
  std::vector<std::uint8_t> original_;
  MatchStats stats_;
  bool saved_ = false;
};

}  // namespace varrow
