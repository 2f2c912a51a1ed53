// DemoOutput: how `fabrikon demo` prints its walk: numbered steps, the
// library's answer to each call (quoted as the shell quotes it), notes and
// tables. It also keeps score: every answer is compared with the one the
// walk expects, so a reader (and the test) sees at once when the library
// answered something else.
#pragma once
#include <functional>
#include <ostream>
#include <string>

#include "TextTable.h"

namespace fabrikon::cli {

class DemoOutput {
 public:
  explicit DemoOutput(std::ostream& out) : out_(out) {}

  void Title(const std::string& text);
  // "[n] text": the next step of the walk.
  void Step(const std::string& text);
  void Note(const std::string& text);
  void Table(const TextTable& table);

  // "call  => "answer"", marked when it is not the expected answer.
  // Answers whether it was.
  bool Answer(const std::string& call, const std::string& answer, const std::string& expected);
  // The same with a test of the answer; `expectation` says in words what was expected.
  bool Answer(const std::string& call, const std::string& answer, const std::function<bool(const std::string&)>& ok,
              const std::string& expectation);
  // Each message of an answer (they end with a carriage return) on its own line.
  void Messages(const std::string& answer);
  // A fact the walk checks that is not an answer (a row count, a value).
  bool Check(const std::string& what, bool ok, const std::string& expectation);

  int Steps() const { return steps_; }
  int Unexpected() const { return unexpected_; }

 private:
  bool Record(bool ok, const std::string& expectation);

  std::ostream& out_;
  int steps_ = 0;
  int unexpected_ = 0;
};

}  // namespace fabrikon::cli
