// BatchSplitter: a depth-aware walk over the batch's tokens; strings and
// bracketed names are single tokens already, so keywords inside them never
// split a statement.
#include "data/dialect/BatchSplitter.h"

#include <string>

#include "data/dialect/TSqlKeywords.h"
#include "fabrikon/ComError.h"

namespace fabrikon::dialect {

namespace {

bool IsStatementKeyword(const Token& t) {
  return t.IsWord("select") || t.IsWord("insert") || t.IsWord("update") || t.IsWord("delete") ||
         t.IsWord("create") || t.IsWord("drop") || t.IsWord("alter") || t.IsWord("truncate") ||
         t.IsWord("declare") || t.IsWord("set");
}

}  // namespace

std::vector<StatementRange> BatchSplitter::Split(const std::vector<Token>& tokens, size_t from) {
  BatchSplitter splitter(tokens);
  splitter.pos_ = from;
  std::vector<StatementRange> statements;
  while (true) {
    while (splitter.pos_ < tokens.size() && tokens[splitter.pos_].kind == TokenKind::Semicolon) ++splitter.pos_;
    if (splitter.pos_ >= tokens.size()) break;
    statements.push_back(splitter.NextStatement());
  }
  return statements;
}

std::vector<StatementRange> BatchSplitter::SplitComplete(const std::vector<Token>& tokens, size_t from,
                                                         size_t& rest) {
  BatchSplitter splitter(tokens);
  splitter.partial_ = true;
  splitter.pos_ = from;
  std::vector<StatementRange> statements;
  rest = tokens.size();
  while (true) {
    while (splitter.pos_ < tokens.size() && tokens[splitter.pos_].kind == TokenKind::Semicolon) ++splitter.pos_;
    if (splitter.pos_ >= tokens.size()) break;
    const size_t begin = splitter.pos_;
    try {
      const StatementRange range = splitter.NextStatement();
      // A statement that runs to the last token read may go on.
      if (range.last < tokens.size()) {
        statements.push_back(range);
        continue;
      }
    } catch (const Incomplete&) {
    }
    // An ELSE not read to its end takes its IF (and the IFs of an ELSE IF
    // chain) along: the branches are read together.
    rest = begin;
    bool chained = tokens[begin].IsWord("else");
    while (chained && !statements.empty()) {
      rest = statements.back().begin;
      chained = statements.back().otherwise;
      statements.pop_back();
    }
    break;
  }
  return statements;
}

StatementRange BatchSplitter::NextStatement() {
  StatementRange range;
  range.begin = pos_;
  if (tokens_[pos_].IsWord("else")) {
    if (!afterIf_) FailNear(pos_);
    range.otherwise = true;
    ++pos_;
    if (pos_ >= tokens_.size()) FailNear(pos_);
  }
  size_t first = pos_;
  if (tokens_[pos_].IsWord("if")) {
    range.conditionFirst = pos_ + 1;
    range.conditionLast = ScanCondition(pos_ + 1);
    if (range.conditionLast == range.conditionFirst || range.conditionLast >= tokens_.size() ||
        tokens_[range.conditionLast].IsWord("if"))
      FailNear(range.conditionLast);
    first = range.conditionLast;
  }
  range.first = first;
  range.last = ScanStatement(first, range.guarded());
  pos_ = range.last;
  afterIf_ = range.guarded();
  return range;
}

// The condition of an IF runs up to the first top-level statement keyword.
size_t BatchSplitter::ScanCondition(size_t from) const {
  int depth = 0;
  size_t i = from;
  for (; i < tokens_.size(); ++i) {
    const Token& t = tokens_[i];
    if (t.kind == TokenKind::LParen) ++depth;
    if (t.kind == TokenKind::RParen && --depth < 0) FailNear(i);
    if (depth == 0 && (t.kind == TokenKind::Semicolon || t.IsWord("if") || (t.kind == TokenKind::Word && IsStatementKeyword(t))))
      break;
  }
  if (depth != 0) FailNear(tokens_.size());
  return i;
}

size_t BatchSplitter::ScanStatement(size_t from, bool guarded) const {
  if (from >= tokens_.size() || !IsStatementKeyword(tokens_[from])) FailNear(from);
  const Token& head = tokens_[from];
  const bool isInsert = head.IsWord("insert");
  const bool isCreate = head.IsWord("create");
  bool setClauseOpen = head.IsWord("update");  // its SET is no statement of its own
  bool sawValues = false;
  bool sawSelect = false;
  int depth = 0;
  int caseDepth = 0;
  size_t i = from + 1;
  for (; i < tokens_.size(); ++i) {
    const Token& t = tokens_[i];
    if (t.kind == TokenKind::LParen) ++depth;
    if (t.kind == TokenKind::RParen && --depth < 0) FailNear(i);
    if (depth > 0) continue;
    if (t.kind == TokenKind::Semicolon) break;
    if (t.kind != TokenKind::Word) continue;
    if (t.IsWord("case")) ++caseDepth;
    if (t.IsWord("end") && caseDepth > 0) --caseDepth;
    if (t.IsWord("else") && caseDepth == 0) {
      if (!guarded) FailNear(i);
      break;
    }
    if (t.IsWord("values")) sawValues = true;
    if (!StartsStatement(i)) continue;
    if (t.IsWord("set") && setClauseOpen) {
      setClauseOpen = false;
      continue;
    }
    if (t.IsWord("select")) {
      const Token& prev = tokens_[i - 1];
      const bool compound = prev.IsWord("union") || prev.IsWord("all") || prev.IsWord("except") ||
                            prev.IsWord("intersect");
      const bool insertSource = isInsert && !sawValues && !sawSelect;
      const bool createSource = isCreate && prev.IsWord("as");
      if (compound || insertSource || createSource) {
        sawSelect = true;
        continue;
      }
    }
    break;
  }
  // Cut off inside parentheses: the caller reading in stretches sees a
  // statement that runs to the last token (no exception on this common path).
  if (depth != 0 && partial_) return tokens_.size();
  if (depth != 0) FailNear(tokens_.size());
  return i;
}

bool BatchSplitter::StartsStatement(size_t i) const {
  const Token& t = tokens_[i];
  const Token& prev = tokens_[i - 1];
  if (t.IsWord("if")) {
    // DROP TABLE IF EXISTS, CREATE TABLE IF NOT EXISTS
    return !(prev.IsWord("table") || prev.IsWord("index") || prev.IsWord("view") || prev.IsWord("trigger"));
  }
  if (!IsStatementKeyword(t)) return false;
  // ON DELETE SET NULL
  if (t.IsWord("set") && (prev.IsWord("delete") || prev.IsWord("update"))) return false;
  // ON DELETE CASCADE, FOR UPDATE
  return !(prev.IsWord("on") || prev.IsWord("for"));
}

void BatchSplitter::FailNear(size_t i) const {
  if (i >= tokens_.size() && partial_) throw Incomplete{};
  if (i >= tokens_.size()) throw ComError(ErrorNumber::ErrorsInCommand, "Incorrect syntax near the end of the command.");
  throw ComError(ErrorNumber::ErrorsInCommand, TSqlKeywords::IncorrectSyntaxNear(tokens_[i].text));
}

}  // namespace fabrikon::dialect
