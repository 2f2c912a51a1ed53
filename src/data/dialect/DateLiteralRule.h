// DateLiteralRule: dates are stored as text in one canonical form,
// 'YYYY-MM-DD HH:MM:SS', so that text order is time order and equal times
// are equal texts. A string literal that reads as a date ('2008-1-9',
// '2008/01/09', '2008-01-09T10:30:00') and is compared with something that is
// not known to be text, assigned in SET, listed in VALUES or IN, or a BETWEEN
// bound, is rewritten to that form.
#pragma once
#include <string>
#include <string_view>

#include "data/dialect/RewriteRule.h"

namespace fabrikon::dialect {

class DateLiteralRule : public RewriteRule {
 public:
  void Apply(TokenList& tokens, const RuleContext& context) const override;
  // The canonical quoted form of a string literal (quotes included) that
  // reads as a date; false for any other literal.
  static bool Canonical(std::string_view literal, std::string& canonical);

 private:
  static bool InDatePosition(const TokenList& tokens, size_t i);
};

}  // namespace fabrikon::dialect
