// Token: one lexical unit of T-SQL text as the dialect layer rewrites it.
// Tokens are views into the batch text or into a statement's own storage, so
// lexing and most rewrites allocate nothing per token.
#pragma once
#include <cstdint>
#include <string_view>

namespace fabrikon::dialect {

enum class TokenKind : uint8_t {
  Word,        // identifier or keyword
  QuotedName,  // [name] or "name"
  String,      // '...' (an N'...' literal is kept without its N, marked national)
  Number,      // 12, .50, 1E-05
  Binary,      // 0x1F
  Operator,    // = <> != < > <= >= !< !> + - * / % || & | ^ ~
  LParen,
  RParen,
  Comma,
  Dot,
  Semicolon,
};

struct Token {
  TokenKind kind = TokenKind::Word;
  bool blankBefore = false;  // blanks or a comment preceded it in the source
  bool national = false;     // a String written N'...' (Unicode text)
  uint32_t offset = 0;       // where it starts in the batch text (for messages)
  std::string_view text;

  bool Is(TokenKind k) const { return kind == k; }
  bool IsOp(std::string_view op) const { return kind == TokenKind::Operator && text == op; }
  // Case-insensitive keyword test; quoted names are never keywords.
  bool IsWord(std::string_view word) const {
    if (kind != TokenKind::Word || text.size() != word.size()) return false;
    for (size_t i = 0; i < text.size(); ++i) {
      char a = text[i];
      if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
      char b = word[i];
      if (b >= 'A' && b <= 'Z') b = static_cast<char>(b - 'A' + 'a');
      if (a != b) return false;
    }
    return true;
  }
  bool IsComparison() const {
    return kind == TokenKind::Operator &&
           (text == "=" || text == "<>" || text == "!=" || text == "<" || text == ">" || text == "<=" ||
            text == ">=");
  }
};

}  // namespace fabrikon::dialect
