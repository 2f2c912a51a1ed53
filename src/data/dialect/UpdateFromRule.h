// UpdateFromRule: T-SQL's UPDATE through a join,
//   UPDATE t SET t.c = ... FROM t INNER JOIN u ON cond WHERE w
// becomes SQLite's UPDATE-FROM, which must not name the target in its FROM:
//   UPDATE t SET c = ... FROM u WHERE (cond) AND (w)
// Column names being assigned lose their qualifier in every UPDATE (SQLite
// rejects "SET t.c ="). A target given by its alias becomes "UPDATE table AS
// alias". Outer joins of the target have no SQLite form and are refused.
#pragma once
#include <string_view>
#include <vector>

#include "data/dialect/RewriteRule.h"

namespace fabrikon::dialect {

class UpdateFromRule : public RewriteRule {
 public:
  void Apply(TokenList& tokens, const RuleContext& context) const override;

 private:
  struct Source {
    size_t joinFirst = 0;  // the comma or join keywords in front of it (== first for the first source)
    size_t first = 0;      // the table (or derived table) and its alias: [first, last)
    size_t last = 0;
    size_t name = 0;  // index of the table's (last) name token
    size_t alias = TokenList::npos;
    size_t onFirst = TokenList::npos;  // condition after ON: [onFirst, onLast)
    size_t onLast = TokenList::npos;
    bool innerOrComma = true;
  };
  static void UnqualifySet(TokenList& tokens, size_t set);
  static std::vector<Source> Sources(const TokenList& tokens, size_t from, size_t end);
  static void RewriteFrom(TokenList& tokens, size_t set, size_t from);
};

}  // namespace fabrikon::dialect
