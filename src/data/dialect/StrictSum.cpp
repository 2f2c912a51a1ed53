// StrictSum: integers are added exactly (overflow is an error, as with
// SQLite's sum); once a real value arrives the sum is real.
#include "data/dialect/StrictSum.h"

#include <sqlite3.h>

namespace fabrikon::dialect {

namespace {

struct Accumulator {
  long long integer = 0;
  double real = 0;
  long long count = 0;  // values that are not NULL
  bool isReal = false;
  bool overflow = false;
};

Accumulator* State(sqlite3_context* ctx, bool create) {
  return static_cast<Accumulator*>(sqlite3_aggregate_context(ctx, create ? sizeof(Accumulator) : 0));
}

void Add(sqlite3_context* ctx, sqlite3_value* v, int sign) {
  const int type = sqlite3_value_type(v);
  if (type == SQLITE_NULL) return;
  if (type == SQLITE_TEXT || type == SQLITE_BLOB) {
    sqlite3_result_error(ctx, "conversion failed: operand data type varchar is invalid for the sum or avg operator.", -1);
    sqlite3_result_error_code(ctx, SQLITE_MISMATCH);
    return;
  }
  Accumulator* a = State(ctx, true);
  if (a == nullptr) return sqlite3_result_error_nomem(ctx);
  a->count += sign;
  if (type == SQLITE_INTEGER && !a->isReal) {
    const long long x = sqlite3_value_int64(v);
    const bool overflow = sign > 0 ? __builtin_add_overflow(a->integer, x, &a->integer)
                                   : __builtin_sub_overflow(a->integer, x, &a->integer);
    if (overflow) a->overflow = true;
  }
  a->real += sign * sqlite3_value_double(v);
  if (type == SQLITE_FLOAT) a->isReal = true;
}

void Step(sqlite3_context* ctx, int, sqlite3_value** argv) { Add(ctx, argv[0], 1); }
void Inverse(sqlite3_context* ctx, int, sqlite3_value** argv) { Add(ctx, argv[0], -1); }

void SumValue(sqlite3_context* ctx) {
  const Accumulator* a = State(ctx, false);
  if (a == nullptr || a->count == 0) return sqlite3_result_null(ctx);
  if (a->isReal) return sqlite3_result_double(ctx, a->real);
  if (a->overflow) return sqlite3_result_error(ctx, "integer overflow", -1);
  sqlite3_result_int64(ctx, a->integer);
}

void AvgValue(sqlite3_context* ctx) {
  const Accumulator* a = State(ctx, false);
  if (a == nullptr || a->count == 0) return sqlite3_result_null(ctx);
  sqlite3_result_double(ctx, a->real / static_cast<double>(a->count));
}

}  // namespace

void StrictSum::Register(sqlite3* db) {
  const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
  sqlite3_create_window_function(db, "sum", 1, flags, nullptr, Step, SumValue, SumValue, Inverse, nullptr);
  sqlite3_create_window_function(db, "avg", 1, flags, nullptr, Step, AvgValue, AvgValue, Inverse, nullptr);
}

}  // namespace fabrikon::dialect
