// PgRecordsetReader: a PostgreSQL result read into a materialised Recordset,
// with the ADO field types of the columns' declared SQL Server types (see
// PgColumnTypes) and values as the embedded connection gives them.
#pragma once
#include <string>
#include <vector>

#include "data/SqliteTypeMapper.h"
#include "fabrikon/Recordset.h"

struct pg_result;

namespace fabrikon {

class PgColumnTypes;

class PgRecordsetReader {
 public:
  // resultTypes: declared types of computed columns by position (the
  // translation's date and bit columns; "" or missing: the values decide).
  // spelling: the statement's text, whose spelling of a column's name the
  // field takes (the server folds unquoted names to lower case).
  void Read(const pg_result* result, PgColumnTypes& types, const std::vector<std::string>& resultTypes,
            const std::string& spelling);
  bool HasResult() const { return hasResult_; }
  void Unname(const std::vector<bool>& unnamed) { unnamed_ = unnamed; }
  RecordsetPtr Build();

 private:
  using ValueRule = SqliteTypeMapper::ValueKind;
  struct Column {
    FieldInfo info;
    ValueRule rule = ValueRule::Other;
    bool inferred = false;
  };
  void Describe(const pg_result* result, PgColumnTypes& types, const std::vector<std::string>& resultTypes,
                const std::string& spelling);
  static ValueRule RuleOfType(unsigned oid);
  static Variant ValueOf(std::string text, ValueRule rule);

  bool hasResult_ = false;
  std::vector<Column> columns_;
  std::vector<std::vector<Variant>> rows_;
  std::vector<bool> unnamed_;
};

}  // namespace fabrikon
