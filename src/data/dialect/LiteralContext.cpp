// LiteralContext: see the header.
#include "data/dialect/LiteralContext.h"

#include <string>

namespace fabrikon::dialect {

bool LiteralContext::IsArithmetic(const Token& t) { return t.kind == TokenKind::Operator && !t.IsComparison(); }

bool LiteralContext::IsRightOfComparison(const TokenList& tokens, size_t i) {
  if (i == 0 || !tokens[i - 1].IsComparison() || tokens.IsAssignment(i - 1)) return false;
  const Token& next = tokens.At(i + 1);
  return !IsArithmetic(next) && next.kind != TokenKind::Dot && !next.IsWord("collate");
}

bool LiteralContext::IsLeftOfComparison(const TokenList& tokens, size_t i) {
  if (!tokens.At(i + 1).IsComparison()) return false;
  return i == 0 || !IsArithmetic(tokens[i - 1]);
}

bool LiteralContext::IsColumn(const TokenList& tokens, size_t first, size_t last) {
  if (first >= last || last > tokens.size() || (last - first) % 2 == 0) return false;
  if (tokens.At(last).kind == TokenKind::LParen || TokenList::IsReserved(tokens[first])) return false;
  for (size_t i = first; i < last; ++i) {
    const bool name = tokens[i].kind == TokenKind::Word || tokens[i].kind == TokenKind::QuotedName;
    if ((i - first) % 2 == 0 ? !name : tokens[i].kind != TokenKind::Dot) return false;
  }
  return true;
}

std::string LiteralContext::Value(const Token& literal) {
  std::string out;
  const std::string_view text = literal.text.substr(1, literal.text.size() - 2);
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    out += text[i];
    if (text[i] == '\'') ++i;
  }
  return out;
}

}  // namespace fabrikon::dialect
