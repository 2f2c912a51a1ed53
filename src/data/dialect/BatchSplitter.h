// BatchSplitter: finds the statements of a T-SQL batch. The library sends
// several statements in one text with nothing between them but blanks or
// carriage returns, so the boundaries come from the statements' own keywords:
// at the top level a new statement begins at INSERT, UPDATE, DELETE, IF,
// CREATE, DROP, ALTER, TRUNCATE, DECLARE, at SET (but the one SET clause of
// an UPDATE), and at SELECT when the statement before is complete.
// IF <condition> takes exactly one following statement, and ELSE right after
// it another one (which may be an IF again).
#pragma once
#include <vector>

#include "data/dialect/Token.h"

namespace fabrikon::dialect {

struct StatementRange {
  static constexpr size_t npos = static_cast<size_t>(-1);
  size_t begin = 0;            // first token of the whole statement (the IF of a guarded one)
  size_t conditionFirst = npos;  // IF condition tokens [conditionFirst, conditionLast)
  size_t conditionLast = npos;
  size_t first = 0;  // the (guarded) statement's tokens [first, last)
  size_t last = 0;
  bool otherwise = false;  // begins with ELSE: runs when the IF before it found its condition false
  bool guarded() const { return conditionFirst != npos; }
};

class BatchSplitter {
 public:
  // Throws ComError (0x80040E14) for unbalanced parentheses, an IF without a
  // statement, an ELSE that follows no IF, or a statement that begins with
  // something else.
  static std::vector<StatementRange> Split(const std::vector<Token>& tokens, size_t from = 0);
  // For a text read a stretch at a time: the statements from token `from`
  // on that certainly end within the tokens read so far; rest: where the
  // statement that may go on in the text not yet read begins (tokens.size()
  // when none). Errors as Split, except for running out of tokens.
  static std::vector<StatementRange> SplitComplete(const std::vector<Token>& tokens, size_t from, size_t& rest);

 private:
  struct Incomplete {};  // ran out of tokens in the middle of a statement
  explicit BatchSplitter(const std::vector<Token>& tokens) : tokens_(tokens) {}
  StatementRange NextStatement();
  size_t ScanCondition(size_t from) const;
  size_t ScanStatement(size_t from, bool guarded) const;
  bool StartsStatement(size_t i) const;
  [[noreturn]] void FailNear(size_t i) const;

  const std::vector<Token>& tokens_;
  size_t pos_ = 0;
  bool partial_ = false;
  bool afterIf_ = false;  // the statement just read was the body of an IF (an ELSE may follow)
};

}  // namespace fabrikon::dialect
