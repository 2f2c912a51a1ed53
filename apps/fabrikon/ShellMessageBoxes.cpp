// The message boxes of a shell session (see ShellMessageBoxes.h).
#include "ShellMessageBoxes.h"

namespace fabrikon::cli {

bool ShellMessageBoxes::AskYesNo(const std::string& text, const std::string&) {
  shown_.push_back(text);
  return yes_;
}

void ShellMessageBoxes::ShowError(const std::string& text, const std::string&) { shown_.push_back(text); }

std::vector<std::string> ShellMessageBoxes::Take() {
  std::vector<std::string> shown;
  shown.swap(shown_);
  return shown;
}

}  // namespace fabrikon::cli
