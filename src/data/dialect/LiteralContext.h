// LiteralContext: questions the literal rules ask about the place of a string
// literal in an expression (is it a whole operand of a comparison, what is on
// the other side).
#pragma once
#include "data/dialect/TokenList.h"

namespace fabrikon::dialect {

class LiteralContext {
 public:
  // An operator that binds tighter than a comparison (+ - * / % || & | ^ ~).
  static bool IsArithmetic(const Token& t);
  // The literal at i stands alone as the right operand of a comparison (not
  // of a SET assignment).
  static bool IsRightOfComparison(const TokenList& tokens, size_t i);
  // The literal at i stands alone as the left operand of a comparison.
  static bool IsLeftOfComparison(const TokenList& tokens, size_t i);
  // [first, last) is a plain, possibly qualified, column name.
  static bool IsColumn(const TokenList& tokens, size_t first, size_t last);
  // The literal's text without quotes, doubled quotes undone.
  static std::string Value(const Token& literal);
};

}  // namespace fabrikon::dialect
