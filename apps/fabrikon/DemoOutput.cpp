// The printed side of `fabrikon demo` (see DemoOutput.h).
#include "DemoOutput.h"

#include "ShellOutput.h"

namespace fabrikon::cli {
namespace {

constexpr const char* kIndent = "    ";
constexpr size_t kCallWidth = 34;

}  // namespace

void DemoOutput::Title(const std::string& text) { out_ << text << "\n"; }

void DemoOutput::Step(const std::string& text) { out_ << "\n[" << ++steps_ << "] " << text << "\n"; }

void DemoOutput::Note(const std::string& text) { out_ << kIndent << text << "\n"; }

void DemoOutput::Table(const TextTable& table) { table.Print(out_, kIndent); }

bool DemoOutput::Answer(const std::string& call, const std::string& answer, const std::string& expected) {
  return Answer(
      call, answer, [&expected](const std::string& got) { return got == expected; },
      ShellOutput::Quote(expected));
}

bool DemoOutput::Answer(const std::string& call, const std::string& answer,
                        const std::function<bool(const std::string&)>& ok, const std::string& expectation) {
  out_ << kIndent << TextTable::Pad(call, kCallWidth) << " => " << ShellOutput::Quote(answer) << "\n";
  return Record(ok(answer), expectation);
}

void DemoOutput::Messages(const std::string& answer) {
  size_t start = 0;
  while (start < answer.size()) {
    size_t end = answer.find('\r', start);
    if (end == std::string::npos) end = answer.size();
    out_ << kIndent << "  - " << answer.substr(start, end - start) << "\n";
    start = end + 1;
  }
}

bool DemoOutput::Check(const std::string& what, bool ok, const std::string& expectation) {
  out_ << kIndent << what << "\n";
  return Record(ok, expectation);
}

bool DemoOutput::Record(bool ok, const std::string& expectation) {
  if (!ok) {
    ++unexpected_;
    out_ << kIndent << "!! unexpected; expected " << expectation << "\n";
  }
  return ok;
}

}  // namespace fabrikon::cli
