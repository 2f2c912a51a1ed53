// PgColumnTypes: see the header. One catalogue query per relation.
#include "data/PgColumnTypes.h"

#include <libpq-fe.h>

#include <cstdlib>
#include <memory>

namespace fabrikon {

namespace {

using ResultPtr = std::unique_ptr<PGresult, decltype(&PQclear)>;

// "character varying(30)" -> "30"; "numeric(18,4)" -> "18,4"; "" without one.
std::string Modifier(const std::string& formatted) {
  const size_t open = formatted.find('(');
  const size_t close = formatted.rfind(')');
  if (open == std::string::npos || close == std::string::npos || close < open) return "";
  return formatted.substr(open + 1, close - open - 1);
}

constexpr const char* kColumnsByOid =
    "SELECT a.attnum, t.typname, format_type(a.atttypid, a.atttypmod), a.attname, a.attidentity <> '', "
    "NOT a.attnotnull FROM pg_attribute a "
    "JOIN pg_type t ON t.oid = a.atttypid WHERE a.attrelid = $1::oid AND a.attnum > 0 AND NOT a.attisdropped";

constexpr const char* kColumnsByName =
    "SELECT a.attname, t.typname, format_type(a.atttypid, a.atttypmod) FROM pg_attribute a "
    "JOIN pg_type t ON t.oid = a.atttypid WHERE a.attrelid = (SELECT c.oid FROM pg_class c "
    "WHERE c.relname = $1 AND (c.relnamespace = pg_my_temp_schema() OR c.relnamespace = "
    "(SELECT oid FROM pg_namespace WHERE nspname = current_schema())) "
    "ORDER BY c.relnamespace = pg_my_temp_schema() DESC LIMIT 1) AND a.attnum > 0 AND NOT a.attisdropped";

}  // namespace

std::string PgColumnTypes::SqlServerName(const std::string& typname, const std::string& formatted,
                                         const std::string& column) {
  const std::string modifier = Modifier(formatted);
  if (typname == "datetime" || typname == "smalldatetime" || typname == "tinyint") return typname;
  if (typname == "tsql_bit" || typname == "bool") return "bit";
  if (typname == "tsql_money_t") return "money";
  if (typname.rfind("tsql_nvarchar_", 0) == 0) return "nvarchar(" + typname.substr(14) + ")";
  if (typname == "varchar") return modifier.empty() ? "nvarchar(max)" : "nvarchar(" + modifier + ")";
  if (typname == "bpchar") return "nchar(" + (modifier.empty() ? std::string("1") : modifier) + ")";
  if (typname == "int4") return "int";
  if (typname == "int2") return "smallint";
  if (typname == "int8") return column == "qxts" ? "timestamp" : "bigint";
  if (typname == "float8") return "float";
  if (typname == "float4") return "real";
  if (typname == "numeric") return modifier.empty() ? "" : "decimal(" + modifier + ")";
  if (typname == "bytea") return "varbinary(max)";
  return "";
}

std::vector<PgColumnTypes::Column>& PgColumnTypes::Table(unsigned table) {
  auto found = byOid_.find(table);
  if (found != byOid_.end()) return found->second;
  std::vector<Column>& columns = byOid_[table];
  const std::string oid = std::to_string(table);
  const char* values[] = {oid.c_str()};
  ResultPtr result(PQexecParams(conn_, kColumnsByOid, 1, nullptr, values, nullptr, nullptr, 0), &PQclear);
  if (PQresultStatus(result.get()) != PGRES_TUPLES_OK) return columns;
  for (int row = 0; row < PQntuples(result.get()); ++row) {
    const int number = std::atoi(PQgetvalue(result.get(), row, 0));
    if (number <= 0) continue;
    if (columns.size() < static_cast<size_t>(number)) columns.resize(static_cast<size_t>(number));
    Column& column = columns[static_cast<size_t>(number) - 1];
    column.declared = SqlServerName(PQgetvalue(result.get(), row, 1), PQgetvalue(result.get(), row, 2),
                                    PQgetvalue(result.get(), row, 3));
    column.identity = PQgetvalue(result.get(), row, 4)[0] == 't';
    column.nullable = PQgetvalue(result.get(), row, 5)[0] == 't';
  }
  return columns;
}

const PgColumnTypes::Column* PgColumnTypes::Find(unsigned table, int number) {
  if (table == 0 || number <= 0) return nullptr;
  const std::vector<Column>& columns = Table(table);
  return static_cast<size_t>(number) <= columns.size() ? &columns[static_cast<size_t>(number) - 1] : nullptr;
}

const std::string& PgColumnTypes::Declared(unsigned table, int number) {
  static const std::string none;
  const Column* column = Find(table, number);
  return column != nullptr ? column->declared : none;
}

bool PgColumnTypes::Identity(unsigned table, int number) {
  const Column* column = Find(table, number);
  return column != nullptr && column->identity;
}

bool PgColumnTypes::Nullable(unsigned table, int number) {
  const Column* column = Find(table, number);
  return column == nullptr || column->nullable;
}

void PgColumnTypes::Columns(const std::string& schema, const std::string& table,
                            dialect::SchemaCatalog::Columns& columns) {
  if (!schema.empty() && schema != "dbo" && schema != "temp" && schema != "pg_temp") return;
  const char* values[] = {table.c_str()};
  ResultPtr result(PQexecParams(conn_, kColumnsByName, 1, nullptr, values, nullptr, nullptr, 0), &PQclear);
  if (PQresultStatus(result.get()) != PGRES_TUPLES_OK) return;
  for (int row = 0; row < PQntuples(result.get()); ++row) {
    const std::string name = PQgetvalue(result.get(), row, 0);
    const std::string declared = SqlServerName(PQgetvalue(result.get(), row, 1), PQgetvalue(result.get(), row, 2), name);
    if (!declared.empty()) columns.emplace(name, dialect::SqlType::FromDeclared(declared));
  }
}

}  // namespace fabrikon
