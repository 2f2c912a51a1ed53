// ExpressionTyper: the T-SQL type of an operand or expression in one
// statement's tokens, shared by the rules that decide by type. Literals are
// typed by their form, columns through the tables and aliases the statement
// names (declared types from the catalog; unknown without one), functions and
// operators by SQL Server's rules and data type precedence. It reads T-SQL as
// well as what the earlier rules made of it (tsql_int(x, 32) is an int).
#pragma once
#include <string>
#include <utility>
#include <vector>

#include "data/dialect/SqlType.h"
#include "data/dialect/TokenList.h"

namespace fabrikon::dialect {

class SchemaCatalog;

class ExpressionTyper {
 public:
  // Reads the tables the statement names; catalog may be null.
  ExpressionTyper(const TokenList& tokens, const SchemaCatalog* catalog);

  // The type of the expression [first, last).
  SqlType TypeOf(size_t first, size_t last) const;
  // The type of the column name (possibly qualified) [first, last).
  SqlType ColumnType(size_t first, size_t last) const;
  // Where the operand of a comparison that ends at last (inclusive) begins,
  // and where the one that begins at first ends (exclusive).
  size_t ComparandStart(size_t last) const;
  size_t ComparandEnd(size_t first) const;
  // The types of the first SELECT's result columns; empty when they cannot
  // be told apart (a "*").
  std::vector<SqlType> SelectList() const;
  // The "end" of the CASE at first (npos when there is none), and the
  // results (after THEN and ELSE) of the CASE in [first, end).
  size_t CaseEnd(size_t first) const;
  std::vector<TokenList::Range> CaseResults(size_t first, size_t end) const;
  // The type of a + b (plus) or a - b.
  static SqlType Combine(const SqlType& a, const SqlType& b, bool plus);

 private:
  struct Table {
    std::string alias;  // lower case; the table's own name when it has none
    std::string name;   // as written, possibly schema-qualified
  };
  void ReadTables();
  size_t ReadTable(size_t i, bool columnList);
  SqlType FunctionType(size_t head, size_t close) const;
  SqlType CaseType(size_t first, size_t end) const;
  SqlType BinaryType(size_t first, size_t last) const;
  std::vector<SqlType> SelectListAt(size_t select) const;
  SqlType ItemType(size_t first, size_t last) const;
  SqlType Lookup(const std::string& alias, const std::string& column) const;

  const TokenList& tokens_;
  const SchemaCatalog* catalog_;
  std::vector<Table> tables_;
};

}  // namespace fabrikon::dialect
