// ForeignSyntaxRule: see the header. Each test looks at a token and its
// neighbours only, so the check is linear in the statement.
#include "data/dialect/ForeignSyntaxRule.h"

#include <array>
#include <string>

#include "fabrikon/ComError.h"

namespace fabrikon::dialect {

namespace {

[[noreturn]] void IncorrectSyntaxNear(const Token& t) {
  throw ComError(ErrorNumber::ErrorsInCommand, "Incorrect syntax near '" + std::string(t.text) + "'.");
}

bool IsAnyWord(const Token& t, std::initializer_list<std::string_view> words) {
  for (std::string_view w : words)
    if (t.IsWord(w)) return true;
  return false;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  Token head;
  head.text = text.substr(0, prefix.size());
  return head.IsWord(prefix);
}

// The engine's functions that T-SQL does not have (or has with another meaning).
bool IsForeignFunction(const Token& t) {
  if (StartsWithNoCase(t.text, "sqlite_") || StartsWithNoCase(t.text, "pragma_") || StartsWithNoCase(t.text, "json"))
    return true;
  return IsAnyWord(t, {"typeof", "printf", "glob", "instr", "substr", "length", "ifnull", "julianday", "strftime",
                       "date", "time", "datetime", "unixepoch", "hex", "unhex", "quote", "random", "randomblob",
                       "zeroblob", "total", "group_concat", "likelihood", "likely", "unlikely", "changes",
                       "total_changes", "last_insert_rowid", "load_extension", "soundex", "regexp", "match",
                       "fts3", "fts4", "fts5", "rtree"});
}

bool IsName(const Token& t) { return t.kind == TokenKind::Word || t.kind == TokenKind::QuotedName; }

}  // namespace

void ForeignSyntaxRule::Apply(TokenList& tokens, const RuleContext&) const {
  CheckStatementStart(tokens);
  for (size_t i = 0; i < tokens.size(); ++i) CheckToken(tokens, i);
}

void ForeignSyntaxRule::CheckStatementStart(const TokenList& tokens) {
  const Token& head = tokens.At(0);
  if (IsAnyWord(head, {"pragma", "attach", "detach", "vacuum", "reindex", "analyze", "explain", "replace"}))
    IncorrectSyntaxNear(head);
  if (head.IsWord("insert") && tokens.At(1).IsWord("or")) IncorrectSyntaxNear(tokens.At(1));
  if (head.IsWord("create")) {
    const Token& what = tokens.At(1);
    if (IsAnyWord(what, {"temp", "temporary", "virtual"})) IncorrectSyntaxNear(what);
    if (tokens.At(2).IsWord("if")) IncorrectSyntaxNear(tokens.At(2));
    if (what.IsWord("unique") && tokens.At(3).IsWord("if")) IncorrectSyntaxNear(tokens.At(3));
  }
  if (head.IsWord("alter")) {
    for (size_t i = 1; i < tokens.size(); ++i)
      if (tokens[i].IsWord("rename")) IncorrectSyntaxNear(tokens[i]);
  }
}

void ForeignSyntaxRule::CheckToken(const TokenList& tokens, size_t i) {
  const Token& t = tokens[i];
  const bool qualified = i > 0 && tokens[i - 1].Is(TokenKind::Dot);
  if (t.IsOp("||") || (t.IsOp("=") && tokens.At(i + 1).IsOp("=") && !tokens.At(i + 1).blankBefore))
    IncorrectSyntaxNear(t);
  if (t.kind == TokenKind::Word && !qualified) {
    if (t.IsWord("limit") && tokens.At(i + 1).Is(TokenKind::Number)) IncorrectSyntaxNear(t);
    if (IsAnyWord(t, {"glob", "regexp", "match"}) && tokens.At(i + 1).Is(TokenKind::String)) IncorrectSyntaxNear(t);
    if (t.IsWord("returning") || (t.IsWord("on") && tokens.At(i + 1).IsWord("conflict"))) IncorrectSyntaxNear(t);
    if (t.IsWord("is")) {
      const size_t next = tokens.At(i + 1).IsWord("not") ? i + 2 : i + 1;
      if (!tokens.At(next).IsWord("null")) IncorrectSyntaxNear(tokens.At(next));
    }
    if (t.IsWord("in") && tokens.At(i + 1).Is(TokenKind::LParen) && tokens.At(i + 2).Is(TokenKind::RParen))
      IncorrectSyntaxNear(tokens.At(i + 2));
    if (IsAnyWord(t, {"where", "having", "on"})) CheckPredicate(tokens, i);
    if (tokens.At(i + 1).Is(TokenKind::LParen)) CheckFunction(tokens, i);
  }
  // The engine's catalogue, whichever way it is named.
  if (IsName(t)) {
    std::string_view name = t.text;
    if (t.kind == TokenKind::QuotedName && name.size() >= 2) name = name.substr(1, name.size() - 2);
    if (StartsWithNoCase(name, "sqlite_") || StartsWithNoCase(name, "pragma_"))
      throw ComError(ErrorNumber::ErrorsInCommand, "Invalid object name '" + std::string(name) + "'.");
  }
}

// A WHERE, HAVING or ON must be followed by a predicate: a bare literal
// (WHERE 1) is only a condition to the embedded engine.
void ForeignSyntaxRule::CheckPredicate(const TokenList& tokens, size_t i) {
  const Token& operand = tokens.At(i + 1);
  if (!operand.Is(TokenKind::Number) && !operand.Is(TokenKind::String)) return;
  const Token& after = tokens.At(i + 2);
  if (after.Is(TokenKind::Operator) || IsAnyWord(after, {"in", "like", "between", "is", "not"})) return;
  IncorrectSyntaxNear(after.Is(TokenKind::Semicolon) && i + 2 >= tokens.size() ? operand : after);
}

void ForeignSyntaxRule::CheckFunction(const TokenList& tokens, size_t i) {
  const Token& t = tokens[i];
  if (!IsForeignFunction(t)) return;
  // A table of that name ("insert into total (...)") is no call.
  if (i > 0 && IsAnyWord(tokens[i - 1], {"into", "table", "references", "on", "from", "join", "update", "view",
                                         "index", "exists"}))
    return;
  throw ComError(ErrorNumber::ErrorsInCommand, "'" + std::string(t.text) + "' is not a recognized built-in function name.");
}

}  // namespace fabrikon::dialect
