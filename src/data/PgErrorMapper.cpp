// PgErrorMapper: see the header. The wording follows SqliteErrorMapper and
// ConstraintMessage, so that a host sees the same text on either database.
#include "data/PgErrorMapper.h"

#include <libpq-fe.h>

#include <cstring>
#include <regex>

namespace fabrikon {

namespace {

std::string Field(const PGresult* result, int code) {
  const char* value = PQresultErrorField(result, code);
  return value != nullptr ? value : "";
}

bool Take(const std::string& message, const std::string& prefix, std::string& rest) {
  if (message.rfind(prefix, 0) != 0) return false;
  rest = message.substr(prefix.size());
  return true;
}

// 'x' from `relation "x" does not exist` and the like.
std::string QuotedName(const std::string& message) {
  const size_t open = message.find('"');
  const size_t close = open == std::string::npos ? open : message.find('"', open + 1);
  return close == std::string::npos ? "" : message.substr(open + 1, close - open - 1);
}

bool StartsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

// "Key (id)=(1) already exists." -> "(1)"
std::string DuplicateValue(const std::string& detail) {
  const size_t equals = detail.find(")=(");
  const size_t end = detail.rfind(") already exists");
  if (equals == std::string::npos || end == std::string::npos || end < equals) return "";
  return detail.substr(equals + 2, end - equals - 1);
}

// SQL Server's name of a type PostgreSQL names in a message.
std::string SqlServerType(const std::string& type) {
  if (type == "integer") return "int";
  if (type == "double precision") return "float";
  if (type == "tsql_bit") return "bit";
  if (type == "tsql_money_t") return "money";
  return type;
}

// `invalid input syntax for type integer: "abc"` -> the T-SQL conversion error.
std::string ConversionFailed(const std::string& rest) {
  const size_t colon = rest.find(": \"");
  if (colon == std::string::npos) return "";
  std::string value = rest.substr(colon + 3);
  if (!value.empty() && value.back() == '"') value.pop_back();
  return "Conversion failed when converting the varchar value '" + value + "' to data type " +
         SqlServerType(rest.substr(0, colon)) + ".";
}

// The table an INSERT names ("insert into X ...").
std::string InsertTable(const std::string& statement) {
  static const std::regex into(R"(insert\s+into\s+([A-Za-z_][A-Za-z_0-9]*))", std::regex::icase);
  std::smatch match;
  return std::regex_search(statement, match, into) ? match[1].str() : "";
}

// sum or avg of text: a conversion failure on the server.
bool AggregateOfText(const std::string& sqlstate, const std::string& message) {
  if (sqlstate != "42883") return false;
  for (const char* aggregate : {"function sum(", "function avg("})
    if (message.rfind(aggregate, 0) == 0)
      for (const char* type : {"character varying)", "text)", "bpchar)", "character)", "unknown)", "tsql_nvarchar_"})
        if (message.find(type) != std::string::npos) return true;
  return false;
}

// A text domain's length check (schema/pg/000_types.sql).
bool Truncated(const std::string& sqlstate, const std::string& message) {
  return sqlstate == "23514" && message.find("domain tsql_nvarchar_") != std::string::npos;
}

std::string Describe(const PGresult* result, const std::string& sqlstate, const std::string& statement,
                     const std::string& database) {
  const std::string message = Field(result, PG_DIAG_MESSAGE_PRIMARY);
  const std::string table = Field(result, PG_DIAG_TABLE_NAME);
  std::string rest;
  if (sqlstate == "42P01") return "Invalid object name '" + QuotedName(message) + "'.";
  if (sqlstate == "42703") return "Invalid column name '" + QuotedName(message) + "'.";
  if (sqlstate == "22001" || Truncated(sqlstate, message)) return "String or binary data would be truncated.";
  if (sqlstate == "22012") return "Divide by zero error encountered.";
  if (sqlstate == "23505") {
    const std::string constraint = Field(result, PG_DIAG_CONSTRAINT_NAME);
    const bool primary = constraint.size() > 5 && constraint.compare(constraint.size() - 5, 5, "_pkey") == 0;
    const std::string value = DuplicateValue(Field(result, PG_DIAG_MESSAGE_DETAIL));
    return std::string("Violation of ") + (primary ? "PRIMARY KEY" : "UNIQUE KEY") + " constraint '" +
           (primary ? "PK_" : "UQ_") + table + "'. Cannot insert duplicate key in object 'dbo." + table + "'." +
           (value.empty() ? "" : " The duplicate key value is " + value + ".");
  }
  if (sqlstate == "23502") {
    size_t first = statement.find_first_not_of(" \t\r\n(");
    const bool update = first != std::string::npos && (statement.compare(first, 6, "UPDATE") == 0 ||
                                                        statement.compare(first, 6, "update") == 0);
    return "Cannot insert the value NULL into column '" + Field(result, PG_DIAG_COLUMN_NAME) + "', table '" +
           database + ".dbo." + table + "'; column does not allow nulls. " + (update ? "UPDATE" : "INSERT") +
           " fails.";
  }
  if (Take(message, "syntax error at or near ", rest)) return "Incorrect syntax near " + rest + ".";
  if (Take(message, "invalid input syntax for type ", rest) && !ConversionFailed(rest).empty())
    return ConversionFailed(rest);
  if (sqlstate == "22003") {
    for (const char* type : {"smallint", "integer", "bigint"})
      if (message == std::string(type) + " out of range")
        return "Arithmetic overflow error converting expression to data type " + SqlServerType(type) + ".";
    if (message.rfind("numeric field overflow", 0) == 0)
      return "Arithmetic overflow error converting numeric to data type numeric.";
  }
  if (sqlstate == "2201F" || sqlstate == "2201E") return "An invalid floating point operation occurred.";
  if (sqlstate == "42702") return "Ambiguous column name '" + QuotedName(message) + "'.";
  if (sqlstate == "428C9")
    return "Cannot insert explicit value for identity column in table '" + InsertTable(statement) +
           "' when IDENTITY_INSERT is set to OFF.";
  if (message.rfind("each UNION query must have the same number of columns", 0) == 0 ||
      message.rfind("each EXCEPT query", 0) == 0 || message.rfind("each INTERSECT query", 0) == 0)
    return "All queries combined using a UNION, INTERSECT or EXCEPT operator must have an equal number of "
           "expressions in their target lists.";
  if (message.rfind("INSERT has more target columns than expressions", 0) == 0)
    return "There are more columns in the INSERT statement than values specified in the VALUES clause. The number "
           "of values in the VALUES clause must match the number of columns specified in the INSERT statement.";
  if (message.rfind("INSERT has more expressions than target columns", 0) == 0)
    return "There are fewer columns in the INSERT statement than values specified in the VALUES clause. The number "
           "of values in the VALUES clause must match the number of columns specified in the INSERT statement.";
  if (sqlstate == "42803" && message.rfind("column \"", 0) == 0)
    return "Column '" + QuotedName(message) + "' is invalid in the select list because it is not contained in "
           "either an aggregate function or the GROUP BY clause.";
  if (AggregateOfText(sqlstate, message))
    return "Operand data type nvarchar is invalid for " + message.substr(9, message.find('(') - 9) + " operator.";
  if (sqlstate == "22003" && message.rfind("value out of range: overflow", 0) == 0)
    return "Arithmetic overflow error converting expression to data type float.";
  if (sqlstate == "42883" && Take(message, "function ", rest) && rest.rfind("tsql_", 0) != 0) {
    const size_t open = rest.find('(');
    return "'" + rest.substr(0, open) + "' is not a recognized built-in function name.";
  }
  return message;
}

}  // namespace

int32_t PgErrorMapper::Number(const std::string& sqlstate) {
  if (sqlstate == "22P02" || sqlstate == "22018" || sqlstate == "22007" || sqlstate == "22008" || sqlstate == "2201F" ||
      sqlstate == "2201E" ||
      sqlstate == "22003" || sqlstate == "22001")
    return ErrorNumber::CantConvertValue;
  if (StartsWith(sqlstate, "42") || sqlstate == "0A000" || sqlstate == "22012") return ErrorNumber::ErrorsInCommand;
  if (StartsWith(sqlstate, "23")) return ErrorNumber::IntegrityViolation;
  if (sqlstate == "57014" || sqlstate == "55P03") return ErrorNumber::Timeout;
  return ErrorNumber::E_FAIL_;
}

bool PgErrorMapper::EndsStatementOnly(const std::string& sqlstate) {
  return StartsWith(sqlstate, "23") || sqlstate == "22001";
}

ComError PgErrorMapper::ToError(const PGresult* result, const std::string& statement, const std::string& database) {
  const std::string sqlstate = Field(result, PG_DIAG_SQLSTATE);
  const std::string message = Field(result, PG_DIAG_MESSAGE_PRIMARY);
  const int32_t number = Truncated(sqlstate, message) || AggregateOfText(sqlstate, message)
                             ? ErrorNumber::CantConvertValue
                             : Number(sqlstate);
  return ComError(number, Describe(result, sqlstate, statement, database));
}

ComError PgErrorMapper::ConnectionError(const PGconn* conn) {
  std::string message = conn != nullptr ? PQerrorMessage(conn) : "out of memory";
  while (!message.empty() && (message.back() == '\n' || message.back() == ' ')) message.pop_back();
  if (message.empty()) message = "The connection to the database server was lost.";
  return ComError(ErrorNumber::E_FAIL_, message);
}

}  // namespace fabrikon
