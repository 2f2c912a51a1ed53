// ColumnLengthGuard: see the header. The declared lengths are read from the
// column definitions (PRAGMA table_info) when the connection opens.
#include "data/ColumnLengthGuard.h"

#include <sqlite3.h>

#include <cctype>
#include <memory>
#include <string>
#include <vector>

#include "data/SqliteConnection.h"
#include "data/SqliteErrorMapper.h"

namespace fabrikon {

namespace {

using Statement = std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)>;

Statement Prepare(sqlite3* db, const std::string& sql) {
  sqlite3_stmt* raw = nullptr;
  const int rc = sqlite3_prepare_v2(db, sql.c_str(), -1, &raw, nullptr);
  Statement statement(raw, sqlite3_finalize);
  if (rc != SQLITE_OK) SqliteErrorMapper::Raise(db, rc, SqliteErrorMapper::Phase::Prepare);
  return statement;
}

std::string Column(sqlite3_stmt* statement, int i) {
  const unsigned char* text = sqlite3_column_text(statement, i);
  return text == nullptr ? "" : reinterpret_cast<const char*>(text);
}

// text between quote characters, the quote doubled inside: "name" or 'text'.
std::string Quoted(const std::string& text, char quote = '"') {
  std::string out(1, quote);
  for (char c : text) {
    out += c;
    if (c == quote) out += quote;
  }
  return out + quote;
}

// The length of "nvarchar(30)" and the like; 0 for other types and max.
long DeclaredLength(std::string type) {
  for (char& c : type) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  const size_t open = type.find('(');
  if (open == std::string::npos) return 0;
  std::string base = type.substr(0, open);
  while (!base.empty() && base.back() == ' ') base.pop_back();
  if (base != "char" && base != "varchar" && base != "nchar" && base != "nvarchar") return 0;
  const char* digits = type.c_str() + open + 1;
  char* end = nullptr;
  const long length = std::strtol(digits, &end, 10);
  return end != digits && length > 0 ? length : 0;
}

// "length(rtrim(NEW.c, ' ')) > 30 OR ..." for the table's sized text columns.
std::string TooLong(sqlite3* db, const std::string& table) {
  std::string condition;
  Statement columns = Prepare(db, "SELECT name, type FROM pragma_table_info(" + Quoted(table, '\'') + ", 'main')");
  while (sqlite3_step(columns.get()) == SQLITE_ROW) {
    const long length = DeclaredLength(Column(columns.get(), 1));
    if (length == 0) continue;
    if (!condition.empty()) condition += " OR ";
    condition += "length(rtrim(NEW." + Quoted(Column(columns.get(), 0)) + ", ' ')) > " + std::to_string(length);
  }
  return condition;
}

}  // namespace

void ColumnLengthGuard::Install(SqliteConnection& conn) {
  sqlite3* db = conn.Handle();
  std::vector<std::string> tables;
  Statement list = Prepare(db, "SELECT name FROM main.sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite%'");
  while (sqlite3_step(list.get()) == SQLITE_ROW) tables.push_back(Column(list.get(), 0));
  list.reset();
  std::string script;
  for (size_t i = 0; i < tables.size(); ++i) {
    const std::string condition = TooLong(db, tables[i]);
    if (condition.empty()) continue;
    for (const char* event : {"INSERT", "UPDATE"}) {
      script += std::string("CREATE TEMP TRIGGER ") + Quoted("fabrikon_length_" + std::to_string(i) + "_" + event) +
                " BEFORE " + event + " ON main." + Quoted(tables[i]) + " WHEN " + condition +
                " BEGIN SELECT RAISE(ABORT, 'String or binary data would be truncated.'); END;\n";
    }
  }
  if (!script.empty()) conn.ExecuteNative(script);
}

}  // namespace fabrikon
