// SqlType: the T-SQL type of a value as the dialect reasons about it (what a
// column is declared as, what an expression yields), with SQL Server's data
// type precedence, which decides how two operands of different types meet.
#pragma once
#include <string>
#include <string_view>

namespace fabrikon::dialect {

struct SqlType {
  // In rising precedence; Unknown and Null take no part in it.
  enum class Kind : unsigned char {
    Unknown,
    Null,
    Char,
    VarChar,
    NChar,
    NVarChar,
    Bit,
    TinyInt,
    SmallInt,
    Int,
    BigInt,
    SmallMoney,
    Money,
    Decimal,
    Real,
    Float,
    Date,
    SmallDateTime,
    DateTime,
  };

  Kind kind = Kind::Unknown;
  int precision = 0;  // Decimal; the length of the text types (-1: max)
  int scale = 0;

  static SqlType Of(Kind kind, int precision = 0, int scale = 0) { return SqlType{kind, precision, scale}; }
  // A declared type as a table states it ("nvarchar(20)", "decimal(10,2)",
  // "INTEGER"); Unknown for names it does not know.
  static SqlType FromDeclared(std::string_view declared);
  // The type a numeric literal has: int within int's range, else
  // numeric(p,s) from its digits; float with an exponent.
  static SqlType OfNumberLiteral(std::string_view text);
  // Of two operands, the one with the higher precedence (the other is
  // converted to it); a known type wins over Unknown only when the other is
  // Null.
  static SqlType Higher(const SqlType& a, const SqlType& b);

  bool known() const { return kind != Kind::Unknown && kind != Kind::Null; }
  bool IsText() const { return kind >= Kind::Char && kind <= Kind::NVarChar; }
  bool IsUnicode() const { return kind == Kind::NChar || kind == Kind::NVarChar; }
  bool IsNumber() const { return kind >= Kind::Bit && kind <= Kind::Float; }
  bool IsIntegral() const { return kind >= Kind::TinyInt && kind <= Kind::BigInt; }
  bool IsDate() const { return kind >= Kind::Date && kind <= Kind::DateTime; }

  // The word the run-time conversion tsql_as takes for this type.
  std::string_view ConversionName() const;
  // The declared type a result column of this type reports ("" when none
  // is worth reporting).
  std::string DeclaredName() const;
};

}  // namespace fabrikon::dialect
