// OdbcStatement: one ODBC statement handle, freed when it leaves scope; every
// failing call raises the mapped ComError.
#pragma once
#include <sql.h>
#include <sqlext.h>

#include <string>

#include "data/OdbcErrorMapper.h"

namespace fabrikon {

class OdbcStatement {
 public:
  OdbcStatement(SQLHDBC connection, bool sqliteDriver);
  ~OdbcStatement();
  OdbcStatement(const OdbcStatement&) = delete;
  OdbcStatement& operator=(const OdbcStatement&) = delete;
  OdbcStatement(OdbcStatement&& other) noexcept;
  OdbcStatement& operator=(OdbcStatement&&) = delete;

  void Prepare(const std::string& text);
  // Runs the prepared text (or the given text). False when the driver
  // answered SQL_NO_DATA: a searched change that matched no row, or a batch
  // that produced no result at all. Neither is an error.
  bool Execute();
  bool ExecuteDirect(const std::string& text);
  // Moves to the batch's next result; false when there is none.
  bool MoreResults();
  SQLSMALLINT ColumnCount();
  // The current result's count; -1 when the driver has none.
  long RowCount();
  // A text or numeric attribute of a result column (SQLColAttribute).
  std::string ColumnText(SQLUSMALLINT column, SQLUSMALLINT field) const;
  SQLLEN ColumnNumber(SQLUSMALLINT column, SQLUSMALLINT field) const;
  // Ends the current cursor so that the (prepared) statement can run again.
  void Close();

  SQLHSTMT Handle() const { return handle_; }
  // The SQLite driver: narrow calls with UTF-8 text, the dialect's names.
  bool SqliteDriver() const { return sqliteDriver_; }
  [[noreturn]] void Fail(OdbcErrorMapper::Phase phase = OdbcErrorMapper::Phase::Run) const;

 private:
  bool Ran(SQLRETURN rc, OdbcErrorMapper::Phase phase) const;

  SQLHSTMT handle_ = SQL_NULL_HSTMT;
  bool sqliteDriver_;
};

}  // namespace fabrikon
