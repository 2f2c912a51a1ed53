// StoreRule: every value an INSERT or UPDATE stores goes through
// tsql_store(value, 'table', column) (see StoreConversion), which converts
// it to the column's declared type when the statement runs:
//   INSERT t (a, b) VALUES (x, y)  -> ... VALUES (tsql_store(x, 't', 'a'), ...)
//   INSERT t VALUES (x, y)         -> ... VALUES (tsql_store(x, 't', 0), ...)
//   INSERT t (a) SELECT x FROM u   -> ... SELECT tsql_store(x, 't', 'a') FROM u
//   UPDATE t SET a = x             -> UPDATE t SET a = tsql_store(x, 't', 'a')
// When the translation is given the connection's catalog and it knows the
// column, the type goes into the text instead (tsql_store_as(value, kind, a,
// b)), which spares every stored value the lookup by name; the translation
// then belongs to that schema, as the typed translations are cached per
// catalog generation. Otherwise (a table created later in the same batch, the
// ODBC path, a column given by position) the type is found when the
// statement runs. An INSERT whose SELECT's values cannot be told apart in
// the text (SELECT *, DISTINCT, a UNION) reads them from a common table
// expression:
//   INSERT t (a) SELECT * FROM u -> INSERT t (a) WITH fabrikon_stored(c0) AS
//                                   (SELECT * FROM u) SELECT tsql_store(c0,
//                                   't', 'a') FROM fabrikon_stored
// A column count that does not match is left to the engine, which words that
// error. The conversion also refuses text longer than a sized column, so
// every form wrapped here is guarded against truncation.
#pragma once
#include <array>
#include <string>
#include <vector>

#include "data/dialect/RewriteRule.h"

namespace fabrikon::dialect {

class StoreRule : public RewriteRule {
 public:
  void Apply(TokenList& tokens, const RuleContext& context) const override;

 private:
  static void Insert(TokenList& tokens, const SchemaCatalog* catalog, bool embedded);
  static void InsertSelect(TokenList& tokens, size_t select, const std::string& table,
                           const std::vector<std::string>& columns, const SchemaCatalog* catalog);
  // INSERT ... SELECT whose values cannot be told apart in the text (SELECT
  // *, DISTINCT, TOP, UNION): the select becomes a common table expression
  // whose columns are wrapped one by one.
  static void Stage(TokenList& tokens, size_t select, const std::string& table,
                    const std::vector<std::string>& columns, const SchemaCatalog* catalog);
  static void Update(TokenList& tokens, const SchemaCatalog* catalog);
  // Wraps tokens [first, last); column is a name or, when empty, position.
  // bareNumbers: a lone number the column's conversion keeps as it is stays
  // unwrapped (the embedded engine, whose column affinity then stores it
  // just as the conversion's result would be stored).
  static void Wrap(TokenList& tokens, size_t first, size_t last, const std::string& table,
                   const std::string& column, size_t position, const SchemaCatalog* catalog,
                   bool bareNumbers = false);
  // tsql_store_as's arguments for the column; false when the catalog does
  // not know it.
  static bool KnownType(const SchemaCatalog* catalog, const std::string& table, const std::string& column,
                        std::array<int, 3>& arguments);
};

}  // namespace fabrikon::dialect
