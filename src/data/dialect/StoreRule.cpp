// StoreRule: see the header. It runs last, so the other rules see the
// statement as written and the values it wraps are already translated.
#include "data/dialect/StoreRule.h"

#include <cctype>
#include <string_view>

#include "data/dialect/SchemaCatalog.h"
#include "data/dialect/StoreConversion.h"

namespace fabrikon::dialect {

namespace {

bool IsName(const Token& t) { return (t.Is(TokenKind::Word) && !TokenList::IsReserved(t)) || t.Is(TokenKind::QuotedName); }

std::string Unquoted(std::string_view name) {
  if (name.size() >= 2 && (name.front() == '[' || name.front() == '"')) {
    const char close = name.front() == '[' ? ']' : '"';
    std::string out;
    for (size_t i = 1; i + 1 < name.size(); ++i) {
      out += name[i];
      if (name[i] == close && name[i + 1] == close) ++i;  // a doubled quote inside
    }
    return out;
  }
  return std::string(name);
}

std::string SqlText(std::string_view text) {
  std::string out = "'";
  for (char c : text) {
    out += c;
    if (c == '\'') out += '\'';
  }
  return out + "'";
}

// The (possibly qualified) table name starting at i: "temp.X" keeps its
// schema, other qualifiers are dropped. Returns the index after it, or i.
size_t ReadTable(const TokenList& tokens, size_t i, std::string& table) {
  if (!IsName(tokens.At(i))) return i;
  std::string schema;
  table = Unquoted(tokens[i].text);
  size_t end = i + 1;
  while (tokens.At(end).Is(TokenKind::Dot) && IsName(tokens.At(end + 1))) {
    schema = table;
    table = Unquoted(tokens[end + 1].text);
    end += 2;
  }
  Token temp;
  temp.text = schema;
  if (temp.IsWord("temp")) table = "temp." + table;
  return end;
}

bool EndsClause(const Token& t) {
  if (t.Is(TokenKind::Semicolon)) return true;
  for (std::string_view w : {"from", "where", "group", "having", "order", "limit", "union", "except", "intersect",
                             "returning", "output", "window", "option"})
    if (t.IsWord(w)) return true;
  return false;
}

// [first, last) of a select item without its alias ("x AS a", "x a").
size_t WithoutAlias(const TokenList& tokens, size_t first, size_t last) {
  if (last - first >= 3 && tokens[last - 2].IsWord("as")) return last - 2;
  if (last - first < 2 || !IsName(tokens[last - 1])) return last;
  const Token& before = tokens[last - 2];
  const bool ends = before.Is(TokenKind::Number) || before.Is(TokenKind::String) || before.Is(TokenKind::RParen) ||
                    before.Is(TokenKind::QuotedName) || before.IsWord("end") || before.IsWord("null") ||
                    (before.Is(TokenKind::Word) && !TokenList::IsReserved(before));
  return ends ? last - 1 : last;
}

}  // namespace

void StoreRule::Apply(TokenList& tokens, const RuleContext& context) const {
  if (tokens.At(0).IsWord("insert")) Insert(tokens, context.catalog, context.embedded);
  else if (tokens.At(0).IsWord("update")) Update(tokens, context.catalog);
}

bool StoreRule::KnownType(const SchemaCatalog* catalog, const std::string& table, const std::string& column,
                          std::array<int, 3>& arguments) {
  if (catalog == nullptr || column.empty()) return false;
  const SchemaCatalog::Columns* columns = catalog->Table(table);
  if (columns == nullptr) return false;
  std::string name = column;
  for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  const auto found = columns->find(name);
  return found != columns->end() && StoreConversion::TypedArguments(found->second, arguments);
}

void StoreRule::Wrap(TokenList& tokens, size_t first, size_t last, const std::string& table,
                     const std::string& column, size_t position, const SchemaCatalog* catalog, bool bareNumbers) {
  // DEFAULT is no value; NULL stays NULL in every type.
  if (first >= last || (last - first == 1 && (tokens[first].IsWord("default") || tokens[first].IsWord("null"))))
    return;
  std::array<int, 3> typed{};
  if (KnownType(catalog, table, column, typed)) {
    // The conversion would hand such a number on as it is: a save's rows
    // store most of their values without a call each.
    if (bareNumbers && last - first == 1 && tokens[first].Is(TokenKind::Number) &&
        StoreConversion::KeepsNumber(typed, tokens[first].text))
      return;
    std::vector<Token> tail;
    for (int argument : typed) {
      tail.push_back(TokenList::Comma());
      tail.push_back(TokenList::Make(TokenKind::Number, tokens.Store(std::to_string(argument))));
    }
    tail.push_back(TokenList::Close());
    tokens.Insert(last, tail);
    Token name = TokenList::Word("tsql_store_as");
    name.blankBefore = tokens[first].blankBefore;
    tokens.Insert(first, {name, TokenList::Open()});
    tokens[first + 2].blankBefore = false;
    return;
  }
  const std::string_view tableText = tokens.Store(SqlText(table));
  const Token columnToken = column.empty()
                                ? TokenList::Make(TokenKind::Number, tokens.Store(std::to_string(position)))
                                : TokenList::Make(TokenKind::String, tokens.Store(SqlText(column)));
  tokens.Insert(last, {TokenList::Comma(), TokenList::Make(TokenKind::String, tableText), TokenList::Comma(),
                       columnToken, TokenList::Close()});
  Token name = TokenList::Word("tsql_store");
  name.blankBefore = tokens[first].blankBefore;
  tokens.Insert(first, {name, TokenList::Open()});
  tokens[first + 2].blankBefore = false;
}

void StoreRule::Insert(TokenList& tokens, const SchemaCatalog* catalog, bool embedded) {
  size_t i = tokens.At(1).IsWord("into") ? 2 : 1;
  std::string table;
  const size_t afterName = ReadTable(tokens, i, table);
  if (afterName == i) return;
  i = afterName;
  std::vector<std::string> columns;
  if (tokens.At(i).Is(TokenKind::LParen)) {
    const size_t close = tokens.MatchParen(i);
    if (close == TokenList::npos) return;
    for (const auto& [first, last] : tokens.Arguments(i, close)) {
      if (last - first != 1 || !IsName(tokens[first])) return;
      columns.push_back(Unquoted(tokens[first].text));
    }
    i = close + 1;
  }
  if (tokens.At(i).IsWord("select")) return InsertSelect(tokens, i, table, columns, catalog);
  if (!tokens.At(i).IsWord("values")) return;
  for (size_t row = i + 1; tokens.At(row).Is(TokenKind::LParen);) {
    const size_t close = tokens.MatchParen(row);
    if (close == TokenList::npos) return;
    const auto values = tokens.Arguments(row, close);
    if (!columns.empty() && values.size() != columns.size()) return;  // the engine words that error
    for (size_t k = values.size(); k-- > 0;)
      Wrap(tokens, values[k].first, values[k].second, table, columns.empty() ? "" : columns[k], k, catalog,
           embedded);
    const size_t end = tokens.MatchParen(row) + 1;
    if (!tokens.At(end).Is(TokenKind::Comma)) return;
    row = end + 1;
  }
}

void StoreRule::InsertSelect(TokenList& tokens, size_t select, const std::string& table,
                             const std::vector<std::string>& columns, const SchemaCatalog* catalog) {
  size_t first = select + 1;
  if (tokens.At(first).IsWord("all")) ++first;
  if (tokens.At(first).IsWord("distinct") || tokens.At(first).IsWord("top"))
    return Stage(tokens, select, table, columns, catalog);
  size_t end = first;
  std::vector<TokenList::Range> items;
  int depth = 0;
  size_t start = first;
  for (; end < tokens.size(); ++end) {
    const Token& t = tokens[end];
    if (t.Is(TokenKind::LParen)) ++depth;
    if (t.Is(TokenKind::RParen)) --depth;
    if (depth != 0) continue;
    if (EndsClause(t)) break;
    if (t.Is(TokenKind::Comma)) {
      items.emplace_back(start, end);
      start = end + 1;
    }
  }
  items.emplace_back(start, end);
  // A compound SELECT gets its values from more than one list.
  for (size_t j = end; j < tokens.size(); ++j) {
    if (tokens[j].Is(TokenKind::LParen)) j = tokens.MatchParen(j);
    if (j == TokenList::npos) return;
    if (tokens[j].IsWord("union") || tokens[j].IsWord("except") || tokens[j].IsWord("intersect"))
      return Stage(tokens, select, table, columns, catalog);
  }
  for (const auto& [a, b] : items) {
    if (a == b) return;
    if (tokens[b - 1].IsOp("*")) return Stage(tokens, select, table, columns, catalog);
  }
  if (!columns.empty() && items.size() != columns.size()) return;
  for (size_t k = items.size(); k-- > 0;) {
    const auto [a, b] = items[k];
    Wrap(tokens, a, WithoutAlias(tokens, a, b), table, columns.empty() ? "" : columns[k], k, catalog);
  }
}

void StoreRule::Stage(TokenList& tokens, size_t select, const std::string& table,
                      const std::vector<std::string>& columns, const SchemaCatalog* catalog) {
  size_t count = columns.size();
  if (count == 0 && catalog != nullptr && catalog->Table(table) != nullptr) count = catalog->Table(table)->size();
  if (count == 0) return;
  size_t end = select;
  while (end < tokens.size() && !tokens[end].Is(TokenKind::Semicolon)) {
    if (tokens[end].Is(TokenKind::LParen)) end = tokens.MatchParen(end);
    if (end == TokenList::npos) return;
    ++end;
  }
  // ") SELECT tsql_store(c0, ...), ... FROM fabrikon_stored" after the
  // select, each value wrapped as a column of the insert's select would be.
  std::vector<Token> tail{TokenList::Close(), TokenList::Word("SELECT")};
  const size_t firstValue = tail.size();
  for (size_t k = 0; k < count; ++k) {
    if (k > 0) tail.push_back(TokenList::Comma());
    tail.push_back(TokenList::Word(tokens.Store("c" + std::to_string(k))));
  }
  // The name tells the error mapper which count a mismatch is about.
  const std::string_view staged = columns.empty() ? "fabrikon_stored_all" : "fabrikon_stored";
  tail.push_back(TokenList::Word("FROM"));
  tail.push_back(TokenList::Word(staged));
  tokens.Insert(end, std::move(tail));
  for (size_t k = count; k-- > 0;) {
    const size_t at = end + firstValue + 2 * k;
    Wrap(tokens, at, at + 1, table, columns.empty() ? "" : columns[k], k, catalog);
  }
  std::vector<Token> head{TokenList::Word("WITH"), TokenList::Word(staged), TokenList::Open()};
  for (size_t k = 0; k < count; ++k) {
    if (k > 0) head.push_back(TokenList::Comma());
    head.push_back(TokenList::Word(tokens.Store("c" + std::to_string(k))));
  }
  head.push_back(TokenList::Close());
  head.push_back(TokenList::Word("AS"));
  head.push_back(TokenList::Make(TokenKind::LParen, "("));
  tokens.Insert(select, std::move(head));
}

void StoreRule::Update(TokenList& tokens, const SchemaCatalog* catalog) {
  std::string table;
  if (ReadTable(tokens, 1, table) == 1) return;
  const size_t set = tokens.FindWord("set", 1, tokens.size());
  if (set == TokenList::npos) return;
  struct Assignment {
    std::string column;
    size_t first, last;
  };
  std::vector<Assignment> assignments;
  size_t i = set + 1;
  while (i < tokens.size()) {
    size_t eq = i;
    while (eq < tokens.size() && (tokens[eq].Is(TokenKind::Word) || tokens[eq].Is(TokenKind::QuotedName) ||
                                  tokens[eq].Is(TokenKind::Dot)))
      ++eq;
    if (eq == i || !tokens.At(eq).IsOp("=") || tokens[eq - 1].text.starts_with("@")) return;
    size_t end = eq + 1;
    int depth = 0;
    for (; end < tokens.size(); ++end) {
      const Token& t = tokens[end];
      if (t.Is(TokenKind::LParen)) ++depth;
      if (t.Is(TokenKind::RParen) && --depth < 0) break;
      if (depth == 0 && (t.Is(TokenKind::Comma) || EndsClause(t))) break;
    }
    assignments.push_back({Unquoted(tokens[eq - 1].text), eq + 1, end});
    if (!tokens.At(end).Is(TokenKind::Comma)) break;
    i = end + 1;
  }
  for (size_t k = assignments.size(); k-- > 0;)
    Wrap(tokens, assignments[k].first, assignments[k].last, table, assignments[k].column, 0, catalog);
}

}  // namespace fabrikon::dialect
