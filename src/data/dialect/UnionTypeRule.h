// UnionTypeRule: the columns of a UNION [ALL], EXCEPT or INTERSECT take the
// type of highest precedence among their arms, and T-SQL converts the other
// arms' values to it: select 1 union select 'a' fails with "Conversion failed
// when converting the varchar value 'a' to data type int." where the embedded
// engine would return both rows. Where every arm's type of a column is known
// from the text (literals, conversions, functions of known type, NULL), and
// text meets numbers there, the text arms become tsql_int(x, 32) (all
// numbers are ints) or tsql_float(x). Columns with an arm of unknown type
// (a column reference, say) are left alone. Where the compound removes
// duplicates, the first arm's text columns that are no table columns take
// the TSQL collation.
#pragma once
#include "data/dialect/RewriteRule.h"

namespace fabrikon::dialect {

class UnionTypeRule : public RewriteRule {
 public:
  void Apply(TokenList& tokens, const RuleContext& context) const override;

 private:
  enum class Type { Unknown, Null, Text, Int, Number };
  struct Item {
    size_t first, last;  // the expression, without its alias
    Type type;
  };
  // The SELECTs of the compound whose first SELECT is at head.
  static std::vector<size_t> Arms(const TokenList& tokens, size_t head);
  static std::vector<Item> Items(const TokenList& tokens, size_t select);
  static Item ReadItem(const TokenList& tokens, size_t first, size_t last);
  static Type TypeOf(const TokenList& tokens, size_t first, size_t last);
  static void Convert(TokenList& tokens, size_t head);
  static void Collate(TokenList& tokens, size_t head);
};

}  // namespace fabrikon::dialect
