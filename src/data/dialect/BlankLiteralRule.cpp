// BlankLiteralRule: see the header.
#include "data/dialect/BlankLiteralRule.h"

#include "data/dialect/LiteralContext.h"

namespace fabrikon::dialect {

namespace {

bool IsBlank(const Token& t) {
  if (t.kind != TokenKind::String) return false;
  for (size_t i = 1; i + 1 < t.text.size(); ++i)
    if (t.text[i] != ' ') return false;
  return true;
}

}  // namespace

void BlankLiteralRule::Apply(TokenList& tokens, const RuleContext&) const {
  for (size_t i = 0; i < tokens.size(); ++i) {
    if (!IsBlank(tokens[i])) continue;
    if (i >= 2 && LiteralContext::IsRightOfComparison(tokens, i)) {
      const size_t first = tokens.OperandStart(i - 2);
      if (LiteralContext::IsColumn(tokens, first, i - 1) &&
          (first == 0 || !LiteralContext::IsArithmetic(tokens[first - 1])))
        Replace(tokens, i, {first, i - 1});
    } else if (LiteralContext::IsLeftOfComparison(tokens, i)) {
      const size_t last = tokens.OperandEnd(i + 2);
      if (LiteralContext::IsColumn(tokens, i + 2, last) && !LiteralContext::IsArithmetic(tokens.At(last)))
        Replace(tokens, i, {i + 2, last});
    }
  }
}

void BlankLiteralRule::Replace(TokenList& tokens, size_t literal, TokenList::Range column) {
  std::vector<Token> call{TokenList::Word("tsql_blank"), TokenList::Open()};
  for (size_t i = column.first; i < column.second; ++i) call.push_back(tokens[i]);
  call[2].blankBefore = false;
  call.push_back(TokenList::Close());
  call.push_back(TokenList::Word("COLLATE"));
  call.push_back(TokenList::Word("TSQL"));
  call[0].blankBefore = tokens[literal].blankBefore;
  tokens.Replace(literal, literal + 1, std::move(call));
}

}  // namespace fabrikon::dialect
