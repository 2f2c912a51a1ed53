// PgHostDatabase: the host schema (and the demo plant) in an existing
// PostgreSQL database, from the scripts compiled in from schema/pg. The
// version is kept in the table fabrikon_schema. A database already holding
// the host schema is refused unless forced, and forcing drops only the
// tables and views the scripts create: other objects are never touched.
#pragma once
#include <string>

namespace fabrikon {

class PgConnection;

class PgHostDatabase {
 public:
  static void Create(const std::string& connectionString, bool bDemo, bool bForce);
  // Brings a host database of an older version to the current schema (under
  // the writers' lock); other databases are left alone.
  static void Upgrade(PgConnection& conn);
  static bool IsHostDatabase(PgConnection& conn);
  static int SchemaVersion(PgConnection& conn);
};

}  // namespace fabrikon
