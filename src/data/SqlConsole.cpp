// SqlConsole: a batch's rows and count from one run. On the embedded
// connection the batch runs once as a whole (ExecuteAll keeps every SELECT's
// rows). Elsewhere Execute keeps only the count and Open only the first
// result, so the batch's statements run one by one: row-returning ones
// through Open, the others through ExecuteEach, an IF with its ELSE as one.
// There a statement-ending error outside a transaction ends only its
// statement, as on the embedded connection, and is raised when the batch is
// done. The counts follow the batch rule: the first statement that produced
// one decides, -1 when none did.
#include "data/SqlConsole.h"

#include <optional>

#include "data/PgConnection.h"
#include "data/SqliteConnection.h"
#include "data/SqliteErrorMapper.h"
#include "data/dialect/TSqlDialect.h"

namespace fabrikon {

namespace {

bool IsBlank(const std::string& text) { return text.find_first_not_of(" \t\r\n\f\v") == std::string::npos; }

// Runs one statement; returns its count (kNoCount when it produced none).
long RunStatement(Connection& conn, const std::string& text, dialect::StatementKind kind,
                  SqlConsoleResult& result) {
  if (kind == dialect::StatementKind::Select) {
    RecordsetPtr rows = conn.Open(text, adOpenStatic, adLockReadOnly, adUseClient);
    // A closed recordset: the statement's IF condition was false, nothing ran.
    if (rows->State() != adStateOpen) return kNoCount;
    result.rowsets.push_back(rows);
    return -1;
  }
  std::vector<long> counts = conn.ExecuteEach(text);
  for (long count : counts) {
    if (count != kNoCount) return count;
  }
  return kNoCount;
}

void Count(SqlConsoleResult& result, bool& counted, long count) {
  if (counted || count == kNoCount) return;
  result.recordsAffected = count;
  counted = true;
}

// A connection that keeps the rows of every SELECT of a batch it runs once.
template <class Backend>
SqlConsoleResult RunAll(Backend& conn, const std::string& text) {
  SqlConsoleResult result;
  bool counted = false;
  for (long count : conn.ExecuteAll(text, result.rowsets)) Count(result, counted, count);
  return result;
}

// An IF and the ELSE branches after it, as one text.
struct Group {
  std::string text;
  dialect::StatementKind kind = dialect::StatementKind::Other;
};

std::vector<Group> Groups(const std::vector<dialect::TranslatedStatement>& statements) {
  std::vector<Group> groups;
  for (const dialect::TranslatedStatement& statement : statements) {
    if (!statement.otherwise || groups.empty()) {
      groups.push_back(Group{statement.original, statement.kind});
      continue;
    }
    groups.back().text += "\n" + statement.original;
    if (statement.kind == dialect::StatementKind::Select) groups.back().kind = statement.kind;
  }
  return groups;
}

}  // namespace

SqlConsoleResult SqlConsole::Run(Connection& conn, const std::string& text) {
  if (auto* embedded = dynamic_cast<SqliteConnection*>(&conn)) return RunAll(*embedded, text);
  if (auto* server = dynamic_cast<PgConnection*>(&conn)) return RunAll(*server, text);
  SqlConsoleResult result;
  if (IsBlank(text)) {
    conn.Execute(text);  // raises the connection's own "command text not set" error
    return result;
  }
  std::vector<dialect::TranslatedStatement> statements = dialect::TranslateBatch(text);
  if (statements.empty()) {
    conn.Execute(text, result.recordsAffected);
    return result;
  }
  bool counted = false;
  const std::vector<Group> groups = Groups(statements);
  if (groups.size() == 1) {
    Count(result, counted, RunStatement(conn, text, groups.front().kind, result));
    return result;
  }
  std::optional<ComError> ended;
  for (const Group& group : groups) {
    try {
      Count(result, counted, RunStatement(conn, group.text, group.kind, result));
    } catch (const ComError& error) {
      if (conn.InTransaction() || !SqliteErrorMapper::EndsStatementOnly(error)) throw;
      if (!ended) ended = error;
    }
  }
  if (ended) throw *ended;
  return result;
}

}  // namespace fabrikon
