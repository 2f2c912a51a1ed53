// PgStatementShapes: the prepared statements of one transaction on a
// PostgreSQL connection. A save writes the same statement with other values
// again and again (a material row per component); the server would parse
// and plan each text anew. A write whose shape (its text with the literals
// taken out as parameters, typed as the server types the literals) recurs
// within the transaction is prepared once and then only executed. The first
// time a shape is met it goes as written, so a shape the server cannot
// prepare never fails a statement that runs as written: it is refused and
// sent as written from then on.
//
// The statements live as long as the transaction: another session cannot
// change a table this one has written until it ends, and the connection
// forgets them after its own DDL, so a prepared statement never meets a
// schema other than the one it was planned for.
#pragma once
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace fabrikon {

// One statement of PostgreSQL text split into its shape and its values.
struct PgShape {
  std::string text;  // $1, $2, ... in place of the literals
  std::vector<std::string> values;
  std::vector<unsigned int> types;  // the literals' types (Oid; 0: an untyped quoted literal)
};

class PgStatementShapes {
 public:
  // What a shape's statement is on the server.
  struct Entry {
    std::string name;  // the prepared statement's, once prepared
    int seen = 0;
    bool prepared = false;  // a Parse of it was sent and not skipped
    bool refused = false;   // the server could not prepare it: sent as written
  };

  // Splits one INSERT, UPDATE or DELETE into its shape. False when it has to
  // go as written and alone: more than one statement, or text that does not
  // lex. Literals whose text matters (ORDER BY positions, a typed literal
  // such as date '...', a negative number, text with COLLATE) stay in the shape.
  static bool Parameterize(std::string_view sql, PgShape& out);
  // True when the text is a single statement (a trailing ; allowed).
  static bool Single(std::string_view sql);

  // The entry of a shape met once more (null while it goes as written).
  // prepare: a Parse must go before it is executed.
  Entry* Use(const PgShape& shape, bool& prepare);
  bool Empty() const { return entries_.empty(); }
  // The server forgot every statement (DEALLOCATE ALL, the transaction's end).
  void Clear() { entries_.clear(); }

 private:
  std::unordered_map<std::string, Entry> entries_;  // by text and types
  unsigned long long named_ = 0;  // names are never reused within a connection
};

}  // namespace fabrikon
