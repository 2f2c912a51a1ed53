// ConvertRule: CONVERT(type, x [, style]) and CAST(x AS type) with T-SQL's
// meaning, through the conversion functions RegisterFunctions installs:
//   money          -> tsql_money(x); of the row version column qxts -> tsql_money_rv(qxts)
//   char/varchar.. -> tsql_str(x, length, style, flags) (flags: 1 padded, 2
//                     national); of a money value
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
#include <unordered_map>
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
  // The pending edits of one statement: tokens dropped and tokens to insert
  // before a given token, applied in one pass at the end.
  struct Edits {
    explicit Edits(const TokenList& tokens);
    std::vector<TokenList::Range> Arguments(size_t open, size_t close) const;
    size_t LastAs(size_t open, size_t close) const;
    void Drop(size_t first, size_t last);
    void ApplyTo(TokenList& tokens);

    const TokenList& tokens_;
    std::vector<size_t> match;  // the ")" of each "(" (npos: none)
    std::vector<bool> dropped;
    std::unordered_map<size_t, std::vector<Token>> before;
  };
  // One CONVERT(type, value[, style]) or CAST(value AS type).
  struct Call {
    size_t head, open, close;
    TokenList::Range value, style, type;
    bool isCast;
  };
  static TargetType ReadType(const TokenList& tokens, size_t first, size_t last);
  static bool IsMoneyCall(const TokenList& tokens, const Edits& edits, TokenList::Range value);
  static void Rewrite(TokenList& tokens, Edits& edits, const Call& call, const TargetType& type);
  static void Become(TokenList& tokens, Edits& edits, const Call& call, std::string_view function,
                     std::vector<std::vector<Token>> extra);
};

}  // namespace fabrikon::dialect
