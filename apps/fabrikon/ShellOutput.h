// ShellOutput: the printed side of `fabrikon shell`, one place for the line
// formats that scripts and tests read (see the contract in ShellCommand.cpp).
#pragma once
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace fabrikon::cli {

class ShellOutput {
 public:
  explicit ShellOutput(std::ostream& out) : out_(out) {}

  // "text" with \r, \n, \" and \\ written as escapes.
  static std::string Quote(const std::string& text);

  void Echo(const std::string& line);                            // > line
  void Comment(const std::string& line);                         // the comment as written
  void ResultText(const std::string& text);                      // => "text"
  void ResultBool(bool value);                                   // => true | => false
  void ResultCount(long count);                                  // => 12
  void OutText(const std::string& name, const std::string& value);  // name: "value"
  void OutBool(const std::string& name, bool value);             // name: true
  void OutCount(const std::string& name, long count);            // name: 12
  void OutTexts(const std::string& name, const std::vector<std::string>& values);  // name: "a" "b"
  void Item(const std::string& text);                            // two blanks, then the text
  void Error(int32_t number, const std::string& description);    // !! 0x80040E14 description
  void Usage(const std::string& message);                        // ?? message

 private:
  std::ostream& out_;
};

}  // namespace fabrikon::cli
