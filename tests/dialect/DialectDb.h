// DialectDb: an in-memory SQLite database with the dialect's functions, and a
// runner that carries out translated batches the way the embedded connection
// does (everything prepared first, guards, first-count rule), so that the
// rewrite rules can be checked by what the SQL does, not only by its text.
#pragma once
#include <sqlite3.h>

#include <memory>
#include <string>
#include <vector>

#include "data/dialect/TSqlDialect.h"
#include "fabrikon/ComError.h"

namespace fabrikon::dialect::test {

class DialectDb {
 public:
  using Rows = std::vector<std::vector<std::string>>;  // NULL reads "NULL"

  DialectDb() {
    sqlite3_open(":memory:", &db_);
    RegisterFunctions(db_);
  }
  ~DialectDb() { sqlite3_close(db_); }
  DialectDb(const DialectDb&) = delete;
  DialectDb& operator=(const DialectDb&) = delete;

  sqlite3* Handle() const { return db_; }

  // Native SQLite script (table set-up).
  void Native(const std::string& script) {
    char* error = nullptr;
    if (sqlite3_exec(db_, script.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
      const std::string message = error ? error : "?";
      sqlite3_free(error);
      throw ComError(ErrorNumber::E_FAIL_, message);
    }
  }

  // Runs a T-SQL batch; returns what Connection.Execute reports.
  long Execute(const std::string& tsql) {
    long count = -1;
    bool counted = false;
    Run(tsql, [&](long n) {
      if (!counted) count = n;
      counted = true;
    });
    return count;
  }

  // Every statement's count in order; -2 for a statement without a count.
  std::vector<long> Counts(const std::string& tsql) {
    std::vector<long> counts;
    Run(tsql, [&](long n) { counts.push_back(n); }, &counts);
    return counts;
  }

  // The rows of the first row-returning statement of the batch.
  Rows Query(const std::string& tsql) {
    rows_.clear();
    captured_ = false;
    Run(tsql, [](long) {});
    return rows_;
  }

  // A single value of a query (first row, first column).
  std::string Value(const std::string& tsql) {
    const Rows rows = Query(tsql);
    return rows.empty() || rows[0].empty() ? "<no row>" : rows[0][0];
  }

 private:
  struct Prepared {
    sqlite3_stmt* condition = nullptr;
    std::vector<sqlite3_stmt*> steps;  // null: prepared when its turn comes
    std::vector<std::string> deferred;  // the text of a step not prepared yet
    StatementKind kind = StatementKind::Other;
  };
  using StatementPtr = std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)>;

  sqlite3_stmt* Prepare(const std::string& sql, std::vector<StatementPtr>& keep) {
    sqlite3_stmt* stmt = nullptr;
    const int rc = sqlite3_prepare_v2(db_, sql.c_str(), -1, &stmt, nullptr);
    if (rc != SQLITE_OK)
      throw ComError(ErrorNumber::ErrorsInCommand, std::string(sqlite3_errmsg(db_)) + " in: " + sql);
    keep.emplace_back(stmt, sqlite3_finalize);
    return stmt;
  }

  [[noreturn]] void Raise(int rc) {
    const std::string message = sqlite3_errmsg(db_);
    const bool conversion = (rc & 0xff) == SQLITE_MISMATCH || message.rfind("conversion failed", 0) == 0;
    throw ComError(conversion ? ErrorNumber::CantConvertValue : ErrorNumber::E_FAIL_, message);
  }

  template <class OnCount>
  void Run(const std::string& tsql, OnCount onCount, std::vector<long>* noCounts = nullptr) {
    std::vector<StatementPtr> keep;
    std::vector<Prepared> batch;
    for (const TranslatedStatement& t : TranslateBatch(tsql)) {
      Prepared p;
      if (!t.condition.empty()) p.condition = Prepare(t.condition, keep);
      // A step after the first may use a table the first one makes.
      for (size_t i = 0; i < t.sql.size(); ++i) {
        p.steps.push_back(i == 0 ? Prepare(t.sql[i], keep) : nullptr);
        p.deferred.push_back(i == 0 ? std::string() : t.sql[i]);
      }
      p.kind = t.kind;
      batch.push_back(p);
    }
    for (const Prepared& p : batch) {
      if (p.condition != nullptr) {
        const int rc = sqlite3_step(p.condition);
        if (rc != SQLITE_ROW) Raise(rc);
        const bool run = sqlite3_column_int(p.condition, 0) != 0;
        sqlite3_reset(p.condition);  // a pending read would lock the tables it reads
        if (!run) {
          if (noCounts) noCounts->push_back(-2);
          continue;
        }
      }
      for (size_t i = 0; i < p.steps.size(); ++i) {
        sqlite3_stmt* step = p.steps[i] != nullptr ? p.steps[i] : Prepare(p.deferred[i], keep);
        int rc;
        const bool rows = sqlite3_column_count(step) > 0;
        while ((rc = sqlite3_step(step)) == SQLITE_ROW)
          if (!captured_) rows_.push_back(Row(step));
        if (rc != SQLITE_DONE) Raise(rc);
        if (rows) captured_ = true;
      }
      if (p.kind == StatementKind::Select)
        onCount(-1);
      else if (p.kind == StatementKind::Insert || p.kind == StatementKind::Update || p.kind == StatementKind::Delete)
        onCount(sqlite3_changes(db_));
      else if (noCounts)
        noCounts->push_back(-2);
    }
  }

  static std::vector<std::string> Row(sqlite3_stmt* stmt) {
    std::vector<std::string> row;
    for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
      const unsigned char* text = sqlite3_column_text(stmt, i);
      row.push_back(text == nullptr ? "NULL" : reinterpret_cast<const char*>(text));
    }
    return row;
  }

  sqlite3* db_ = nullptr;
  Rows rows_;
  bool captured_ = false;
};

// The SQLite text of a single-statement batch.
inline std::string Sql(const std::string& tsql) {
  const std::vector<TranslatedStatement> t = TranslateBatch(tsql);
  return t.size() == 1 ? t[0].sql.back() : "<" + std::to_string(t.size()) + " statements>";
}

}  // namespace fabrikon::dialect::test
