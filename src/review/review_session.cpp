#include "review/review_session.h"

#include "base/error_numbers.h"
#include "datafile/atomic_file.h"
#include "datafile/atomic_save.h"
#include "datafile/folder.h"
#include "hosts/messages.h"

namespace varrow {

ReviewSession::ReviewSession(std::string path, ReviewDocument document)
    : path_(std::move(path)),
      document_(std::move(document)),
      on_disk_(document_.FileBytes()),
      on_disk_identity_(document_.Source()) {
  Recompute();
}

void ReviewSession::Recompute() {
  stats_ = document_.Statistics();
  analysis_ = document_.Analysis();
}

std::string ReviewSession::Title() const { return "Review Events: " + NameOf(path_); }

void ReviewSession::Apply(const Correction& correction) {
  correction.Apply(document_);
  Recompute();
}

void ReviewSession::Revert(const Correction& correction) {
  correction.Revert(document_);
  Recompute();
}

ReviewSaveResult ReviewSession::Save(bool keep_original) {
  using Kind = ReviewSaveResult::Kind;
  const std::vector<std::uint8_t> bytes = document_.FileBytes();
  const DataFileSave save =
      SaveDataFileAtomically(path_, bytes, FileAsRead{on_disk_identity_, on_disk_}, keep_original);
  const std::string crlf(kCrLf);
  switch (save.outcome) {
    case SaveOutcome::kSaved:
      break;
    case SaveOutcome::kLocked:
      return {Kind::kRefused, std::string(kWarningTitle),
              "Another program is recording" + crlf + "into this data file"};
    case SaveOutcome::kChanged:
      return {Kind::kRefused, std::string(kWarningTitle),
              "Data file changed since Review Events read it" + crlf +
                  "Close and open Review Events again to correct it"};
    case SaveOutcome::kOriginalNotKept:
      return {Kind::kAsk, "",
              "The file as it was cannot be kept as " + KeptOriginalPath(ResolvedPath(path_)) +
                  ": " + save.status.reason() + "." + crlf +
                  "Save the corrections without keeping it?"};
    case SaveOutcome::kFailed:
      return {Kind::kRefused, std::string(kErrorTitle),
              UnexpectedErrorMessage(
                  save.status.code(),
                  "Cannot save " + path_ + ": " + save.status.reason() +
                      ". The file is as it was; the corrections are still in the window.")};
  }
  saved_ = true;
  on_disk_ = bytes;
  on_disk_identity_ = save.identity;
  if (unsaved_loaded_) {
    // Its corrections are in the file now.
    (void)RemoveDataFile(UnsavedFile());
    unsaved_loaded_ = false;
  }
  if (save.status.ok()) return {};
  return {Kind::kSaved, std::string(kWarningTitle),
          "The corrections are saved, but the folder could not be flushed (" +
              save.status.reason() + ")" + crlf + "A power cut could still undo the save"};
}

std::string ReviewSession::UnsavedFile() const { return UnsavedPath(ResolvedPath(path_)); }

std::string ReviewSession::KeepUnsaved() const {
  const std::string unsaved = UnsavedFile();
  // The name itself is replaced, whatever it held: a link there never leads
  // the corrections over the data file or its original.
  AtomicFileOptions options;
  options.follow_links = false;
  const CommitResult kept = WriteFileAtomically(unsaved, document_.FileBytes(), options);
  if (!kept.ok()) {
    return "the corrections to " + path_ + " were not saved and could not be kept in " + unsaved +
           ": " + kept.status.reason();
  }
  return "the corrections to " + path_ + " were not saved; they are kept in " + unsaved;
}

FileStatus ReviewSession::LoadUnsaved() {
  ReviewDocument unsaved;
  if (FileStatus s = ReadReviewDocument(UnsavedFile(), unsaved); !s) return s;
  document_ = std::move(unsaved);
  Recompute();
  unsaved_loaded_ = true;
  return FileStatus::Ok();
}

}  // namespace varrow
