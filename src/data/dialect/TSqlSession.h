// TSqlSession: what a connection remembers between the statements of a
// batch: its local variables (DECLARE @n int; SET @n = 5; SELECT @n) and
// @@ROWCOUNT, the rows the last statement touched or returned. The
// translations read and write them through functions registered on the
// connection (tsql_declare, tsql_set, tsql_var, tsql_rowcount); the embedded
// connection starts each batch with no variables and notes each statement's
// row count.
#pragma once
#include <cstdint>
#include <map>
#include <string>

struct sqlite3;
struct sqlite3_context;
struct sqlite3_value;

namespace fabrikon::dialect {

class TSqlSession {
 public:
  // Registers the functions with a new session owned by the connection.
  static void Register(sqlite3* db);
  // The session of a connection (null when none was registered).
  static TSqlSession* Of(sqlite3* db);

  // A batch's variables are its own.
  void BeginBatch() { variables_.clear(); }
  void NoteRowCount(int64_t rows) {
    rowCount_ = rows;
    noted_ = true;
  }

 private:
  struct Variable {
    std::string type;  // as declared, lower case, without its length
    int length = 0;    // of a text type; 0: none given
    int kind = 5;      // the engine's type of the value (SQLITE_NULL)
    int64_t whole = 0;
    double number = 0;
    std::string bytes;  // text or blob
  };
  static void Destroy(void* session);
  static void Declare(sqlite3_context* ctx, int argc, sqlite3_value** argv);
  static void Set(sqlite3_context* ctx, int argc, sqlite3_value** argv);
  static void Get(sqlite3_context* ctx, int argc, sqlite3_value** argv);
  static void RowCount(sqlite3_context* ctx, int argc, sqlite3_value** argv);
  // Stores the value as the variable's type holds it; false (and the
  // context's error) when it does not convert.
  static bool Assign(sqlite3_context* ctx, Variable& variable, sqlite3_value* value);
  static void Result(sqlite3_context* ctx, const Variable& variable);

  sqlite3* db_ = nullptr;
  std::map<std::string, Variable> variables_;  // by lower-case name
  int64_t rowCount_ = 0;
  bool noted_ = false;
};

}  // namespace fabrikon::dialect
