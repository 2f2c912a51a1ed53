// ImplicitConversionRule: where operands of different types meet, SQL Server
// converts the one of lower data type precedence; the expression types tell
// which (ExpressionTyper). After this rule:
//   * a + b is a join (||) only when both sides are texts; a text meeting a
//     number in + - * / % is converted to the number's type (and fails when
//     it is no number);
//   * date + n, date - n and n + date count n in days, date - date gives the
//     difference as a date after 1900-01-01 (tsql_date_add);
//   * a number or date compared with a text (or BETWEEN two) converts the text; a number
//     column compared with a text literal that is no number is unequal to
//     it instead of failing (the library's key lookups take the host's text
//     as given: WHERE id = '1'' OR ''1''=''1' finds nothing);
//   * ISNULL takes its first argument's type, COALESCE and CASE the highest
//     of their arguments and results: the text ones are converted;
//   * COALESCE of nothing but NULL constants is refused, as SQL Server does.
// Operands whose type is unknown (a column the catalog does not know) are
// left as they are for the later rules.
#pragma once
#include "data/dialect/ExpressionTyper.h"
#include "data/dialect/RewriteRule.h"

namespace fabrikon::dialect {

class ImplicitConversionRule : public RewriteRule {
 public:
  void Apply(TokenList& tokens, const RuleContext& context) const override;

  // Wraps [first, last) into the conversion of a text of type `from` to
  // type `to`; returns the index past the call. A lenient conversion leaves
  // a text that is no number as it is.
  static size_t Convert(TokenList& tokens, size_t first, size_t last, const SqlType& from, const SqlType& to,
                        bool lenient = false);

 private:
  static void ConvertArguments(TokenList& tokens, const ExpressionTyper& typer);
  static void ConvertComparisons(TokenList& tokens, const ExpressionTyper& typer);
  static void ConvertBounds(TokenList& tokens, const ExpressionTyper& typer, size_t between);
  static void ConvertArithmetic(TokenList& tokens, const ExpressionTyper& typer);
  static void FitText(TokenList& tokens, TokenList::Range value, const SqlType& target);
  static size_t RightOperandEnd(const TokenList& tokens, size_t first);
};

}  // namespace fabrikon::dialect
