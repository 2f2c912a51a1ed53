// RightJoinFilterRule: the embedded engine runs "A a RIGHT JOIN B b" with A as
// the outer loop, so a WHERE that filters B alone is only tested after every
// row of A has looked up its B row. For the one shape where that is wasted,
//
//   SELECT a.* FROM A a RIGHT [OUTER] JOIN B b ON a.x = b.y WHERE <b only>
//
// the filter moves into B: "RIGHT OUTER JOIN (SELECT * FROM B b WHERE ...) b".
// Rows and their order stay as they were: A is still scanned in the same
// order, a B row the filter rejects yields nothing either way (matched or
// not), and B's columns keep their types and collations through the
// subquery. When the catalog knows A as a table with rowids (whose scan
// gives them in rowid order), the join is turned around instead, so that the
// filtered B rows find their A rows by A's index:
// "FROM B b LEFT JOIN A a ON ... WHERE ... ORDER BY a.rowid IS NULL, a.rowid"
// (the rows of B without A rows are all NULL, alike, and come last as they
// did). The filter may only name B's columns (qualified), functions,
// literals and operators; anything else leaves the statement as it is.
// PostgreSQL plans the join itself: the rule is for the embedded engine only.
#pragma once
#include "data/dialect/RewriteRule.h"

namespace fabrikon::dialect {

class RightJoinFilterRule : public RewriteRule {
 public:
  void Apply(TokenList& tokens, const RuleContext& context) const override;
};

}  // namespace fabrikon::dialect
