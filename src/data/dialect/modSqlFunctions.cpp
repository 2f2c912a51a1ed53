// modSqlFunctions: see the header.
#include "data/dialect/modSqlFunctions.h"

#include <sqlite3.h>

namespace fabrikon::dialect::sqlfn {

std::string_view Text(sqlite3_value* v) {
  const unsigned char* text = sqlite3_value_text(v);
  return text == nullptr ? std::string_view()
                         : std::string_view(reinterpret_cast<const char*>(text),
                                            static_cast<size_t>(sqlite3_value_bytes(v)));
}

void DataError(sqlite3_context* ctx, const std::string& message) {
  sqlite3_result_error(ctx, message.c_str(), -1);
  sqlite3_result_error_code(ctx, SQLITE_MISMATCH);
}

void ConversionFailed(sqlite3_context* ctx, std::string_view value, std::string_view type) {
  DataError(ctx, "Conversion failed when converting the varchar value '" + std::string(value) + "' to data type " +
                     std::string(type) + ".");
}

}  // namespace fabrikon::dialect::sqlfn
