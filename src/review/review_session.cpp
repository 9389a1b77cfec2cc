#include "review/review_session.h"

#include "base/error_numbers.h"
#include "datafile/atomic_save.h"

namespace varrow {

ReviewSession::ReviewSession(std::string path, ReviewDocument document)
    : path_(std::move(path)),
      document_(std::move(document)),
      original_(document_.FileBytes()),
      stats_(document_.Statistics()) {}

std::string ReviewSession::Title() const {
  const std::size_t slash = path_.find_last_of('/');
  return "Review Events: " + (slash == std::string::npos ? path_ : path_.substr(slash + 1));
}

void ReviewSession::Apply(const Correction& correction) {
  correction.Apply(document_);
  stats_ = document_.Statistics();
}

void ReviewSession::Revert(const Correction& correction) {
  correction.Revert(document_);
  stats_ = document_.Statistics();
}

bool ReviewSession::Save(std::string& error_text) {
  const FileStatus s = SaveDataFileAtomically(path_, document_.FileBytes(), original_);
  if (!s) {
    error_text = UnexpectedErrorMessage(
        s.code(), "Cannot save " + path_ + ": " + s.reason() +
                      ". The file is as it was; the corrections are still in the window.");
    return false;
  }
  saved_ = true;
  return true;
}

}  // namespace varrow
