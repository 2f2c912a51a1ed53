// OperatorRule: see the header.
#include "data/dialect/OperatorRule.h"

namespace fabrikon::dialect {

void OperatorRule::Apply(TokenList& tokens, const RuleContext&) const {
  for (size_t i = 0; i < tokens.size(); ++i) {
    if (tokens[i].IsOp("!<")) tokens[i].text = ">=";
    if (tokens[i].IsOp("!>")) tokens[i].text = "<=";
  }
}

}  // namespace fabrikon::dialect
