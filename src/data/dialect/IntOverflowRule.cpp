// IntOverflowRule: see the header. Candidates are tried from the right, so an
// expression inside parentheses or a call is rewritten before the one around
// it, which then finds it as a single int operand.
#include "data/dialect/IntOverflowRule.h"

#include <cstdint>

namespace fabrikon::dialect {

namespace {

constexpr int kMaxDepth = 64;  // deeper nesting is left to the engine

// The ")" closing a conversion to int at first (npos when it is none). The
// functions that yield int (len, count, ...) are not counted: their sums
// never reach int's limits in practice, and a check on every row would cost.
size_t IntCallEnd(const TokenList& t, size_t first) {
  if (!t.At(first).IsWord("tsql_int") || t.At(first + 1).kind != TokenKind::LParen) return TokenList::npos;
  const size_t close = t.MatchParen(first + 1);
  if (close == TokenList::npos || close < first + 4) return TokenList::npos;
  return t[close - 1].text == "32" && t[close - 2].kind == TokenKind::Comma ? close : TokenList::npos;
}

void Append(std::vector<Token>& out, const TokenList& t, size_t first, size_t last) {
  for (size_t k = first; k < last; ++k) out.push_back(t[k]);
}

// out becomes tsql_int(out, 32).
void Checked(std::vector<Token>& out) {
  if (out.empty()) return;
  std::vector<Token> call{TokenList::Word("tsql_int"), TokenList::Open()};
  call[0].blankBefore = out[0].blankBefore;
  out[0].blankBefore = false;
  call.insert(call.end(), out.begin(), out.end());
  call.push_back(TokenList::Comma());
  call.push_back(TokenList::Make(TokenKind::Number, "32"));
  call.push_back(TokenList::Close());
  out = std::move(call);
}

bool Sum(const TokenList& t, size_t& i, int depth, std::vector<Token>& out, bool& checked);

// A literal, an int call, or a parenthesised int expression; literal: the
// operand is a bare literal (its negation cannot leave int's range).
bool Primary(const TokenList& t, size_t& i, int depth, std::vector<Token>& out, bool& checked, bool& literal) {
  literal = false;
  if (IntOverflowRule::IsIntLiteral(t.At(i))) {
    out.push_back(t[i++]);
    literal = true;
    return true;
  }
  const size_t callEnd = IntCallEnd(t, i);
  if (callEnd != TokenList::npos) {
    Append(out, t, i, callEnd + 1);
    i = callEnd + 1;
    return true;
  }
  if (t.At(i).kind != TokenKind::LParen || depth >= kMaxDepth) return false;
  out.push_back(t[i++]);
  if (!Sum(t, i, depth + 1, out, checked) || t.At(i).kind != TokenKind::RParen) return false;
  out.push_back(t[i++]);
  return true;
}

bool Unary(const TokenList& t, size_t& i, int depth, std::vector<Token>& out, bool& checked) {
  if (!t.At(i).IsOp("-") && !t.At(i).IsOp("+")) {
    bool literal = false;
    return Primary(t, i, depth, out, checked, literal);
  }
  if (depth >= kMaxDepth) return false;
  const Token sign = t[i++];
  std::vector<Token> operand;
  bool literal = t.At(i).kind == TokenKind::Number;
  if (!Unary(t, i, depth + 1, operand, checked)) return false;
  out.push_back(sign);
  out.insert(out.end(), operand.begin(), operand.end());
  if (sign.IsOp("-") && !(literal && operand.size() == 1)) {  // -(-2147483647 - 1) overflows
    Checked(out);
    checked = true;
  }
  return true;
}

bool Binary(const TokenList& t, size_t& i, int depth, std::vector<Token>& out, bool& checked, bool sum) {
  if (!(sum ? Binary(t, i, depth, out, checked, false) : Unary(t, i, depth, out, checked))) return false;
  auto isOp = [sum](const Token& op) {
    return sum ? op.IsOp("+") || op.IsOp("-") : op.IsOp("*") || op.IsOp("/") || op.IsOp("%");
  };
  while (isOp(t.At(i))) {
    out.push_back(t[i++]);
    if (!(sum ? Binary(t, i, depth, out, checked, false) : Unary(t, i, depth, out, checked))) return false;
    Checked(out);
    checked = true;
  }
  return true;
}

bool Sum(const TokenList& t, size_t& i, int depth, std::vector<Token>& out, bool& checked) {
  return Binary(t, i, depth, out, checked, true);
}

// An expression may begin at i: nothing before it binds to it.
bool StartsExpression(const TokenList& t, size_t i) {
  if (i == 0) return true;
  const Token& prev = t[i - 1];
  if (prev.kind == TokenKind::LParen || prev.kind == TokenKind::Comma || prev.IsComparison()) return true;
  return TokenList::IsReserved(prev) && !prev.IsWord("end") && !prev.IsWord("null") && !prev.IsWord("collate");
}

// The expression that ended before i stands alone: nothing after it binds to it.
bool EndsExpression(const TokenList& t, size_t i) {
  if (i >= t.size()) return true;
  const Token& next = t[i];
  switch (next.kind) {
    case TokenKind::RParen:
    case TokenKind::Comma:
    case TokenKind::Semicolon:
    case TokenKind::QuotedName:
      return true;
    case TokenKind::Operator:
      return next.IsComparison();
    case TokenKind::Word:
      return !next.IsWord("collate");
    default:
      return false;
  }
}

}  // namespace

bool IntOverflowRule::IsIntLiteral(const Token& token) {
  if (token.kind != TokenKind::Number) return false;
  int64_t value = 0;
  for (char c : token.text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
    if (value > INT32_MAX) return false;
  }
  return !token.text.empty();
}

bool IntOverflowRule::IsInt(const TokenList& tokens, size_t first, size_t last) {
  if (last == first + 1) return IsIntLiteral(tokens[first]);
  if (tokens.At(first).kind == TokenKind::LParen && tokens.MatchParen(first) == last - 1)
    return IsInt(tokens, first + 1, last - 1);
  return IntCallEnd(tokens, first) == last - 1;
}

void IntOverflowRule::Apply(TokenList& tokens, const RuleContext&) const {
  bool arithmetic = false;
  for (size_t i = 0; i < tokens.size() && !arithmetic; ++i)
    arithmetic = tokens[i].IsOp("+") || tokens[i].IsOp("-") || tokens[i].IsOp("*") || tokens[i].IsOp("/") ||
                 tokens[i].IsOp("%");
  if (!arithmetic) return;
  for (size_t start = tokens.size(); start-- > 0;) {
    if (!StartsExpression(tokens, start)) continue;
    std::vector<Token> out;
    size_t end = start;
    bool checked = false;
    if (Sum(tokens, end, 0, out, checked) && checked && EndsExpression(tokens, end))
      tokens.Replace(start, end, std::move(out));
  }
}

}  // namespace fabrikon::dialect
