// SqlParameters: see the header.
#include "data/dialect/SqlParameters.h"

#include <sqlite3.h>

#include "fabrikon/ComError.h"

namespace fabrikon::dialect {

void SqlParameters::Bind(sqlite3_stmt* statement) const {
  for (size_t i = 0; i < values_.size(); ++i) {
    const SqlValue& value = values_[i];
    const int at = static_cast<int>(i + 1);
    int rc = SQLITE_OK;
    switch (value.type) {
      case SqlValue::Type::Integer:
        rc = sqlite3_bind_int64(statement, at, value.integer);
        break;
      case SqlValue::Type::Real:
        rc = sqlite3_bind_double(statement, at, value.real);
        break;
      case SqlValue::Type::Text:
        rc = sqlite3_bind_text(statement, at, value.Text().data(), static_cast<int>(value.Text().size()),
                               SQLITE_STATIC);
        break;
    }
    if (rc != SQLITE_OK)
      throw ComError(ErrorNumber::E_FAIL_, "The embedded database refused parameter " + std::to_string(at) + ".");
  }
}

}  // namespace fabrikon::dialect
