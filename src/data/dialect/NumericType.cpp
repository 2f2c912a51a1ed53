// NumericType: see the header. The decimal rules are T-SQL's: for e1 op e2
// with precisions p1, p2 and scales s1, s2,
//   + -  p = max(s1, s2) + max(p1 - s1, p2 - s2) + 1, s = max(s1, s2)
//   *    p = p1 + p2 + 1, s = s1 + s2
//   /    p = p1 - s1 + s2 + max(6, s1 + p2 + 1), s = max(6, s1 + p2 + 1)
//   %    p = min(p1 - s1, p2 - s2) + max(s1, s2), s = max(s1, s2)
// and a precision past 38 is cut to 38, the scale giving way as described
// with each operator below.
#include "data/dialect/NumericType.h"

#include <algorithm>
#include <charconv>

#include "data/dialect/ExpressionTyper.h"

namespace fabrikon::dialect {

namespace {

using Kind = NumericType::Kind;

bool ReadNumber(const TokenList& tokens, TokenList::Range r, int& out) {
  if (r.second != r.first + 1 || tokens[r.first].kind != TokenKind::Number) return false;
  const std::string_view text = tokens[r.first].text;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), out);
  return error == std::errc() && end == text.data() + text.size();
}

// What two operands make before the operator's own rule: Unknown, Float,
// Int, Money, or Decimal (the operator's rule then gives precision and scale).
Kind Mix(const NumericType& a, const NumericType& b) {
  if (!a.Known() || !b.Known()) return Kind::Unknown;
  if (a.Is(Kind::Float) || b.Is(Kind::Float)) return Kind::Float;
  if (a.Is(Kind::Int) && b.Is(Kind::Int)) return Kind::Int;
  if (a.Is(Kind::Decimal) || b.Is(Kind::Decimal)) return Kind::Decimal;
  return Kind::Money;  // money with money or with an int
}

NumericType Simple(Kind kind, const NumericType& a, const NumericType& b) {
  switch (kind) {
    case Kind::Float: return NumericType::Float();
    case Kind::Int: return NumericType::Int(std::max(a.bits, b.bits));
    case Kind::Money: return NumericType::Money();
    default: return NumericType{};
  }
}

// Multiplication and division keep the scale where the whole part leaves
// room for it: an integral part under 32 digits leaves 38 minus it; a
// larger one cuts a scale above 6 to 6.
NumericType CapProduct(int precision, int scale) {
  if (precision <= NumericType::kMaxPrecision) return NumericType::Decimal(precision, scale);
  const int integral = precision - scale;
  if (integral < 32)
    scale = std::min(scale, NumericType::kMaxPrecision - integral);
  else if (scale > 6)
    scale = 6;
  return NumericType::Decimal(NumericType::kMaxPrecision, scale);
}

}  // namespace

NumericType NumericType::AsDecimal() const {
  switch (kind) {
    case Kind::Int: return Decimal(bits == 64 ? 19 : bits == 16 ? 5 : bits == 8 ? 3 : 10, 0);
    case Kind::Money: return Decimal(19, 4);
    default: return *this;
  }
}

std::string NumericType::Name() const {
  switch (kind) {
    case Kind::Int: return bits == 64 ? "bigint" : bits == 16 ? "smallint" : bits == 8 ? "tinyint" : "int";
    case Kind::Decimal: return "numeric";
    case Kind::Money: return "money";
    case Kind::Float: return "float";
    default: return "";
  }
}

NumericType NumericType::FromSql(const SqlType& type) {
  using S = SqlType::Kind;
  switch (type.kind) {
    case S::TinyInt: return Int(8);
    case S::SmallInt: return Int(16);
    case S::Int: return Int(32);
    case S::BigInt: return Int(64);
    case S::SmallMoney:
    case S::Money: return Money();
    case S::Decimal: return type.precision > 0 ? Decimal(type.precision, type.scale) : NumericType{};
    case S::Real:
    case S::Float: return Float();
    default: return {};
  }
}

NumericType NumericType::OfLiteral(std::string_view text) {
  if (text.empty() || text.substr(0, 2) == "0x" || text.substr(0, 2) == "0X") return {};
  if (text.find_first_of("eE") != std::string_view::npos) return Float();
  const size_t point = text.find('.');
  std::string_view whole = text.substr(0, point);
  const std::string_view fraction = point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
  while (!whole.empty() && whole.front() == '0') whole.remove_prefix(1);
  if (point == std::string_view::npos && (whole.size() < 10 || (whole.size() == 10 && whole <= "2147483647")))
    return Int(32);
  const int scale = static_cast<int>(fraction.size());
  const int precision = std::max(static_cast<int>(whole.size()) + scale, 1);
  if (precision > kMaxPrecision) return Float();  // past numeric's digits T-SQL reads a float
  return Decimal(precision, scale);
}

NumericType NumericType::Of(const TokenList& tokens, size_t first, size_t last, const ExpressionTyper* typer) {
  while (last > first + 1 && tokens[first].kind == TokenKind::LParen && tokens.MatchParen(first) == last - 1) {
    ++first;
    --last;
  }
  if (last == first + 2 && (tokens[first].IsOp("-") || tokens[first].IsOp("+"))) ++first;
  if (last == first + 1 && tokens[first].kind == TokenKind::Number) return OfLiteral(tokens[first].text);
  const Token& head = tokens[first];
  if (head.kind != TokenKind::Word || tokens.At(first + 1).kind != TokenKind::LParen ||
      tokens.MatchParen(first + 1) != last - 1)
    return typer != nullptr ? FromSql(typer->ColumnType(first, last)) : NumericType{};
  const std::vector<TokenList::Range> args = tokens.Arguments(first + 1, last - 1);
  int a = 0, b = 0;
  if (head.IsWord("tsql_int") && args.size() == 2 && ReadNumber(tokens, args[1], a)) return Int(a);
  if ((head.IsWord("tsql_decimal") || head.IsWord("tsql_numeric")) && args.size() >= 3 &&
      ReadNumber(tokens, args[1], a) && ReadNumber(tokens, args[2], b))
    return Decimal(a, b);
  if (head.IsWord("tsql_numeric_div") && args.size() == 4 && ReadNumber(tokens, args[2], a) &&
      ReadNumber(tokens, args[3], b))
    return Decimal(a, b);
  if (head.IsWord("tsql_money") || head.IsWord("tsql_money_rv")) return Money();
  if (head.IsWord("tsql_float")) return Float();
  if (head.IsWord("count")) return Int(32);
  if (head.IsWord("count_big")) return Int(64);
  if ((head.IsWord("round") || head.IsWord("abs")) && !args.empty())
    return Of(tokens, args[0].first, args[0].second, typer);
  if (head.IsWord("avg") && args.size() == 1) return Average(Of(tokens, args[0].first, args[0].second, typer));
  if (typer != nullptr && (head.IsWord("sum") || head.IsWord("min") || head.IsWord("max") ||
                           head.IsWord("isnull") || head.IsWord("ifnull")))
    return FromSql(typer->TypeOf(first, last));
  return {};
}

NumericType NumericType::Average(const NumericType& of) {
  if (of.Is(Kind::Int)) return Int(std::max(of.bits, 32));
  if (of.Is(Kind::Decimal)) return Decimal(kMaxPrecision, std::max(of.scale, 6));
  return of;
}

// Addition cuts the scale so that the whole part keeps its digits.
NumericType NumericType::Add(const NumericType& a, const NumericType& b) {
  const Kind kind = Mix(a, b);
  if (kind != Kind::Decimal) return Simple(kind, a, b);
  const NumericType x = a.AsDecimal(), y = b.AsDecimal();
  const int integral = std::max(x.precision - x.scale, y.precision - y.scale);
  const int scale = std::max(x.scale, y.scale);
  if (integral + scale + 1 <= kMaxPrecision) return Decimal(integral + scale + 1, scale);
  return Decimal(kMaxPrecision, std::max(0, std::min(scale, kMaxPrecision - integral)));
}

NumericType NumericType::Multiply(const NumericType& a, const NumericType& b) {
  const Kind kind = Mix(a, b);
  if (kind != Kind::Decimal) return Simple(kind, a, b);
  const NumericType x = a.AsDecimal(), y = b.AsDecimal();
  return CapProduct(x.precision + y.precision + 1, x.scale + y.scale);
}

NumericType NumericType::Divide(const NumericType& a, const NumericType& b) {
  const Kind kind = Mix(a, b);
  if (kind != Kind::Decimal) return Simple(kind, a, b);
  const NumericType x = a.AsDecimal(), y = b.AsDecimal();
  const int scale = std::max(6, x.scale + y.precision + 1);
  return CapProduct(x.precision - x.scale + y.scale + scale, scale);
}

NumericType NumericType::Modulo(const NumericType& a, const NumericType& b) {
  const Kind kind = Mix(a, b);
  if (kind != Kind::Decimal) return Simple(kind, a, b);
  const NumericType x = a.AsDecimal(), y = b.AsDecimal();
  const int scale = std::max(x.scale, y.scale);
  return Decimal(std::min(std::min(x.precision - x.scale, y.precision - y.scale) + scale, kMaxPrecision), scale);
}

}  // namespace fabrikon::dialect
