// fabrikon sql DB "TEXT": runs a T-SQL batch on the database (an embedded file,
// or an ODBC connection string) through the same connection and dialect the
// library uses, prints the rows of every
// row-returning statement (a header line of column names, then one line per
// row, tab-separated, NULL as NULL) and ends with the records-affected count
// that Connection::Execute reports for the batch. This is how a user tries
// SQL by hand and how the dialect is checked from outside.
#include <exception>
#include <filesystem>
#include <iostream>

#include "Command.h"
#include "DatabaseArgument.h"
#include "ErrorOutput.h"
#include "data/HostDatabase.h"
#include "data/SqlConsole.h"
#include "data/SqliteConnection.h"

namespace fabrikon::cli {
namespace {

constexpr const char* kUsage = "sql DB \"TEXT\"";

// Tabs and line breaks inside a value would break the line layout.
std::string Printable(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c == '\t') out += "\\t";
    else if (c == '\n') out += "\\n";
    else if (c == '\r') out += "\\r";
    else out += c;
  }
  return out;
}

void PrintRows(Recordset& rows, std::ostream& out) {
  for (size_t i = 0; i < rows.FieldCount(); ++i) out << (i ? "\t" : "") << Printable(rows.Info(i).name);
  out << "\n";
  if (rows.RecordCount() == 0) return;
  for (rows.MoveFirst(); !rows.Eof(); rows.MoveNext()) {
    for (size_t i = 0; i < rows.FieldCount(); ++i) {
      const Variant& value = rows.Fields(i).Value();
      out << (i ? "\t" : "") << (value.IsNull() ? std::string("NULL") : Printable(value.ToText()));
    }
    out << "\n";
  }
}

int Sql(const std::vector<std::string>& args) {
  if (args.size() != 2) {
    std::cerr << "usage: fabrikon " << kUsage << "\n";
    return 2;
  }
  const std::string& argument = args[0];
  const DatabaseArgument db = ReadDatabaseArgument(argument);
  // Opening a missing file would create an empty database; a typo should fail.
  std::error_code ec;
  if (!db.Server() && !std::filesystem::is_regular_file(db.file, ec))
    return ReportError(ErrorNumber::E_FAIL_, "No database file " + db.file + " (create one with init-db).");
  try {
    ConnectionPtr conn = db.Server()           ? OpenConnection(argument)
                         : db.connectionString ? SqliteConnection::Connect(argument)
                                               : SqliteConnection::Connect(HostDatabase::ConnectionStringFor(argument));
    SqlConsoleResult result = SqlConsole::Run(*conn, args[1]);
    for (const RecordsetPtr& rows : result.rowsets) PrintRows(*rows, std::cout);
    std::cout << "records affected: " << result.recordsAffected << "\n";
  } catch (const ComError& e) {
    std::cout.flush();
    return ReportError(e);
  } catch (const std::exception& e) {
    std::cout.flush();
    return ReportError(ErrorNumber::E_FAIL_, e.what());
  }
  return 0;
}

const CommandRegistration registration(
    "sql", kUsage, Sql,
    "Runs a T-SQL batch through the library's connection and dialect; prints the rows of each\n"
    "row-returning statement (tab-separated, NULL as NULL) and `records affected: N`.",
    {{"DB", "embedded database file, \"Data Source=FILE[;Mode=Read]\", ODBC connection string or postgresql:// URI"},
     {"TEXT", "the T-SQL batch"}});

}  // namespace
}  // namespace fabrikon::cli
