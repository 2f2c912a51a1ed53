// DateLiteralRule: see the header.
#include "data/dialect/DateLiteralRule.h"

#include <cstdio>

#include "data/dialect/LiteralContext.h"
#include "data/dialect/StringConcatRule.h"
#include "fabrikon/Variant.h"

namespace fabrikon::dialect {

namespace {

bool LooksLikeDate(std::string_view text) {
  // 'YYYY-' or 'YYYY/' at least; the full check is DateTime::Parse.
  if (text.size() < 10) return false;
  for (size_t i = 1; i <= 4; ++i)
    if (text[i] < '0' || text[i] > '9') return false;
  return text[5] == '-' || text[5] == '/';
}

}  // namespace

void DateLiteralRule::Apply(TokenList& tokens, const RuleContext&) const {
  std::string canonical;
  for (size_t i = 0; i < tokens.size(); ++i) {
    Token& t = tokens[i];
    if (t.kind != TokenKind::String || !Canonical(t.text, canonical) || !InDatePosition(tokens, i)) continue;
    t.text = tokens.Store(canonical);
  }
}

bool DateLiteralRule::Canonical(std::string_view literal, std::string& canonical) {
  if (!LooksLikeDate(literal)) return false;
  Token t = TokenList::Make(TokenKind::String, literal);
  DateTime date;
  if (!DateTime::Parse(LiteralContext::Value(t), date)) return false;
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "'%04d-%02d-%02d %02d:%02d:%02d'", date.year, date.month, date.day,
                date.hour, date.minute, date.second);
  canonical = buffer;
  return true;
}

bool DateLiteralRule::InDatePosition(const TokenList& tokens, size_t i) {
  const Token& prev = i > 0 ? tokens[i - 1] : tokens.At(tokens.size());
  const Token& next = tokens.At(i + 1);
  // Compared with text (convert(varchar(10), d, 120) = '2008-01-14') the
  // literal is text too and keeps its form.
  if (prev.IsComparison() && i >= 2)
    return StringConcatRule::Classify(tokens, tokens.OperandStart(i - 2), i - 1) != StringConcatRule::Type::Text;
  if (next.IsComparison())
    return StringConcatRule::Classify(tokens, i + 2, tokens.OperandEnd(i + 2)) != StringConcatRule::Type::Text;
  if (prev.IsWord("between")) return true;
  if (prev.IsWord("and") && i >= 3 && tokens[i - 2].kind == TokenKind::String && tokens[i - 3].IsWord("between"))
    return true;
  // A whole item of a VALUES or IN list.
  if ((prev.kind != TokenKind::LParen && prev.kind != TokenKind::Comma) ||
      (next.kind != TokenKind::Comma && next.kind != TokenKind::RParen))
    return false;
  int depth = 0;
  for (size_t p = i; p-- > 0;) {
    if (tokens[p].kind == TokenKind::RParen) ++depth;
    if (tokens[p].kind == TokenKind::LParen && depth-- == 0) {
      if (p > 0 && tokens[p - 1].IsWord("in")) return true;
      return tokens.FindWord("values", 0, p) != TokenList::npos;
    }
  }
  return false;
}

}  // namespace fabrikon::dialect
