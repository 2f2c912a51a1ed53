// VariableRule: see the header.
#include "data/dialect/VariableRule.h"

#include <string>

#include "data/dialect/TSqlKeywords.h"
#include "fabrikon/ComError.h"

namespace fabrikon::dialect {

namespace {

bool IsVariable(const Token& t) { return t.kind == TokenKind::Word && t.text.size() > 1 && t.text[0] == '@' && t.text[1] != '@'; }

[[noreturn]] void FailNear(const Token& t) {
  if (t.Is(TokenKind::Semicolon)) throw ComError(ErrorNumber::ErrorsInCommand, "Incorrect syntax near the end of the command.");
  throw ComError(ErrorNumber::ErrorsInCommand, TSqlKeywords::IncorrectSyntaxNear(t.text));
}

Token Quoted(TokenList& tokens, std::string_view text) {
  return TokenList::Make(TokenKind::String, tokens.Store("'" + std::string(text) + "'"));
}

// The end of the expression that begins at from: the next comma at its depth.
size_t ExpressionEnd(const TokenList& tokens, size_t from) {
  int depth = 0;
  size_t i = from;
  for (; i < tokens.size(); ++i) {
    if (tokens[i].Is(TokenKind::LParen)) ++depth;
    if (tokens[i].Is(TokenKind::RParen)) --depth;
    if (depth == 0 && tokens[i].Is(TokenKind::Comma)) break;
  }
  return i;
}

}  // namespace

void VariableRule::Apply(TokenList& tokens, const RuleContext& context) const {
  if (tokens.empty()) return;
  if (tokens[0].IsWord("declare")) return RewriteDeclare(tokens);
  if (tokens[0].IsWord("set")) return RewriteSet(tokens);
  if (!context.condition) RefuseAssignments(tokens);
  RewriteReads(tokens, 0);
}

// SELECT @n = x assigns on SQL Server; translated, it would compare.
void VariableRule::RefuseAssignments(const TokenList& tokens) {
  for (size_t i = 1; i + 1 < tokens.size(); ++i) {
    const bool listItem = tokens[i - 1].IsWord("select") || tokens[i - 1].Is(TokenKind::Comma);
    if (IsVariable(tokens[i]) && listItem && tokens[i + 1].IsOp("="))
      throw ComError(ErrorNumber::ErrorsInCommand,
                     "Assigning a variable in a SELECT is not supported by the embedded database.");
  }
}

// DECLARE @a int = 1, @b varchar(10)
void VariableRule::RewriteDeclare(TokenList& tokens) {
  std::vector<Token> out{TokenList::Word("VALUES"), TokenList::Open()};
  size_t i = 1;
  while (true) {
    const Token name = tokens.At(i);
    if (!IsVariable(name)) FailNear(name);
    ++i;
    if (tokens.At(i).IsWord("as")) ++i;
    if (!tokens.At(i).Is(TokenKind::Word) || IsVariable(tokens.At(i))) FailNear(tokens.At(i));
    std::string type(tokens[i].text);
    ++i;
    if (tokens.At(i).Is(TokenKind::LParen)) {
      const size_t close = tokens.MatchParen(i);
      if (close == TokenList::npos) FailNear(tokens.At(i));
      for (size_t k = i; k <= close; ++k) type += tokens[k].text;
      i = close + 1;
    }
    if (out.size() > 2) out.push_back(TokenList::Comma());
    for (Token t : {tokens.Text("tsql_declare"), TokenList::Open(), Quoted(tokens, name.text), TokenList::Comma(),
                    Quoted(tokens, type), TokenList::Comma()})
      out.push_back(t);
    if (tokens.At(i).IsOp("=")) {
      const size_t end = ExpressionEnd(tokens, i + 1);
      if (end == i + 1) FailNear(tokens.At(end));
      const std::vector<Token> value = tokens.Slice(i + 1, end);
      out.insert(out.end(), value.begin(), value.end());
      i = end;
    } else {
      out.push_back(TokenList::Word("NULL"));
    }
    out.push_back(TokenList::Close());
    if (i >= tokens.size()) break;
    if (!tokens[i].Is(TokenKind::Comma)) FailNear(tokens[i]);
    ++i;
  }
  out.push_back(TokenList::Close());
  tokens.Replace(0, tokens.size(), std::move(out));
  RewriteReads(tokens, 0);
}

// SET @a = x
void VariableRule::RewriteSet(TokenList& tokens) {
  const Token name = tokens.At(1);
  if (!IsVariable(name)) FailNear(name);
  if (!tokens.At(2).IsOp("=") || tokens.size() < 4) FailNear(tokens.At(tokens.At(2).IsOp("=") ? 3 : 2));
  std::vector<Token> out{TokenList::Word("VALUES"), TokenList::Open(), tokens.Text("tsql_set"), TokenList::Open(),
                         Quoted(tokens, name.text), TokenList::Comma()};
  const std::vector<Token> value = tokens.Slice(3, tokens.size());
  out.insert(out.end(), value.begin(), value.end());
  out.push_back(TokenList::Close());
  out.push_back(TokenList::Close());
  tokens.Replace(0, tokens.size(), std::move(out));
  RewriteReads(tokens, 0);
}

void VariableRule::RewriteReads(TokenList& tokens, size_t from) {
  for (size_t i = from; i < tokens.size(); ++i) {
    const Token t = tokens[i];
    if (t.IsWord("@@rowcount")) {
      Token call = tokens.Text("tsql_rowcount");
      call.blankBefore = t.blankBefore;
      tokens.Replace(i, i + 1, {call, TokenList::Open(), TokenList::Close()});
      i += 2;
    } else if (IsVariable(t)) {
      Token call = tokens.Text("tsql_var");
      call.blankBefore = t.blankBefore;
      tokens.Replace(i, i + 1, {call, TokenList::Open(), Quoted(tokens, t.text), TokenList::Close()});
      i += 3;
    }
  }
}

}  // namespace fabrikon::dialect
