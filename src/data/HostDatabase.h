// HostDatabase: creates and upgrades the embedded host database (the schema
// scripts compiled in from schema/, versioned by PRAGMA user_version).
#pragma once
#include <string>

namespace fabrikon {

class SqliteConnection;

class HostDatabase {
 public:
  // Creates a database file with the current schema and, with bDemo, the demo
  // plant. Refuses an existing file unless bForce (which replaces it).
  static void Create(const std::string& path, bool bDemo, bool bForce);
  // Brings a database created by an older version to the current schema.
  // A file that is not a host database (see IsHostDatabase) is left alone.
  static void Upgrade(SqliteConnection& conn);
  // True when the file is ours: it carries a schema version and the host
  // tables every version has had (Vouchers, FabrikonSettings and the
  // row-version counter __dbts). Reads only; independent of which version.
  static bool IsHostDatabase(SqliteConnection& conn);
  static int CurrentVersion();
  // The schema version of the connection's database (0: not a host database).
  static int SchemaVersion(SqliteConnection& conn);
  // The connection string that opens the database file at path.
  static std::string ConnectionStringFor(const std::string& path);
};

}  // namespace fabrikon
