// The line formats of `fabrikon shell` (see ShellOutput.h). Every line is
// flushed so that a driving program sees each answer as soon as it exists.
#include "ShellOutput.h"

#include <cstdio>

namespace fabrikon::cli {

std::string ShellOutput::Quote(const std::string& text) {
  std::string quoted = "\"";
  for (char c : text) {
    switch (c) {
      case '\r': quoted += "\\r"; break;
      case '\n': quoted += "\\n"; break;
      case '"': quoted += "\\\""; break;
      case '\\': quoted += "\\\\"; break;
      default: quoted += c;
    }
  }
  return quoted + "\"";
}

void ShellOutput::Echo(const std::string& line) { out_ << "> " << line << std::endl; }
void ShellOutput::Comment(const std::string& line) { out_ << line << std::endl; }
void ShellOutput::ResultText(const std::string& text) { out_ << "=> " << Quote(text) << std::endl; }
void ShellOutput::ResultBool(bool value) { out_ << "=> " << (value ? "true" : "false") << std::endl; }
void ShellOutput::ResultCount(long count) { out_ << "=> " << count << std::endl; }

void ShellOutput::OutText(const std::string& name, const std::string& value) {
  out_ << name << ": " << Quote(value) << std::endl;
}

void ShellOutput::OutBool(const std::string& name, bool value) {
  out_ << name << ": " << (value ? "true" : "false") << std::endl;
}

void ShellOutput::OutCount(const std::string& name, long count) { out_ << name << ": " << count << std::endl; }

void ShellOutput::OutTexts(const std::string& name, const std::vector<std::string>& values) {
  out_ << name << ":";
  for (const std::string& value : values) out_ << " " << Quote(value);
  out_ << std::endl;
}

void ShellOutput::Item(const std::string& text) { out_ << "  " << text << std::endl; }

void ShellOutput::Error(int32_t number, const std::string& description) {
  char hex[16];
  std::snprintf(hex, sizeof hex, "0x%08X", static_cast<uint32_t>(number));
  out_ << "!! " << hex << " " << description << std::endl;
}

void ShellOutput::Usage(const std::string& message) { out_ << "?? " << message << std::endl; }

}  // namespace fabrikon::cli
