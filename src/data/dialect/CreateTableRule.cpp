// CreateTableRule: see the header.
#include "data/dialect/CreateTableRule.h"

#include <string>

namespace fabrikon::dialect {

namespace {

bool IsAnyWord(const Token& t, std::initializer_list<std::string_view> words) {
  for (std::string_view w : words)
    if (t.IsWord(w)) return true;
  return false;
}

bool IsTextType(const Token& t) {
  return IsAnyWord(t, {"char", "varchar", "nchar", "nvarchar", "text", "ntext"});
}

bool IsTableConstraint(const Token& t) {
  return IsAnyWord(t, {"constraint", "primary", "unique", "check", "foreign", "index"});
}

std::string Unquoted(std::string_view name) {
  if (name.size() >= 2 && (name.front() == '[' || name.front() == '"')) name = name.substr(1, name.size() - 2);
  return std::string(name);
}

std::string Quoted(std::string_view name) { return "\"" + Unquoted(name) + "\""; }

// A signed whole number from tokens [first, last), or fallback.
long long SignedNumber(const TokenList& tokens, TokenList::Range range, long long fallback) {
  if (range.first >= range.second) return fallback;
  bool negative = false;
  size_t i = range.first;
  if (tokens[i].IsOp("-") || tokens[i].IsOp("+")) negative = tokens[i++].IsOp("-");
  if (i + 1 != range.second || !tokens[i].Is(TokenKind::Number)) return fallback;
  try {
    const long long value = std::stoll(std::string(tokens[i].text));
    return negative ? -value : value;
  } catch (const std::exception&) {
    return fallback;
  }
}

struct Identity {
  std::string column;
  long long seed = 1;
  long long increment = 1;
};

std::string SqlText(const std::string& text) {
  std::string out = "'";
  for (char c : text) {
    out += c;
    if (c == '\'') out += '\'';
  }
  return out + "'";
}

std::vector<std::string> Triggers(const std::string& table, const Identity& id) {
  const std::string column = Quoted(id.column);
  const std::string name = Unquoted(table) + "_" + id.column;
  const std::string message = "Cannot insert explicit value for identity column in table '" + Unquoted(table) +
                              "' when IDENTITY_INSERT is set to OFF.";
  const std::string extreme = id.increment < 0 ? "min" : "max";
  const std::string next = "coalesce((SELECT " + extreme + "(" + column + ") FROM " + Quoted(table) + "), " +
                           std::to_string(id.seed - id.increment) + ") + " + std::to_string(id.increment);
  return {"CREATE TRIGGER " + Quoted(name + "_identity_explicit") + " BEFORE INSERT ON " + Quoted(table) +
              " WHEN NEW." + column + " IS NOT NULL BEGIN SELECT RAISE(ABORT, " + SqlText(message) + "); END",
          "CREATE TRIGGER " + Quoted(name + "_identity") + " AFTER INSERT ON " + Quoted(table) + " WHEN NEW." +
              column + " IS NULL BEGIN UPDATE " + Quoted(table) + " SET " + column + " = tsql_identity_note(" + next + ")" +
              " WHERE rowid = NEW.rowid; END"};
}

}  // namespace

size_t CreateTableRule::ColumnListOpen(const TokenList& tokens) {
  if (!tokens.At(0).IsWord("create") || !tokens.At(1).IsWord("table")) return TokenList::npos;
  for (size_t i = 2; i < tokens.size(); ++i) {
    if (tokens[i].Is(TokenKind::LParen)) return i;
    if (tokens[i].IsWord("as")) return TokenList::npos;
  }
  return TokenList::npos;
}

void CreateTableRule::Apply(TokenList& tokens, const RuleContext&) const {
  const size_t open = ColumnListOpen(tokens);
  if (open == TokenList::npos) return;
  const size_t close = tokens.MatchParen(open);
  if (close == TokenList::npos) return;
  const auto columns = tokens.Arguments(open, close);
  // Back to front, so the insertions leave the earlier ranges valid.
  for (auto it = columns.rbegin(); it != columns.rend(); ++it) {
    const auto [first, last] = *it;
    if (last - first < 2 || IsTableConstraint(tokens[first]) || !IsTextType(tokens[first + 1])) continue;
    if (tokens.FindWord("collate", first, last) != TokenList::npos) continue;
    size_t typeEnd = first + 2;
    if (tokens.At(typeEnd).Is(TokenKind::LParen)) {
      const size_t match = tokens.MatchParen(typeEnd);
      if (match == TokenList::npos || match >= last) continue;
      typeEnd = match + 1;
    }
    tokens.Insert(typeEnd, {TokenList::Word("COLLATE"), TokenList::Word("TSQL")});
  }
}

std::vector<std::string> CreateTableRule::TakeIdentity(TokenList& tokens) {
  const size_t open = ColumnListOpen(tokens);
  if (open == TokenList::npos || open != 3) return {};  // only plain names: temp.X keeps SQLite's rules
  const size_t close = tokens.MatchParen(open);
  if (close == TokenList::npos) return {};
  const auto columns = tokens.Arguments(open, close);
  for (auto it = columns.rbegin(); it != columns.rend(); ++it) {
    const auto [first, last] = *it;
    if (IsTableConstraint(tokens[first])) continue;
    const size_t at = tokens.FindWord("identity", first, last);
    if (at == TokenList::npos) continue;
    Identity id{Unquoted(tokens[first].text)};
    size_t end = at + 1;
    if (tokens.At(end).Is(TokenKind::LParen)) {
      const size_t match = tokens.MatchParen(end);
      if (match == TokenList::npos || match >= last) return {};
      const auto args = tokens.Arguments(end, match);
      if (args.size() == 2) {
        id.seed = SignedNumber(tokens, args[0], 1);
        id.increment = SignedNumber(tokens, args[1], 1);
      }
      end = match + 1;
    }
    if (id.increment == 0) id.increment = 1;
    tokens.Erase(at, end);
    const size_t notNull = tokens.FindWord("not", first, last - (end - at));
    if (notNull != TokenList::npos && tokens.At(notNull + 1).IsWord("null")) tokens.Erase(notNull, notNull + 2);
    return Triggers(std::string(tokens[2].text), id);
  }
  return {};
}

}  // namespace fabrikon::dialect
