// TSqlNumberFunctions: the decimal arithmetic and the number texts the
// translated statements call (DecimalArithmeticRule, NumberTextRule):
//   tsql_numeric(x, p, s)             x as decimal(p,s): rounded, overflow refused
//   tsql_numeric_div(a, b, p, s)      a / b as decimal(p,s)
//   tsql_mod(a, b)                    the remainder, of decimals too
//   tsql_numeric_str(x, s, length, flags)      a decimal's text with its scale
//   tsql_float_str(x, length, style, flags)    a float's text in a convert style
// flags as tsql_str's: 1 pads to length (char), 2 national (nchar, nvarchar).
#pragma once

struct sqlite3;

namespace fabrikon::dialect {

class TSqlNumberFunctions {
 public:
  static void Register(sqlite3* db);
};

}  // namespace fabrikon::dialect
