// NumericType: the type T-SQL gives a number, as far as a statement's text
// tells it (literals, conversions, counts), with the precision and scale
// rules of T-SQL's arithmetic. A column's type is the one the expression
// typer reads from the catalog (SqlType, the dialect's one model of declared
// types; NumericType is its view for arithmetic). Unknown where neither tells
// (a column without a catalog): the rules that read it then leave the
// expression as it is.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "data/dialect/SqlType.h"
#include "data/dialect/TokenList.h"

namespace fabrikon::dialect {

class ExpressionTyper;

struct NumericType {
  enum class Kind : uint8_t { Unknown, Int, Decimal, Money, Float };
  Kind kind = Kind::Unknown;
  int bits = 0;       // Int: 8 tinyint, 16 smallint, 32 int, 64 bigint
  int precision = 0;  // Decimal (Money: 19)
  int scale = 0;      // Decimal (Money: 4)

  static constexpr int kMaxPrecision = 38;

  static NumericType Int(int bits) { return {Kind::Int, bits, 0, 0}; }
  static NumericType Decimal(int precision, int scale) { return {Kind::Decimal, 0, precision, scale}; }
  static NumericType Money() { return {Kind::Money, 0, 19, 4}; }
  static NumericType Float() { return {Kind::Float, 0, 0, 0}; }

  bool Known() const { return kind != Kind::Unknown; }
  bool Is(Kind k) const { return kind == k; }
  // As an operand of decimal arithmetic: int is decimal(10,0), bigint
  // decimal(19,0), money decimal(19,4).
  NumericType AsDecimal() const;
  // The name T-SQL's messages give the type: int, bigint, numeric, money, float.
  std::string Name() const;

  // The arithmetic view of a declared type: the int family, decimal, money
  // (smallmoney computes as money) and float (real too); Unknown for the
  // rest (bit takes no part in arithmetic here).
  static NumericType FromSql(const SqlType& type);

  // A number literal as written: 12 int, 3000000000 numeric(10,0), 12.50
  // numeric(4,2), 1e3 float.
  static NumericType OfLiteral(std::string_view text);
  // The type of the expression in [first, last) when the text tells it: a
  // (signed) literal, a conversion the dialect wrote (tsql_int, tsql_decimal,
  // tsql_money, tsql_float), the numeric results of the arithmetic rules,
  // count(...), round/abs/avg of a typed value, or such in parentheses; a
  // column, sum, min, max or isnull of one as the typer tells (may be null:
  // then they are unknown).
  static NumericType Of(const TokenList& tokens, size_t first, size_t last, const ExpressionTyper* typer = nullptr);

  // The result types of + and -, *, /, %: Unknown when an operand is; float
  // when one is; the wider int for two ints; money with ints; else decimal
  // by T-SQL's precision and scale rules (at most 38 digits).
  static NumericType Add(const NumericType& a, const NumericType& b);
  static NumericType Multiply(const NumericType& a, const NumericType& b);
  static NumericType Divide(const NumericType& a, const NumericType& b);
  static NumericType Modulo(const NumericType& a, const NumericType& b);
  // avg of a value: an int's average is an int (the fraction cut off), a
  // decimal's a decimal(38, at least 6).
  static NumericType Average(const NumericType& of);
};

}  // namespace fabrikon::dialect
