// ShellMessageBoxes: the message boxes of a shell session. Yes/No questions
// get the answer set by `msgbox yes|no` (No until then); every box shown is
// kept so the session can print it after the command's answer.
#pragma once
#include <string>
#include <vector>

#include "fabrikon/host/MessageBox.h"

namespace fabrikon::cli {

class ShellMessageBoxes : public MessageBoxHandler {
 public:
  bool AskYesNo(const std::string& text, const std::string& title) override;
  void ShowError(const std::string& text, const std::string& title) override;

  void Answer(bool yes) { yes_ = yes; }
  // The texts shown since the last call, oldest first.
  std::vector<std::string> Take();

 private:
  bool yes_ = false;
  std::vector<std::string> shown_;
};

}  // namespace fabrikon::cli
