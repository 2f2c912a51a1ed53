// Splitting a shell input line (see ShellLine.h). An unterminated quote is a
// usage error rather than a silent guess at what was meant.
#include "ShellLine.h"

#include <stdexcept>

namespace fabrikon::cli {
namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string Trimmed(const std::string& text) {
  size_t begin = 0;
  while (begin < text.size() && IsSpace(text[begin])) ++begin;
  size_t end = text.size();
  while (end > begin && IsSpace(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

// Reads one argument from position i (at a non-blank); leaves i after it.
std::string ReadWord(const std::string& text, size_t& i) {
  std::string word;
  bool quoted = false;
  for (; i < text.size(); ++i) {
    char c = text[i];
    if (!quoted && IsSpace(c)) break;
    if (c == '"') {
      quoted = !quoted;
    } else if (quoted && c == '\\' && i + 1 < text.size() && (text[i + 1] == '"' || text[i + 1] == '\\')) {
      word += text[++i];
    } else {
      word += c;
    }
  }
  if (quoted) throw std::invalid_argument("unterminated double quote");
  return word;
}

}  // namespace

ShellLine::ShellLine(const std::string& text) {
  std::string line = Trimmed(text);
  if (line.empty()) return;
  if (line[0] == '#') {
    comment_ = true;
    return;
  }
  size_t end = 0;
  while (end < line.size() && !IsSpace(line[end])) ++end;
  command_ = line.substr(0, end);
  rest_ = Trimmed(line.substr(end));
}

std::vector<std::string> ShellLine::Args() const {
  std::vector<std::string> args;
  size_t i = 0;
  while (true) {
    while (i < rest_.size() && IsSpace(rest_[i])) ++i;
    if (i >= rest_.size()) break;
    args.push_back(ReadWord(rest_, i));
  }
  return args;
}

std::string ShellLine::Rest() const {
  if (rest_.size() >= 2 && rest_.front() == '"' && rest_.back() == '"') {
    size_t i = 0;
    std::string word = ReadWord(rest_, i);
    if (i == rest_.size()) return word;
  }
  return rest_;
}

std::vector<std::pair<std::string, std::string>> ShellLine::Assignments(size_t first) const {
  std::vector<std::pair<std::string, std::string>> pairs;
  std::vector<std::string> args = Args();
  for (size_t i = first; i < args.size(); ++i) {
    size_t equals = args[i].find('=');
    if (equals == 0 || equals == std::string::npos) {
      throw std::invalid_argument("expected NAME=VALUE, got: " + args[i]);
    }
    pairs.emplace_back(args[i].substr(0, equals), args[i].substr(equals + 1));
  }
  return pairs;
}

}  // namespace fabrikon::cli
