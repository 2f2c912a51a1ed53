// ConstraintMessage: words a failed constraint of the embedded database as
// SQL Server does: "Violation of PRIMARY KEY constraint 'PK_t'. Cannot insert
// duplicate key in object 'dbo.t'. The duplicate key value is (1).", "Cannot
// insert the value NULL into column 'v', table 'db.dbo.t'; column does not
// allow nulls. INSERT fails." The key value is read from the failed INSERT's
// VALUES or UPDATE's SET (with its parameters filled in); where the
// statement does not show it, the sentence about the value is left out.
#pragma once
#include <string>

struct sqlite3;
struct sqlite3_stmt;

namespace fabrikon {

class ConstraintMessage {
 public:
  // The wording for the engine's message, or "" when it is no constraint
  // failure this class words.
  static std::string Describe(sqlite3* db, sqlite3_stmt* statement, int resultCode, const std::string& message);

 private:
  static std::string DuplicateKey(sqlite3* db, sqlite3_stmt* statement, bool primary, const std::string& columns);
  static std::string NotNull(sqlite3* db, sqlite3_stmt* statement, const std::string& column);
};

}  // namespace fabrikon
