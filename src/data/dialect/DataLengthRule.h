// DataLengthRule: datalength() of a datetime is 8 (of a date 3), the bytes
// SQL Server keeps, while the embedded database holds dates as text. Where
// the argument is a call that gives a date (getdate(), a conversion to
// datetime or date, dateadd, eomonth), datalength(x) becomes
// tsql_fixed_length(x, n): NULL for NULL, n otherwise. Of an N'...'
// literal it is two bytes a character (tsql_national_length), as Unicode
// text keeps them. Where the catalog types the argument, an nvarchar counts
// two bytes a character and a fixed-size type (the numbers, dates, char(n)
// and nchar(n)) its size.
#pragma once
#include "data/dialect/RewriteRule.h"

namespace fabrikon::dialect {

class DataLengthRule : public RewriteRule {
 public:
  void Apply(TokenList& tokens, const RuleContext& context) const override;

 private:
  // The bytes of the date the call at first gives; 0 when it gives no date.
  static int DateBytes(const TokenList& tokens, size_t first, size_t last);
};

}  // namespace fabrikon::dialect
