// ShellLine: one input line of `fabrikon shell`, split into the command word,
// its arguments and the raw rest of the line. Arguments are separated by
// blanks; double quotes group blanks into an argument (also inside a word, as
// in ccode="A 1"), and inside quotes \" is a quote and \\ a backslash.
#pragma once
#include <string>
#include <utility>
#include <vector>

namespace fabrikon::cli {

class ShellLine {
 public:
  explicit ShellLine(const std::string& text);

  bool IsBlank() const { return command_.empty() && !comment_; }
  bool IsComment() const { return comment_; }
  const std::string& Command() const { return command_; }
  // The arguments; throws std::invalid_argument for an unterminated quote.
  std::vector<std::string> Args() const;
  // The text after the command word, trimmed; when it is one quoted string,
  // its content. Conditions and SQL text are read this way.
  std::string Rest() const;
  // Arguments from index `first` on as NAME=VALUE pairs; throws
  // std::invalid_argument for an argument without a name.
  std::vector<std::pair<std::string, std::string>> Assignments(size_t first) const;

 private:
  std::string command_;
  std::string rest_;
  bool comment_ = false;
};

}  // namespace fabrikon::cli
