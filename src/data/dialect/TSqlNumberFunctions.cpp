// TSqlNumberFunctions: see the header. Decimals are computed in doubles and
// rounded to their scale at each step T-SQL rounds them, which holds the
// digits of the amounts and quantities the library keeps.
#include "data/dialect/TSqlNumberFunctions.h"

#include <sqlite3.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

#include "data/dialect/TSqlConversions.h"
#include "data/dialect/modSqlFunctions.h"

namespace fabrikon::dialect {

namespace {

using sqlfn::Text;
using sqlfn::DataError;

using C = TSqlConversions;

bool AnyNull(int argc, sqlite3_value** argv) {
  for (int i = 0; i < argc; ++i)
    if (sqlite3_value_type(argv[i]) == SQLITE_NULL) return true;
  return false;
}

// A number, or text that is one; reports the failed conversion otherwise.
bool Number(sqlite3_context* ctx, sqlite3_value* v, double& out) {
  if (sqlite3_value_type(v) == SQLITE_INTEGER || sqlite3_value_type(v) == SQLITE_FLOAT) {
    out = sqlite3_value_double(v);
    return true;
  }
  if (C::ParseNumber(Text(v), out)) return true;
  DataError(ctx, "Error converting data type varchar to numeric.");
  return false;
}

// A quotient cut (not rounded) to scale decimals, as T-SQL's division cuts
// it: 2 / 3.0 is 0.666666. The nudge keeps a quotient that is exact in
// decimals (0.3 / 0.1) from losing its last digit to the binary error.
double Truncated(double value, int scale) {
  const double factor = std::pow(10.0, scale);
  const double scaled = std::trunc(std::fabs(value) * factor * (1.0 + 4 * DBL_EPSILON));
  return std::copysign(scaled / factor, value);
}

// value as decimal(precision, scale): a whole number as an integer.
void ResultDecimal(sqlite3_context* ctx, double value, int precision, int scale) {
  const double rounded = C::RoundDecimal(value, scale);
  if (!(std::fabs(rounded) < std::pow(10.0, precision - scale)))
    return DataError(ctx, "Arithmetic overflow error converting expression to data type numeric.");
  if (scale == 0 && std::fabs(rounded) < 9e15) return sqlite3_result_int64(ctx, static_cast<sqlite3_int64>(rounded));
  sqlite3_result_double(ctx, rounded);
}

// An integer's digits, all of them kept (a double holds only 15 or so).
void ResultWhole(sqlite3_context* ctx, sqlite3_int64 value, int precision, int scale) {
  const int digits = precision - scale;
  sqlite3_int64 limit = 1;
  for (int i = 0; i < digits && i < 19; ++i) limit = i == 18 ? INT64_MAX : limit * 10;
  if (digits < 19 && (value >= limit || value <= -limit))
    return DataError(ctx, "Arithmetic overflow error converting expression to data type numeric.");
  sqlite3_result_int64(ctx, value);
}

void Numeric(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
  const int precision = sqlite3_value_int(argv[argc - 2]), scale = sqlite3_value_int(argv[argc - 1]);
  if (sqlite3_value_type(argv[0]) == SQLITE_INTEGER && scale >= 0)
    return ResultWhole(ctx, sqlite3_value_int64(argv[0]), precision, scale);
  double value = 0;
  if (!Number(ctx, argv[0], value)) return;
  ResultDecimal(ctx, value, precision, scale);
}

void NumericDivide(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (AnyNull(2, argv)) return sqlite3_result_null(ctx);
  double a = 0, b = 0;
  if (!Number(ctx, argv[0], a) || !Number(ctx, argv[1], b)) return;
  if (b == 0) return DataError(ctx, "Divide by zero error encountered.");
  const int scale = sqlite3_value_int(argv[argc - 1]);
  ResultDecimal(ctx, Truncated(a / b, scale), sqlite3_value_int(argv[argc - 2]), scale);
}

// The remainder takes the dividend's sign, as C's.
void Modulo(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (AnyNull(2, argv)) return sqlite3_result_null(ctx);
  if (sqlite3_value_type(argv[0]) == SQLITE_INTEGER && sqlite3_value_type(argv[1]) == SQLITE_INTEGER) {
    const sqlite3_int64 a = sqlite3_value_int64(argv[0]), b = sqlite3_value_int64(argv[1]);
    if (b == 0) return DataError(ctx, "Divide by zero error encountered.");
    return sqlite3_result_int64(ctx, b == -1 ? 0 : a % b);
  }
  double a = 0, b = 0;
  if (!Number(ctx, argv[0], a) || !Number(ctx, argv[1], b)) return;
  if (b == 0) return DataError(ctx, "Divide by zero error encountered.");
  const double rest = std::fmod(a, b);
  // Whole numbers (a text '7' converted) keep an integer remainder.
  const bool whole = sqlite3_value_type(argv[0]) != SQLITE_FLOAT && sqlite3_value_type(argv[1]) != SQLITE_FLOAT &&
                     a == std::trunc(a) && b == std::trunc(b) && std::fabs(a) < 9e15 && std::fabs(b) < 9e15;
  if (whole) return sqlite3_result_int64(ctx, static_cast<sqlite3_int64>(rest));
  // Both operands have at most 15 digits: the remainder is rounded to them
  // (5.3 % 1 is 0.3, not 0.2999999999999998).
  sqlite3_result_double(ctx, std::fabs(rest) < 1e15 ? std::stod(C::FormatNumber(rest)) : rest);
}

// A number's text fitted to the target: one too long for it is refused.
void ResultFitted(sqlite3_context* ctx, std::string text, long length, int flags, std::string_view source) {
  if (length >= 0 && static_cast<long>(C::CharacterCount(text)) > length)
    return DataError(ctx, "Arithmetic overflow error converting " + std::string(source) + " to data type " +
                              ((flags & 2) != 0 ? "n" : "") + ((flags & 1) != 0 ? "char." : "varchar."));
  text = C::FitText(std::move(text), length, (flags & 1) != 0);
  sqlite3_result_text(ctx, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

void NumericText(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
  double value = 0;
  if (!Number(ctx, argv[0], value)) return;
  ResultFitted(ctx, C::FormatDecimal(value, sqlite3_value_int(argv[1])), sqlite3_value_int(argv[2]),
               sqlite3_value_int(argv[3]), "numeric");
}

void FloatText(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
  double value = 0;
  if (!Number(ctx, argv[0], value)) return;
  ResultFitted(ctx, C::FormatFloat(value, sqlite3_value_int(argv[2])), sqlite3_value_int(argv[1]),
               sqlite3_value_int(argv[3]), "float");
}

void Define(sqlite3* db, const char* name, int args, void (*fn)(sqlite3_context*, int, sqlite3_value**)) {
  sqlite3_create_function_v2(db, name, args, SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS, nullptr, fn,
                             nullptr, nullptr, nullptr);
}

}  // namespace

void TSqlNumberFunctions::Register(sqlite3* db) {
  Define(db, "tsql_numeric", 3, Numeric);
  Define(db, "tsql_numeric_div", 4, NumericDivide);
  Define(db, "tsql_mod", 2, Modulo);
  Define(db, "tsql_numeric_str", 4, NumericText);
  Define(db, "tsql_float_str", 4, FloatText);
}

}  // namespace fabrikon::dialect
