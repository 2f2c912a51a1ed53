// PgColumnTypes: the SQL Server type names of a PostgreSQL database's columns
// as the host schema declares them (schema/pg maps each SQL Server type to a
// PostgreSQL type or domain), read once per table or view and kept for the
// connection. The recordsets report the ADO types of these names, and the
// translation types its operands by them, as on the embedded database.
#pragma once
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "data/dialect/SchemaCatalog.h"

struct pg_conn;

namespace fabrikon {

class PgColumnTypes {
 public:
  explicit PgColumnTypes(pg_conn* conn) : conn_(conn) {}

  // The declared type of column `number` (1-based) of the relation with
  // this oid; "" when unknown.
  const std::string& Declared(unsigned table, int number);
  // Whether that column is an identity column, and whether it takes NULL.
  bool Identity(unsigned table, int number);
  bool Nullable(unsigned table, int number);
  // The columns of a table or view by lower-case name, for the translation's
  // catalog (schema "" or "dbo": the session's temporary tables, then public).
  void Columns(const std::string& schema, const std::string& table, dialect::SchemaCatalog::Columns& columns);
  // Forget what was read (after DDL).
  void Clear() { byOid_.clear(); }

  // SQL Server's name for a PostgreSQL type (typname, format_type text,
  // column name): "nvarchar(30)" for character varying(30), "datetime" for
  // the datetime domain, "" for plain text and unbounded numeric.
  static std::string SqlServerName(const std::string& typname, const std::string& formatted,
                                   const std::string& column);

 private:
  struct Column {
    std::string declared;
    bool identity = false;
    bool nullable = true;
  };
  std::vector<Column>& Table(unsigned table);
  const Column* Find(unsigned table, int number);

  pg_conn* conn_;
  std::unordered_map<unsigned, std::vector<Column>> byOid_;  // by attnum - 1
};

}  // namespace fabrikon
