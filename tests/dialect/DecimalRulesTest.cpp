// The forms the decimal arithmetic and number text rules write: what a
// typed operand becomes, and what is left to the engine where the text does
// not tell the types.
#include <gtest/gtest.h>

#include "DialectDb.h"

namespace fabrikon::dialect::test {
namespace {

TEST(DecimalRules, GoldenForms) {
  const std::vector<std::pair<const char*, const char*>> cases = {
      {"select 1 / 3.0", "select tsql_numeric_div(1, 3.0, 17, 6)"},
      {"select 10 / 3.0 * 3", "select tsql_numeric(tsql_numeric_div(10, 3.0, 17, 6) * 3, 28, 6)"},
      {"select cast(10 as money) / 3", "select tsql_money(tsql_numeric_div(tsql_money(10), 3, 19, 4))"},
      {"select 5.5 % 2, qty % 2 from t", "select tsql_mod(5.5, 2), tsql_mod(qty, 2) from t"},
      {"select round(748.58, -3)", "select tsql_numeric(round(748.58, -3), 5, 2)"},
      {"select replace(12.50, '.', ',')", "select replace(tsql_numeric_str(12.50, 2, -1, 0), '.', ',')"},
      {"select cast(1e-5 as varchar(10))", "select tsql_float_str(1e-5, 10, 0, 0)"},
      {"select cast(cast(1 as smallint) + cast(2 as smallint) as nvarchar(3))",
       "select tsql_str(tsql_int(tsql_int(1, 16) + tsql_int(2, 16), 16), 3, 0, 2)"},
      {"select avg(cast(q as int)), avg(cast(q as bigint) * 2)",
       "select tsql_int(avg(tsql_int(q, 32)), 32), tsql_int(avg(tsql_int(tsql_int(q, 64) * 2, 64)), 64)"},
      // Types the text does not tell stay with the engine.
      {"select qty / 3.0, qty * 1.5, cast(qty as varchar) from t",
       "select qty / 3.0, qty * 1.5, tsql_str(qty, 30, 0, 0) from t"},
      {"select 7 / 2, 7 % 2", "select tsql_int(7 / 2, 32), tsql_int(7 % 2, 32)"},
      {"select avg(q), avg(q * 1.5) from t", "select avg(q), avg(q * 1.5) from t"},
  };
  for (const auto& [tsql, sqlite] : cases) EXPECT_EQ(Sql(tsql), sqlite) << tsql;
}

}  // namespace
}  // namespace fabrikon::dialect::test
