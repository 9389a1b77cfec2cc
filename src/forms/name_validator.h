#pragma once

#include <QValidator>

namespace varrow::forms {

// The team name boxes: a data file holds a name in Windows-1252, so a box
// takes only characters that code page has. Any other, typed or pasted, is
// replaced at once where the operator sees it: by its letter without the
// accent when the code page has that ("ő" becomes "o"), otherwise by "?",
// the character the file would have stored.
class NameValidator : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int& pos) const override;
};

}  // namespace varrow::forms
