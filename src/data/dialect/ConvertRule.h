// ConvertRule: CONVERT(type, x [, style]) and CAST(x AS type) with T-SQL's
// meaning, through the conversion functions RegisterFunctions installs:
//   money          -> tsql_money(x); of the row version column qxts -> tsql_money_rv(qxts)
//   char/varchar.. -> tsql_str(x, length, style, padded); of a money value
//                     tsql_money_str(...), and the row-version guard's
//                     convert(char, money, 2) -> tsql_char_money2(m)
//   int family     -> tsql_int(x, bits)
//   decimal(p,s)   -> tsql_decimal(x, p, s) (rounds half away from zero)
//   float, real    -> tsql_float(x)
//   datetime, date -> tsql_datetime(x, style), tsql_date(x, style)
//   bit            -> tsql_bit(x)
// Other types stay a native CAST.
#pragma once
#include <string>
#include <vector>

#include "data/dialect/RewriteRule.h"

namespace fabrikon::dialect {

class ConvertRule : public RewriteRule {
 public:
  void Apply(TokenList& tokens, const RuleContext& context) const override;

 private:
  struct TargetType {
    std::string name;  // lower case
    long precision = -2;  // -2: not given; -1: max
    long scale = -2;
  };
  static TargetType ReadType(const TokenList& tokens, size_t first, size_t last);
  static std::vector<Token> Conversion(TokenList& tokens, const TargetType& type, std::vector<Token> value,
                                       std::vector<Token> style, TokenList::Range typeRange);
  static std::vector<Token> Call(TokenList& tokens, std::string_view function,
                                 std::vector<std::vector<Token>> arguments);
};

}  // namespace fabrikon::dialect
