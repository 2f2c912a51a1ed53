// modSqlFunctions: what the T-SQL runtime functions (conversions, number and
// date functions, stored values, session variables) share in talking to the
// engine: reading a value's text and reporting a failed conversion the way
// the connection maps it to 0x80040E07 (SQLITE_MISMATCH with SQL Server's
// message).
#pragma once
#include <string>
#include <string_view>

struct sqlite3_context;
struct sqlite3_value;

namespace fabrikon::dialect::sqlfn {

// The value's text (numbers as the engine writes them); empty for NULL.
std::string_view Text(sqlite3_value* v);
// A failure of the value rather than of the statement's text.
void DataError(sqlite3_context* ctx, const std::string& message);
// "Conversion failed when converting the varchar value '...' to data type T."
void ConversionFailed(sqlite3_context* ctx, std::string_view value, std::string_view type);

}  // namespace fabrikon::dialect::sqlfn
