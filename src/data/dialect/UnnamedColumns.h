// UnnamedColumns: SQL Server names a result column after its column or its
// alias, and leaves a computed one without an alias unnamed (""); the engine
// would name it after the translated expression ("tsql_var('@n')"). The
// items of the query's select list that are computed and unnamed are found
// in the caller's text; the embedded connection names their columns "".
#pragma once
#include <vector>

#include "data/dialect/TokenList.h"

namespace fabrikon::dialect {

class UnnamedColumns {
 public:
  // For each item of the select list that begins the tokens: whether it is
  // computed and has no alias. Empty when the tokens begin no SELECT.
  static std::vector<bool> Find(const std::vector<Token>& tokens, size_t first, size_t last);

 private:
  // [first, last) of each item of the select list of the SELECT at select.
  template <class List>
  static std::vector<std::pair<size_t, size_t>> Items(const List& tokens, size_t select, size_t last);
};

}  // namespace fabrikon::dialect
