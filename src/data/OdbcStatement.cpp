// OdbcStatement: statement handle lifetime and the calls the connection makes.
#include "data/OdbcStatement.h"

#include <algorithm>
#include <utility>

#include "data/OdbcText.h"

namespace fabrikon {

OdbcStatement::OdbcStatement(SQLHDBC connection, bool sqliteDriver) : sqliteDriver_(sqliteDriver) {
  if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, connection, &handle_)))
    OdbcErrorMapper::Raise(SQL_HANDLE_DBC, connection, sqliteDriver_, OdbcErrorMapper::Phase::Run);
}

OdbcStatement::OdbcStatement(OdbcStatement&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)), sqliteDriver_(other.sqliteDriver_) {}

OdbcStatement::~OdbcStatement() {
  if (handle_ != SQL_NULL_HSTMT) SQLFreeHandle(SQL_HANDLE_STMT, handle_);
}

// The SQLite driver has only the narrow calls and keeps their bytes as they
// are (UTF-8); the driver manager would cut wide text down to one byte a
// character. Server drivers get UTF-16 through the wide calls.
void OdbcStatement::Prepare(const std::string& text) {
  if (sqliteDriver_) {
    std::string narrow = text;
    Ran(SQLPrepare(handle_, reinterpret_cast<SQLCHAR*>(narrow.data()), SQL_NTS), OdbcErrorMapper::Phase::Prepare);
    return;
  }
  std::vector<SQLWCHAR> wide = odbc::Wide(text);
  Ran(SQLPrepareW(handle_, wide.data(), SQL_NTS), OdbcErrorMapper::Phase::Prepare);
}

bool OdbcStatement::Execute() { return Ran(SQLExecute(handle_), OdbcErrorMapper::Phase::Run); }

bool OdbcStatement::ExecuteDirect(const std::string& text) {
  if (sqliteDriver_) {
    std::string narrow = text;
    return Ran(SQLExecDirect(handle_, reinterpret_cast<SQLCHAR*>(narrow.data()), SQL_NTS), OdbcErrorMapper::Phase::Run);
  }
  std::vector<SQLWCHAR> wide = odbc::Wide(text);
  return Ran(SQLExecDirectW(handle_, wide.data(), SQL_NTS), OdbcErrorMapper::Phase::Run);
}

bool OdbcStatement::MoreResults() { return Ran(SQLMoreResults(handle_), OdbcErrorMapper::Phase::Run); }

SQLSMALLINT OdbcStatement::ColumnCount() {
  SQLSMALLINT count = 0;
  Ran(SQLNumResultCols(handle_, &count), OdbcErrorMapper::Phase::Run);
  return count;
}

long OdbcStatement::RowCount() {
  SQLLEN count = -1;
  if (!SQL_SUCCEEDED(SQLRowCount(handle_, &count))) return -1;
  return static_cast<long>(count);
}

std::string OdbcStatement::ColumnText(SQLUSMALLINT column, SQLUSMALLINT field) const {
  SQLSMALLINT bytes = 0;
  if (sqliteDriver_) {
    SQLCHAR text[512] = {0};
    if (!SQL_SUCCEEDED(SQLColAttribute(handle_, column, field, text, sizeof text, &bytes, nullptr))) return "";
    return std::string(reinterpret_cast<const char*>(text));
  }
  SQLWCHAR text[256] = {0};
  if (!SQL_SUCCEEDED(SQLColAttributeW(handle_, column, field, text, sizeof text, &bytes, nullptr))) return "";
  return odbc::Narrow(text, std::min(static_cast<size_t>(std::max<SQLSMALLINT>(bytes, 0)) / sizeof(SQLWCHAR),
                                     std::size(text) - 1));
}

SQLLEN OdbcStatement::ColumnNumber(SQLUSMALLINT column, SQLUSMALLINT field) const {
  SQLLEN value = 0;
  if (!SQL_SUCCEEDED(SQLColAttribute(handle_, column, field, nullptr, 0, nullptr, &value))) return 0;
  return value;
}

void OdbcStatement::Close() { SQLFreeStmt(handle_, SQL_CLOSE); }

void OdbcStatement::Fail(OdbcErrorMapper::Phase phase) const {
  OdbcErrorMapper::Raise(SQL_HANDLE_STMT, handle_, sqliteDriver_, phase);
}

bool OdbcStatement::Ran(SQLRETURN rc, OdbcErrorMapper::Phase phase) const {
  if (rc == SQL_NO_DATA) return false;
  if (!SQL_SUCCEEDED(rc)) Fail(phase);
  return true;
}

}  // namespace fabrikon
