// fabrikon init-db DB [--demo] [--force]: creates the embedded host database
// (with the demo plant on request). DB is a file name or "Data Source=FILE";
// a read-only connection string cannot create anything. An existing file is
// replaced only when forced.
#include <exception>
#include <iostream>

#include "Command.h"
#include "DatabaseArgument.h"
#include "ErrorOutput.h"
#include "data/HostDatabase.h"
#include "data/PgConnection.h"
#include "fabrikon/Connection.h"

namespace fabrikon::cli {
namespace {

constexpr const char* kUsage = "init-db DB [--demo] [--force]";

// A failure that does not say which file it is about gets the path.
std::string NamingPath(const std::string& path, const std::string& description) {
  if (description.find(path) != std::string::npos) return description;
  return "cannot create " + path + ": " + description;
}

int InitDb(const std::vector<std::string>& args) {
  std::string path;
  bool demo = false;
  bool force = false;
  for (const std::string& arg : args) {
    if (arg == "--demo") {
      demo = true;
    } else if (arg == "--force") {
      force = true;
    } else if (arg.rfind("--", 0) == 0) {
      std::cerr << "fabrikon init-db: unknown option " << arg << "\nusage: fabrikon " << kUsage << "\n";
      return 2;
    } else if (!path.empty()) {
      std::cerr << "fabrikon init-db: one database at a time (" << arg << ")\nusage: fabrikon " << kUsage << "\n";
      return 2;
    } else {
      path = arg;
    }
  }
  if (path.empty()) {
    std::cerr << "fabrikon init-db: no database file given\nusage: fabrikon " << kUsage << "\n";
    return 2;
  }
  const DatabaseArgument db = ReadDatabaseArgument(path);
  if (db.odbc || db.readOnly) {
    std::cerr << "fabrikon init-db: " << (db.odbc ? "creates embedded database files and PostgreSQL schemas only" : "Mode=Read creates nothing")
              << " (" << path << ")\nusage: fabrikon " << kUsage << "\n";
    return 2;
  }
  // A URI is shown without its password.
  const std::string target = db.pg ? path : db.file;
  path = db.pg ? PgConnection::Masked(path) : db.file;
  try {
    if (db.pg) {
      CreateHostDatabase(target, demo, force);
    } else {
      HostDatabase::Create(path, demo, force);
    }
  } catch (const ComError& e) {
    return ReportError(e.Number(), NamingPath(path, e.Description()));
  } catch (const std::exception& e) {
    return ReportError(ErrorNumber::E_FAIL_, NamingPath(path, e.what()));
  }
  std::cout << "created " << path << " (schema version " << HostDatabase::CurrentVersion()
            << (demo ? ", demo plant" : "") << ")\n";
  return 0;
}

const CommandRegistration registration(
    "init-db", kUsage, InitDb, "Creates a host database with the current schema (and the demo plant).",
    {{"DB", "embedded database file, \"Data Source=FILE\" or a postgresql:// URI of an existing database"},
     {"--demo", "fill in the demo plant (items, bills of materials, orders of every kind)"},
     {"--force", "replace an existing database (without it an existing one is refused)"}});

}  // namespace
}  // namespace fabrikon::cli
