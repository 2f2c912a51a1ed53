// ConstraintMessage: see the header. The engine names the table and columns
// of a failed constraint ("UNIQUE constraint failed: t.a, t.b"); the
// constraint's kind and name come from the table's indexes, the value from
// the statement's text with its parameters filled in.
#include "data/ConstraintMessage.h"

#include <sqlite3.h>

#include <cctype>
#include <filesystem>
#include <memory>
#include <vector>

#include "data/dialect/TSqlLexer.h"

namespace fabrikon {

namespace {

using dialect::Token;
using dialect::TokenKind;

struct Finalizer {
  void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Owned = std::unique_ptr<sqlite3_stmt, Finalizer>;

Owned Query(sqlite3* db, const std::string& sql) {
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &raw, nullptr) != SQLITE_OK) return Owned(nullptr);
  return Owned(raw);
}

std::string Column(sqlite3_stmt* statement, int i) {
  const unsigned char* text = sqlite3_column_text(statement, i);
  return text == nullptr ? "" : reinterpret_cast<const char*>(text);
}

std::string QuotedName(const std::string& name) {
  std::string out = "\"";
  for (char c : name) out += c == '"' ? std::string("\"\"") : std::string(1, c);
  return out + "\"";
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string Unquoted(std::string_view name) {
  if (name.size() >= 2 && (name.front() == '"' || name.front() == '[' || name.front() == '`'))
    return std::string(name.substr(1, name.size() - 2));
  return std::string(name);
}

// "t.a, t.b" -> table t, columns a and b.
bool SplitColumns(const std::string& list, std::string& table, std::vector<std::string>& columns) {
  size_t start = 0;
  while (start < list.size()) {
    size_t end = list.find(", ", start);
    if (end == std::string::npos) end = list.size();
    const std::string item = list.substr(start, end - start);
    const size_t dot = item.rfind('.');
    if (dot == std::string::npos) return false;
    table = item.substr(0, dot);
    columns.push_back(item.substr(dot + 1));
    start = end + 2;
  }
  return !columns.empty();
}

// The text of a literal as SQL Server shows it in a message, or false.
bool LiteralText(const std::vector<Token>& tokens, size_t first, size_t last, std::string& out) {
  if (first >= last) return false;
  // A conversion around the literal (f(literal, ...)) shows the literal.
  if (last - first >= 3 && tokens[first].Is(TokenKind::Word) && tokens[first + 1].Is(TokenKind::LParen))
    first += 2;
  const Token& t = tokens[first];
  if (t.IsWord("null")) {
    out = "<NULL>";
    return true;
  }
  if (t.Is(TokenKind::Number)) {
    out = std::string(t.text);
    return true;
  }
  if (t.IsOp("-") && first + 1 < last && tokens[first + 1].Is(TokenKind::Number)) {
    out = "-" + std::string(tokens[first + 1].text);
    return true;
  }
  if (!t.Is(TokenKind::String) || t.text.size() < 2) return false;
  out.clear();
  const std::string_view body = t.text.substr(1, t.text.size() - 2);
  for (size_t i = 0; i < body.size(); ++i) {
    out += body[i];
    if (body[i] == '\'') ++i;  // a doubled quote
  }
  return true;
}

// Comma-separated items between the parentheses at open and close.
std::vector<std::pair<size_t, size_t>> Items(const std::vector<Token>& tokens, size_t open, size_t close) {
  std::vector<std::pair<size_t, size_t>> items;
  int depth = 0;
  size_t start = open + 1;
  for (size_t i = open + 1; i < close; ++i) {
    if (tokens[i].Is(TokenKind::LParen)) ++depth;
    if (tokens[i].Is(TokenKind::RParen)) --depth;
    if (depth == 0 && tokens[i].Is(TokenKind::Comma)) {
      items.emplace_back(start, i);
      start = i + 1;
    }
  }
  items.emplace_back(start, close);
  return items;
}

size_t Match(const std::vector<Token>& tokens, size_t open) {
  int depth = 0;
  for (size_t i = open; i < tokens.size(); ++i) {
    if (tokens[i].Is(TokenKind::LParen)) ++depth;
    if (tokens[i].Is(TokenKind::RParen) && --depth == 0) return i;
  }
  return std::string::npos;
}

std::vector<std::string> TableColumns(sqlite3* db, const std::string& table) {
  std::vector<std::string> names;
  Owned info = Query(db, "PRAGMA table_info(" + QuotedName(table) + ")");
  while (info && sqlite3_step(info.get()) == SQLITE_ROW) names.push_back(Lower(Column(info.get(), 1)));
  return names;
}

// The values the statement gives the columns, by lower-case column name.
bool StatementValues(sqlite3* db, sqlite3_stmt* statement, const std::string& table,
                     std::vector<std::pair<std::string, std::string>>& values) {
  char* expanded = sqlite3_expanded_sql(statement);
  if (expanded == nullptr) return false;
  const std::string sql(expanded);
  sqlite3_free(expanded);
  try {
    const std::vector<Token> tokens = dialect::TSqlLexer::Tokenize(sql).tokens;
    if (tokens.empty()) return false;
    if (tokens[0].IsWord("insert")) {
      size_t i = 1;
      while (i < tokens.size() && !tokens[i].Is(TokenKind::LParen) && !tokens[i].IsWord("values")) ++i;
      std::vector<std::string> columns;
      if (i < tokens.size() && tokens[i].Is(TokenKind::LParen)) {
        const size_t close = Match(tokens, i);
        if (close == std::string::npos) return false;
        for (auto [first, last] : Items(tokens, i, close))
          columns.push_back(first < last ? Lower(Unquoted(tokens[first].text)) : std::string());
        i = close + 1;
      } else {
        columns = TableColumns(db, table);
      }
      if (i + 1 >= tokens.size() || !tokens[i].IsWord("values") || !tokens[i + 1].Is(TokenKind::LParen)) return false;
      const size_t close = Match(tokens, i + 1);
      if (close == std::string::npos || close + 1 != tokens.size()) return false;  // one row only
      const auto items = Items(tokens, i + 1, close);
      for (size_t k = 0; k < items.size() && k < columns.size(); ++k) {
        std::string text;
        if (LiteralText(tokens, items[k].first, items[k].second, text)) values.emplace_back(columns[k], text);
      }
      return true;
    }
    if (tokens[0].IsWord("update")) {
      size_t set = 1;
      while (set < tokens.size() && !tokens[set].IsWord("set")) ++set;
      int depth = 0;
      for (size_t i = set + 1; i + 2 < tokens.size(); ++i) {
        if (tokens[i].Is(TokenKind::LParen)) ++depth;
        if (tokens[i].Is(TokenKind::RParen)) --depth;
        if (depth == 0 && (tokens[i].IsWord("where") || tokens[i].IsWord("from"))) break;
        const bool head = i == set + 1 || tokens[i - 1].Is(TokenKind::Comma);
        if (depth != 0 || !head || !tokens[i + 1].IsOp("=")) continue;
        size_t end = i + 2;
        int inner = 0;
        for (; end < tokens.size(); ++end) {
          if (tokens[end].Is(TokenKind::LParen)) ++inner;
          if (tokens[end].Is(TokenKind::RParen)) --inner;
          if (inner == 0 && (tokens[end].Is(TokenKind::Comma) || tokens[end].IsWord("where") || tokens[end].IsWord("from")))
            break;
        }
        std::string text;
        if (LiteralText(tokens, i + 2, end, text)) values.emplace_back(Lower(Unquoted(tokens[i].text)), text);
      }
      return true;
    }
  } catch (...) {
    // text the lexer does not read: no value then
  }
  return false;
}

// "(1, abc)" for the key columns, or "" when the statement does not show them all.
std::string KeyValue(sqlite3* db, sqlite3_stmt* statement, const std::string& table,
                     const std::vector<std::string>& columns) {
  std::vector<std::pair<std::string, std::string>> values;
  if (statement == nullptr || !StatementValues(db, statement, table, values)) return "";
  std::string out;
  for (const std::string& column : columns) {
    bool found = false;
    for (const auto& [name, text] : values) {
      if (name != Lower(column)) continue;
      out += (out.empty() ? "" : ", ") + text;
      found = true;
      break;
    }
    if (!found) return "";
  }
  return "(" + out + ")";
}

// The unique index over exactly these columns: its name and whether a
// CREATE UNIQUE INDEX made it (else a UNIQUE constraint did).
bool UniqueIndex(sqlite3* db, const std::string& table, const std::vector<std::string>& columns, std::string& name,
                 bool& created) {
  Owned list = Query(db, "PRAGMA index_list(" + QuotedName(table) + ")");
  while (list && sqlite3_step(list.get()) == SQLITE_ROW) {
    if (sqlite3_column_int(list.get(), 2) == 0) continue;
    const std::string index = Column(list.get(), 1);
    std::vector<std::string> indexed;
    Owned info = Query(db, "PRAGMA index_info(" + QuotedName(index) + ")");
    while (info && sqlite3_step(info.get()) == SQLITE_ROW) indexed.push_back(Lower(Column(info.get(), 2)));
    std::vector<std::string> wanted;
    for (const std::string& c : columns) wanted.push_back(Lower(c));
    if (indexed != wanted) continue;
    name = index;
    created = Column(list.get(), 3) == "c";
    return true;
  }
  return false;
}

std::string DatabaseName(sqlite3* db) {
  const char* file = sqlite3_db_filename(db, "main");
  if (file == nullptr || *file == '\0') return "master";
  return std::filesystem::path(file).stem().string();
}

bool Take(const std::string& message, const std::string& prefix, std::string& rest) {
  if (message.rfind(prefix, 0) != 0) return false;
  rest = message.substr(prefix.size());
  return true;
}

}  // namespace

std::string ConstraintMessage::Describe(sqlite3* db, sqlite3_stmt* statement, int resultCode,
                                        const std::string& message) {
  if (db == nullptr) return "";
  std::string rest;
  if (Take(message, "UNIQUE constraint failed: ", rest))
    return DuplicateKey(db, statement, resultCode == SQLITE_CONSTRAINT_PRIMARYKEY, rest);
  if (Take(message, "NOT NULL constraint failed: ", rest)) return NotNull(db, statement, rest);
  return "";
}

std::string ConstraintMessage::DuplicateKey(sqlite3* db, sqlite3_stmt* statement, bool primary,
                                            const std::string& list) {
  std::string table;
  std::vector<std::string> columns;
  if (!SplitColumns(list, table, columns)) return "";
  const std::string value = KeyValue(db, statement, table, columns);
  const std::string valueSentence = value.empty() ? "" : " The duplicate key value is " + value + ".";
  std::string index;
  bool created = false;
  if (!primary && UniqueIndex(db, table, columns, index, created) && created)
    return "Cannot insert duplicate key row in object 'dbo." + table + "' with unique index '" + index + "'." +
           valueSentence;
  const std::string kind = primary ? "PRIMARY KEY" : "UNIQUE KEY";
  const std::string constraint = (primary ? "PK_" : "UQ_") + table;
  return "Violation of " + kind + " constraint '" + constraint + "'. Cannot insert duplicate key in object 'dbo." +
         table + "'." + valueSentence;
}

std::string ConstraintMessage::NotNull(sqlite3* db, sqlite3_stmt* statement, const std::string& list) {
  std::string table;
  std::vector<std::string> columns;
  if (!SplitColumns(list, table, columns) || columns.size() != 1) return "";
  const char* sql = statement != nullptr ? sqlite3_sql(statement) : nullptr;
  const bool update = sql != nullptr && Lower(std::string(sql).substr(0, 6)) == "update";
  return "Cannot insert the value NULL into column '" + columns[0] + "', table '" + DatabaseName(db) + ".dbo." + table +
         "'; column does not allow nulls. " + (update ? "UPDATE" : "INSERT") + " fails.";
}

}  // namespace fabrikon
