// DivisionRule: see the header.
#include "data/dialect/DivisionRule.h"

#include <cstdlib>
#include <string>

namespace fabrikon::dialect {

namespace {

bool IsNonZeroNumber(const Token& t) {
  if (t.kind != TokenKind::Number) return false;
  const std::string text(t.text);
  return std::strtod(text.c_str(), nullptr) != 0.0;
}

}  // namespace

void DivisionRule::Apply(TokenList& tokens, const RuleContext&) const {
  for (size_t i = 0; i + 1 < tokens.size(); ++i) {
    if (!tokens[i].IsOp("/") && !tokens[i].IsOp("%")) continue;
    const size_t first = i + 1;
    if (IsNonZeroNumber(tokens[first])) continue;
    const size_t end = DivisorEnd(tokens, first);
    if (end == TokenList::npos) continue;
    std::vector<Token> call{TokenList::Word("tsql_divisor"), TokenList::Open()};
    call[0].blankBefore = tokens[first].blankBefore;
    for (size_t k = first; k < end; ++k) call.push_back(tokens[k]);
    call[2].blankBefore = false;
    call.push_back(TokenList::Close());
    const size_t added = call.size() - (end - first);
    tokens.Replace(first, end, std::move(call));
    i = end + added - 1;
  }
}

size_t DivisionRule::DivisorEnd(const TokenList& tokens, size_t first) {
  size_t start = first;
  while (start < tokens.size() && (tokens[start].IsOp("-") || tokens[start].IsOp("+"))) ++start;
  if (start >= tokens.size()) return TokenList::npos;
  const Token& head = tokens[start];
  if (head.IsWord("case")) {
    const size_t end = tokens.CaseEnd(start);
    return end == TokenList::npos ? end : end + 1;
  }
  if (TokenList::IsReserved(head) && !head.IsWord("null")) return TokenList::npos;
  if (head.kind == TokenKind::Operator || head.kind == TokenKind::Comma || head.kind == TokenKind::RParen ||
      head.kind == TokenKind::Semicolon)
    return TokenList::npos;
  const size_t end = tokens.OperandEnd(start);
  return end > tokens.size() ? TokenList::npos : end;
}

}  // namespace fabrikon::dialect
