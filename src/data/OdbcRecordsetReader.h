// OdbcRecordsetReader: reads the current result set of an ODBC statement into
// a materialised Recordset: ADO field types from the column descriptions,
// values as the embedded backend gives them (dates as DateTime, bit columns
// as Boolean, text in UTF-8 through the wide-character calls).
#pragma once
#include <sql.h>

#include <string>
#include <vector>

#include "data/SqliteTypeMapper.h"
#include "fabrikon/Recordset.h"

namespace fabrikon {

class OdbcStatement;

class OdbcRecordsetReader {
 public:
  // Fetches every row of the statement's current result.
  void Read(OdbcStatement& statement);
  bool HasResult() const { return hasResult_; }
  // The recordset of the result read; a closed one when none was.
  RecordsetPtr Build();

 private:
  // Other: no declared type; the driver's guess for each value decides.
  using ValueRule = SqliteTypeMapper::ValueKind;
  struct Column {
    FieldInfo info;
    ValueRule rule = ValueRule::Other;
    SQLLEN driverType = 0;  // what the driver guessed for a column without a declared type
  };

  void Describe(OdbcStatement& statement);
  static Variant ReadValue(const OdbcStatement& statement, SQLUSMALLINT index, const Column& column);
  void InferTypes();

  bool hasResult_ = false;
  std::vector<Column> columns_;
  std::vector<std::vector<Variant>> rows_;
};

}  // namespace fabrikon
