#pragma once

#include <string>

#include "review/review_document.h"
#include "stats/stats_pass.h"

namespace varrow {

// What a save tells the operator.
struct ReviewSaveResult {
  enum class Kind {
    kSaved,    // `text`, when there is one, is a WARNING to show
    kRefused,  // nothing was written: a message box with `title` and `text`
    kAsk,      // nothing was written: `text` asks whether to save without
               // keeping the original (Save(false))
  };
  Kind kind = Kind::kSaved;
  std::string title;
  std::string text;
};

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
  // The match analysis of it, its possessions kept.
  const MatchAnalysis& analysis() const { return analysis_; }
  // "Review Events: " and the file's name.
  std::string Title() const;

  // Both recompute the statistics and the analysis.
  void Apply(const Correction& correction);
  void Revert(const Correction& correction);

  // Writes the document over the file (atomically, the original kept once
  // beside it unless `keep_original` is false). Unless it saved, the file is
  // as it was.
  [[nodiscard]] ReviewSaveResult Save(bool keep_original = true);
  // Whether the file was saved at least once: the main window then takes
  // it up again.
  bool saved() const { return saved_; }

  // Where corrections not saved when the program was asked to end are kept:
  // UnsavedPath of the file (a symbolic link followed).
  std::string UnsavedFile() const;
  // For a program asked to end with corrections not saved: writes the
  // document as UnsavedFile (through the atomic writer, never over the data
  // file or its original). The line that says so, or why it could not.
  std::string KeepUnsaved() const;
  // Takes the corrections kept in UnsavedFile into the document, as
  // corrections not yet saved; the next save removes that file.
  [[nodiscard]] FileStatus LoadUnsaved();
  bool unsaved_loaded() const { return unsaved_loaded_; }

 private:
  void Recompute();

  std::string path_;
  ReviewDocument document_;
  // The file as it was read or last saved: a save goes ahead only while the
  // file is still so, and where no second name for the file can be made,
  // these bytes are the kept original.
  std::vector<std::uint8_t> on_disk_;
  FileIdentity on_disk_identity_;
  MatchStats stats_;
  MatchAnalysis analysis_;
  bool saved_ = false;
  bool unsaved_loaded_ = false;
};

}  // namespace varrow
