// TokenList: the tokens of one statement while the rewrite rules work on it,
// with storage for the text the rules make up and the small navigation
// helpers every rule needs (matching parentheses, clause keywords at the top
// level, argument lists).
#pragma once
#include <deque>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "data/dialect/Token.h"

namespace fabrikon::dialect {

class TokenList {
 public:
  static constexpr size_t npos = static_cast<size_t>(-1);
  using Range = std::pair<size_t, size_t>;  // [first, last)

  TokenList() = default;
  explicit TokenList(std::vector<Token> tokens) : tokens_(std::move(tokens)) {}
  TokenList(const TokenList&) = delete;  // tokens point into the storage
  TokenList& operator=(const TokenList&) = delete;
  TokenList(TokenList&&) = default;
  TokenList& operator=(TokenList&&) = default;

  size_t size() const { return tokens_.size(); }
  bool empty() const { return tokens_.empty(); }
  Token& operator[](size_t i) { return tokens_[i]; }
  const Token& operator[](size_t i) const { return tokens_[i]; }
  // The token at i, or a blank semicolon past either end (saves bounds checks).
  const Token& At(size_t i) const;

  // Keeps text alive as long as the list and returns a view of it.
  std::string_view Store(std::string text);
  // A made-up token; it is written with a blank before it.
  static Token Make(TokenKind kind, std::string_view text);
  static Token Word(std::string_view text) { return Make(TokenKind::Word, text); }
  static Token Op(std::string_view text) { return Make(TokenKind::Operator, text); }
  static Token Open();  // "(" written right after the token before it
  static Token Close() { return Make(TokenKind::RParen, ")"); }
  static Token Comma() { return Make(TokenKind::Comma, ","); }
  Token Text(std::string text) { return Make(TokenKind::Word, Store(std::move(text))); }

  void Insert(size_t at, std::vector<Token> tokens);
  void Erase(size_t first, size_t last);
  void Replace(size_t first, size_t last, std::vector<Token> tokens);
  std::vector<Token> Slice(size_t first, size_t last) const;

  // Index of the ")" matching the "(" at open (npos when unbalanced), and back.
  size_t MatchParen(size_t open) const;
  size_t OpenParenOf(size_t close) const;
  // First index in [from, to) holding the keyword at the nesting depth of from.
  size_t FindWord(std::string_view word, size_t from, size_t to) const;
  // The comma-separated arguments between the parentheses at open and close.
  std::vector<Range> Arguments(size_t open, size_t close) const;
  // Where the operand that ends at last (inclusive) begins: a literal, a
  // possibly qualified name, or a parenthesised group with its function name.
  size_t OperandStart(size_t last) const;
  // Where the operand that begins at first ends (exclusive).
  size_t OperandEnd(size_t first) const;
  // True when the "=" at i assigns a column in an UPDATE's SET clause.
  bool IsAssignment(size_t i) const;
  // The END that closes the CASE at first (npos when there is none).
  size_t CaseEnd(size_t first) const;
  // An expression may begin at i: nothing before it binds to it.
  bool StartsExpression(size_t i) const;
  // The expression that ended before i stands alone: nothing after it binds
  // to it.
  bool EndsExpression(size_t i) const;

  // T-SQL keywords that end or join expressions (never a column or alias).
  static bool IsReserved(const Token& token);

  std::string Emit() const { return Emit(0, tokens_.size()); }
  std::string Emit(size_t first, size_t last) const;

 private:
  std::vector<Token> tokens_;
  std::deque<std::string> storage_;
};

}  // namespace fabrikon::dialect
