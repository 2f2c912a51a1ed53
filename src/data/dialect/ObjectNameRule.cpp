// ObjectNameRule: see the header. Names are matched without regard to case,
// as SQL Server does.
#include "data/dialect/ObjectNameRule.h"

namespace fabrikon::dialect {

namespace {

bool IsName(const Token& t) { return t.kind == TokenKind::Word || t.kind == TokenKind::QuotedName; }

bool IsNamed(const Token& t, std::string_view name) {
  if (t.kind == TokenKind::Word) return t.IsWord(name);
  if (t.kind != TokenKind::QuotedName || t.text.size() != name.size() + 2) return false;
  Token inner = t;
  inner.kind = TokenKind::Word;
  inner.text = t.text.substr(1, name.size());
  return inner.IsWord(name);
}

}  // namespace

void ObjectNameRule::Apply(TokenList& tokens, const RuleContext&) const {
  for (size_t i = 0; i < tokens.size(); ++i) {
    if (i > 0 && tokens[i - 1].kind == TokenKind::Dot) continue;  // only the first part of a name
    const Token& t = tokens[i];
    if (t.kind != TokenKind::Word && t.kind != TokenKind::QuotedName) continue;
    // dbo, tempdb, sysobjects, #x, possibly bracketed: a cheap look at the first letter.
    const char first = t.text[0] == '[' || t.text[0] == '"' ? t.text[1] : t.text[0];
    if (first != 'd' && first != 'D' && first != 't' && first != 'T' && first != 's' && first != 'S' && first != '#')
      continue;
    if (StripDbo(tokens, i) || MapTempDb(tokens, i) || MapHashTable(tokens, i)) continue;
    const bool tablePosition = i > 0 && (tokens[i - 1].IsWord("from") || tokens[i - 1].IsWord("join"));
    if (tablePosition && IsNamed(tokens[i], "sysobjects")) MapSysObjects(tokens, i, i + 1, false);
  }
}

bool ObjectNameRule::StripDbo(TokenList& tokens, size_t i) {
  if (!IsNamed(tokens[i], "dbo") || !tokens.At(i + 1).Is(TokenKind::Dot) || !IsName(tokens.At(i + 2))) return false;
  const bool blank = tokens[i].blankBefore;
  tokens.Erase(i, i + 2);
  tokens[i].blankBefore = blank;
  return true;
}

// tempdb..X and tempdb.dbo.X
bool ObjectNameRule::MapTempDb(TokenList& tokens, size_t i) {
  if (!IsNamed(tokens[i], "tempdb") || !tokens.At(i + 1).Is(TokenKind::Dot)) return false;
  size_t name = i + 2;
  if (tokens.At(name).Is(TokenKind::Dot))
    name += 1;
  else if (IsNamed(tokens.At(name), "dbo") && tokens.At(name + 1).Is(TokenKind::Dot))
    name += 2;
  else
    return false;
  if (!IsName(tokens.At(name))) return false;
  if (IsNamed(tokens[name], "sysobjects")) return MapSysObjects(tokens, i, name + 1, true);
  Token schema = TokenList::Word("temp");
  schema.blankBefore = tokens[i].blankBefore;
  Token dot = TokenList::Make(TokenKind::Dot, ".");
  tokens.Replace(i, name, {schema, dot});
  return true;
}

// #X (a temporary table of this connection)
bool ObjectNameRule::MapHashTable(TokenList& tokens, size_t i) {
  const Token& t = tokens[i];
  if (t.kind != TokenKind::Word || t.text.size() < 2 || t.text[0] != '#') return false;
  Token schema = TokenList::Word("temp");
  schema.blankBefore = t.blankBefore;
  Token name = TokenList::Make(TokenKind::QuotedName, tokens.Store("\"" + std::string(t.text) + "\""));
  tokens.Replace(i, i + 1, {schema, TokenList::Make(TokenKind::Dot, "."), name});
  return true;
}

// The catalogue as a derived table with SQL Server's column names and type
// codes ('U' user table, 'V' view); it keeps an alias the text gives it.
bool ObjectNameRule::MapSysObjects(TokenList& tokens, size_t first, size_t end, bool temp) {
  const std::string_view source =
      temp ? "(SELECT name COLLATE TSQL AS name, 'U' AS type, 'U' AS xtype FROM sqlite_temp_master "
                  "WHERE type = 'table')"
           : "(SELECT name COLLATE TSQL AS name, CASE type WHEN 'table' THEN 'U' WHEN 'view' THEN 'V' WHEN 'index' THEN 'I' "
             "ELSE 'TR' END AS type, CASE type WHEN 'table' THEN 'U' WHEN 'view' THEN 'V' WHEN 'index' "
             "THEN 'I' ELSE 'TR' END AS xtype FROM sqlite_master)";
  Token derived = TokenList::Word(source);
  derived.blankBefore = tokens[first].blankBefore;
  std::vector<Token> replacement{derived};
  const Token& next = tokens.At(end);
  const bool hasAlias = next.IsWord("as") || (IsName(next) && !TokenList::IsReserved(next));
  if (!hasAlias) {
    replacement.push_back(TokenList::Word("AS"));
    replacement.push_back(TokenList::Word("sysobjects"));
  }
  tokens.Replace(first, end, std::move(replacement));
  return true;
}

}  // namespace fabrikon::dialect
