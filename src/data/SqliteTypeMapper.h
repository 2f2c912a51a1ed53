// SqliteTypeMapper: reads the SQL Server type name a column was declared with
// in the embedded schema and reports the ADO type code, size, precision and
// scale that the same column has on SQL Server. Saving code chooses its
// literal form by these codes, so they must match what ADO would report.
#pragma once
#include <string>
#include <vector>

#include "fabrikon/Recordset.h"

namespace fabrikon {

class SqliteTypeMapper {
 public:
  // Fills type, definedSize, precision and numericScale of a FieldInfo from
  // a declared type such as "nvarchar(50)", "decimal(18, 4)" or "datetime".
  // Names outside SQL Server's set fall back to SQLite's affinity rules.
  static void Apply(const std::string& declaredType, FieldInfo& info);

  // What the values of a column of an ADO type become when read: Other
  // keeps what the database gives.
  enum class ValueKind { Integer, Double, Text, Date, Bool, Binary, Other };
  static ValueKind KindOf(int adoType);

  // The type of a column without a declared type, from the values read:
  // VarChar sized to the longest text when any value is text (or none is a
  // number), else Double, else Integer (BigInt beyond 32 bits).
  static void InferFromValues(const std::vector<std::vector<fabrikon::Variant>>& rows, size_t column,
                              FieldInfo& info);

  // Codes outside the library's own set that a declared type can still have.
  static constexpr int Guid = 72, Variant = 12, DBDate = 133, DBTime = 134, LongVarBinary = 205;
};

}  // namespace fabrikon
