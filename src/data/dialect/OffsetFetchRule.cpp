// OffsetFetchRule: see the header. The clauses are handled from the last to
// the first, so indices before the one rewritten stay valid.
#include "data/dialect/OffsetFetchRule.h"

#include <string>

#include "data/dialect/TSqlKeywords.h"
#include "fabrikon/ComError.h"

namespace fabrikon::dialect {

namespace {

[[noreturn]] void FailNear(const Token& t) {
  if (t.Is(TokenKind::Semicolon)) throw ComError(ErrorNumber::ErrorsInCommand, "Incorrect syntax near the end of the command.");
  throw ComError(ErrorNumber::ErrorsInCommand, TSqlKeywords::IncorrectSyntaxNear(t.text));
}

// The first ROW or ROWS at the depth of from; its index.
size_t RowsWord(const TokenList& tokens, size_t from) {
  size_t rows = tokens.FindWord("rows", from, tokens.size());
  const size_t row = tokens.FindWord("row", from, tokens.size());
  if (row != TokenList::npos && (rows == TokenList::npos || row < rows)) rows = row;
  if (rows == TokenList::npos || rows == from) FailNear(tokens.At(rows == TokenList::npos ? tokens.size() : rows));
  return rows;
}

// The ORDER BY the OFFSET at i belongs to: at its depth, before it.
bool HasOrderBy(const TokenList& tokens, size_t i) {
  int depth = 0;
  for (size_t k = i; k-- > 0;) {
    if (tokens[k].Is(TokenKind::RParen)) ++depth;
    if (tokens[k].Is(TokenKind::LParen) && --depth < 0) return false;
    if (depth == 0 && tokens[k].IsWord("by") && k > 0 && tokens[k - 1].IsWord("order")) return true;
  }
  return false;
}

}  // namespace

void OffsetFetchRule::Apply(TokenList& tokens, const RuleContext&) const {
  for (size_t i = tokens.size(); i-- > 1;) {
    // A column named offset is no clause.
    const Token& before = tokens[i - 1];
    const bool operand = before.Is(TokenKind::Dot) || before.Is(TokenKind::Comma) || before.Is(TokenKind::LParen) ||
                         before.Is(TokenKind::Operator) || before.IsWord("by") || before.IsWord("select");
    if (tokens[i].IsWord("offset") && !operand) Rewrite(tokens, i);
  }
}

void OffsetFetchRule::Rewrite(TokenList& tokens, size_t offset) {
  if (!HasOrderBy(tokens, offset)) FailNear(tokens[offset]);
  const size_t skipEnd = RowsWord(tokens, offset + 1);
  const std::vector<Token> skip = tokens.Slice(offset + 1, skipEnd);
  size_t end = skipEnd + 1;
  std::vector<Token> take{TokenList::Make(TokenKind::Number, "-1")};
  if (tokens.At(end).IsWord("fetch")) {
    if (!tokens.At(end + 1).IsWord("next") && !tokens.At(end + 1).IsWord("first")) FailNear(tokens.At(end + 1));
    const size_t takeEnd = RowsWord(tokens, end + 2);
    take = tokens.Slice(end + 2, takeEnd);
    if (!tokens.At(takeEnd + 1).IsWord("only")) FailNear(tokens.At(takeEnd + 1));
    end = takeEnd + 2;
  }
  std::vector<Token> out{TokenList::Word("LIMIT"), TokenList::Make(TokenKind::LParen, "(")};
  out.insert(out.end(), take.begin(), take.end());
  out.push_back(TokenList::Close());
  out.push_back(TokenList::Word("OFFSET"));
  out.push_back(TokenList::Make(TokenKind::LParen, "("));
  out.insert(out.end(), skip.begin(), skip.end());
  out.push_back(TokenList::Close());
  tokens.Replace(offset, end, std::move(out));
}

}  // namespace fabrikon::dialect
