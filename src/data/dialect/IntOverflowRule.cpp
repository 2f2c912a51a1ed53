// IntOverflowRule: see the header. Candidates are tried from the right, so an
// expression inside parentheses or a call is rewritten before the one around
// it, which then finds it as a single int operand.
#include "data/dialect/IntOverflowRule.h"

#include <algorithm>
#include <cstdint>
#include <memory>

#include "data/dialect/ExpressionTyper.h"

namespace fabrikon::dialect {

namespace {

constexpr int kMaxDepth = 64;  // deeper nesting is left to the engine

// The ")" closing a conversion to a type of the int family at first (npos
// when it is none), and the type's bits. The functions that yield int (len,
// count, ...) are not counted: their sums never reach int's limits in
// practice, and a check on every row would cost.
size_t IntCallEnd(const TokenList& t, size_t first, int& bits) {
  if (!t.At(first).IsWord("tsql_int") || t.At(first + 1).kind != TokenKind::LParen) return TokenList::npos;
  const size_t close = t.MatchParen(first + 1);
  if (close == TokenList::npos || close < first + 4 || t[close - 2].kind != TokenKind::Comma) return TokenList::npos;
  const std::string_view size = t[close - 1].text;
  bits = size == "32" ? 32 : size == "64" ? 64 : size == "16" ? 16 : size == "8" ? 8 : 0;
  return bits != 0 ? close : TokenList::npos;
}

void Append(std::vector<Token>& out, const std::vector<Token>& more) {
  out.insert(out.end(), more.begin(), more.end());
}

// out becomes tsql_int(out, bits).
void Checked(std::vector<Token>& out, int bits) {
  if (out.empty()) return;
  std::vector<Token> call{TokenList::Word("tsql_int"), TokenList::Open()};
  call[0].blankBefore = out[0].blankBefore;
  out[0].blankBefore = false;
  Append(call, out);
  call.push_back(TokenList::Comma());
  call.push_back(TokenList::Make(TokenKind::Number, bits == 64 ? "64" : bits == 16 ? "16" : bits == 8 ? "8" : "32"));
  call.push_back(TokenList::Close());
  out = std::move(call);
}

// Each reader below parses the int expression at i into out (empty on
// entry, its own operand only), advances i past it, sets bits to its type's
// (the wider of two operands': smallint + smallint stays smallint), and sets
// checked when it wrapped an operation. False when the text there is no int
// expression.
bool Sum(const TokenList& t, size_t& i, int depth, std::vector<Token>& out, bool& checked, int& bits,
         const ExpressionTyper* typer);

bool IsName(const Token& t) {
  return t.kind == TokenKind::QuotedName || (t.kind == TokenKind::Word && !TokenList::IsReserved(t));
}

// Where the column name (possibly qualified) at i ends; npos when there is
// none (a call is no column).
size_t ColumnEnd(const TokenList& t, size_t i) {
  if (!IsName(t.At(i))) return TokenList::npos;
  size_t end = i + 1;
  while (t.At(end).kind == TokenKind::Dot && IsName(t.At(end + 1))) end += 2;
  return t.At(end).kind == TokenKind::LParen || t.At(end).kind == TokenKind::Dot ? TokenList::npos : end;
}

// The bits of the int family's type of the column [i, end), 0 when the
// typer does not tell one.
int ColumnBits(size_t i, size_t end, const ExpressionTyper* typer) {
  if (typer == nullptr || end == TokenList::npos) return 0;
  switch (typer->ColumnType(i, end).kind) {
    case SqlType::Kind::TinyInt: return 8;
    case SqlType::Kind::SmallInt: return 16;
    case SqlType::Kind::Int: return 32;
    case SqlType::Kind::BigInt: return 64;
    default: return 0;
  }
}

// A literal, a conversion to the int family, a column of the family, or a
// parenthesised int expression.
bool Primary(const TokenList& t, size_t& i, int depth, std::vector<Token>& out, bool& checked, int& bits,
             const ExpressionTyper* typer) {
  const size_t columnEnd = ColumnEnd(t, i);
  const int columnBits = ColumnBits(i, columnEnd, typer);
  if (columnBits != 0) {
    out = t.Slice(i, columnEnd);
    i = columnEnd;
    bits = columnBits;
    return true;
  }
  if (IntOverflowRule::IsIntLiteral(t.At(i))) {
    out.push_back(t[i++]);
    bits = 32;
    return true;
  }
  const size_t callEnd = IntCallEnd(t, i, bits);
  if (callEnd != TokenList::npos) {
    out = t.Slice(i, callEnd + 1);
    i = callEnd + 1;
    return true;
  }
  if (t.At(i).kind != TokenKind::LParen || depth >= kMaxDepth) return false;
  const Token open = t[i++];
  std::vector<Token> inner;
  if (!Sum(t, i, depth + 1, inner, checked, bits, typer) || t.At(i).kind != TokenKind::RParen) return false;
  out.push_back(open);
  Append(out, inner);
  out.push_back(t[i++]);
  return true;
}

bool Unary(const TokenList& t, size_t& i, int depth, std::vector<Token>& out, bool& checked, int& bits,
           const ExpressionTyper* typer) {
  if (!t.At(i).IsOp("-") && !t.At(i).IsOp("+")) return Primary(t, i, depth, out, checked, bits, typer);
  if (depth >= kMaxDepth) return false;
  const Token sign = t[i++];
  const bool literal = IntOverflowRule::IsIntLiteral(t.At(i));
  std::vector<Token> operand;
  if (!Unary(t, i, depth + 1, operand, checked, bits, typer)) return false;
  out.push_back(sign);
  Append(out, operand);
  if (sign.IsOp("-") && !literal) {  // -(-2147483647 - 1) overflows; a literal's negation cannot
    Checked(out, bits);
    checked = true;
  }
  return true;
}

// A chain of * / % (sum false) or of + - (sum true), left to right.
bool Binary(const TokenList& t, size_t& i, int depth, std::vector<Token>& out, bool& checked, int& bits,
            const ExpressionTyper* typer, bool sum) {
  auto operand = [&](std::vector<Token>& into, int& intoBits) {
    return sum ? Binary(t, i, depth, into, checked, intoBits, typer, false)
               : Unary(t, i, depth, into, checked, intoBits, typer);
  };
  auto isOp = [sum](const Token& op) {
    return sum ? op.IsOp("+") || op.IsOp("-") : op.IsOp("*") || op.IsOp("/") || op.IsOp("%");
  };
  if (!operand(out, bits)) return false;
  while (isOp(t.At(i))) {
    out.push_back(t[i++]);
    std::vector<Token> right;
    int rightBits = 32;
    if (!operand(right, rightBits)) return false;
    Append(out, right);
    bits = std::max(bits, rightBits);
    Checked(out, bits);
    checked = true;
  }
  return true;
}

bool Sum(const TokenList& t, size_t& i, int depth, std::vector<Token>& out, bool& checked, int& bits,
         const ExpressionTyper* typer) {
  return Binary(t, i, depth, out, checked, bits, typer, true);
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
  int bits = 0;
  return IntCallEnd(tokens, first, bits) == last - 1 && bits == 32;
}

void IntOverflowRule::Apply(TokenList& tokens, const RuleContext& context) const {
  bool arithmetic = false;
  for (size_t i = 0; i < tokens.size() && !arithmetic; ++i)
    arithmetic = tokens[i].IsOp("+") || tokens[i].IsOp("-") || tokens[i].IsOp("*") || tokens[i].IsOp("/") ||
                 tokens[i].IsOp("%");
  if (!arithmetic) return;
  std::unique_ptr<ExpressionTyper> typer;
  if (context.catalog != nullptr) typer = std::make_unique<ExpressionTyper>(tokens, context.catalog);
  for (size_t start = tokens.size(); start-- > 0;) {
    if (!tokens.StartsExpression(start)) continue;
    std::vector<Token> out;
    size_t end = start;
    bool checked = false;
    int bits = 32;
    if (Sum(tokens, end, 0, out, checked, bits, typer.get()) && checked && tokens.EndsExpression(end))
      tokens.Replace(start, end, std::move(out));
  }
}

}  // namespace fabrikon::dialect
