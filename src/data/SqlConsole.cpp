// SqlConsole: a batch's rows and count from one run. Execute keeps only the
// count and Open only the first result, so a batch of several statements is
// compiled whole (exactly as Execute compiles it, so that a syntax error
// anywhere runs nothing) and then run statement by statement: row-returning
// ones through Open, the others through ExecuteEach. The counts follow the
// batch rule: the first statement that produced one decides, -1 when none did.
#include "data/SqlConsole.h"

#include "data/PreparedBatch.h"
#include "data/SqliteConnection.h"
#include "data/StatementCache.h"
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

}  // namespace

SqlConsoleResult SqlConsole::Run(Connection& conn, const std::string& text) {
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
  if (statements.size() == 1) {
    Count(result, counted, RunStatement(conn, text, statements.front().kind, result));
    return result;
  }
  if (auto* embedded = dynamic_cast<SqliteConnection*>(&conn)) {
    StatementCache cache(embedded->Handle());
    PreparedBatch compiled(embedded->Handle(), cache, text);
  }
  for (const dialect::TranslatedStatement& statement : statements)
    Count(result, counted, RunStatement(conn, statement.original, statement.kind, result));
  return result;
}

}  // namespace fabrikon
