// PgHostDatabase: see the header.
#include "data/PgHostDatabase.h"

#include <algorithm>
#include <regex>
#include <vector>

#include "data/HostDatabase.h"
#include "data/PgConnection.h"
#include "data/SchemaScripts.h"
#include "fabrikon/ComError.h"

namespace fabrikon {

namespace {

constexpr const char* kHostTables =
    "select count(*) from pg_tables where schemaname = current_schema() "
    "and tablename in ('vouchers', 'fabrikonsettings', '__dbts')";

int ReadInt(PgConnection& conn, const std::string& sql) { return static_cast<int>(conn.NativeInt(sql)); }

// Runs the scripts of versions after `from` (and the unversioned ones, which
// are idempotent: the collation, the domains, the runtime functions).
void RunScripts(PgConnection& conn, int from) {
  int reached = from;
  for (const SchemaScript& script : PgSchemaScripts()) {
    if (script.version != 0 && script.version <= from) continue;
    try {
      conn.ExecuteNative(script.text);
    } catch (const ComError& e) {
      throw ComError(e.Number(), std::string("Schema script ") + script.name + " failed: " + e.Description());
    }
    reached = std::max(reached, script.version);
  }
  conn.ExecuteNative("CREATE TABLE IF NOT EXISTS fabrikon_schema (version int NOT NULL); DELETE FROM fabrikon_schema; "
                     "INSERT INTO fabrikon_schema (version) VALUES (" + std::to_string(reached) + ")");
}

// The tables, views and sequences the scripts create, views first, each list in the
// reverse order of creation (so that nothing still depends on what goes).
std::vector<std::string> HostObjects() {
  static const std::regex created(R"(CREATE\s+(?:OR\s+REPLACE\s+)?(TABLE|VIEW|SEQUENCE)\s+(IF\s+NOT\s+EXISTS\s+)?([A-Za-z_][A-Za-z_0-9]*))",
                                  std::regex::icase);
  std::vector<std::string> tables, views, sequences;
  for (const SchemaScript& script : PgSchemaScripts()) {
    const std::string text = script.text;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), created); it != std::sregex_iterator(); ++it) {
      std::string kind = (*it)[1].str();
      std::transform(kind.begin(), kind.end(), kind.begin(), ::toupper);
      (kind == "VIEW" ? views : kind == "TABLE" ? tables : sequences).push_back(kind + " IF EXISTS " + (*it)[3].str());
    }
  }
  std::vector<std::string> drops(views.rbegin(), views.rend());
  drops.insert(drops.end(), tables.rbegin(), tables.rend());
  drops.insert(drops.end(), sequences.begin(), sequences.end());
  drops.push_back("TABLE IF EXISTS fabrikon_schema");
  return drops;
}

}  // namespace

bool PgHostDatabase::IsHostDatabase(PgConnection& conn) { return ReadInt(conn, kHostTables) == 3; }

int PgHostDatabase::SchemaVersion(PgConnection& conn) {
  if (!IsHostDatabase(conn)) return 0;
  if (ReadInt(conn, "select count(*) from pg_tables where schemaname = current_schema() "
                    "and tablename = 'fabrikon_schema'") == 0)
    return 0;
  return ReadInt(conn, "select max(version) from fabrikon_schema");
}

void PgHostDatabase::Create(const std::string& connectionString, bool bDemo, bool bForce) {
  std::shared_ptr<PgConnection> conn = PgConnection::Connect(connectionString);
  conn->BeginTrans();
  try {
    if (IsHostDatabase(*conn)) {
      if (!bForce)
        throw ComError(ErrorNumber::E_FAIL_, "Cannot create the database: " + PgConnection::Masked(connectionString) +
                                                 " already holds the host schema (force to replace it).");
      for (const std::string& drop : HostObjects()) conn->ExecuteNative("DROP " + drop);
    }
    RunScripts(*conn, 0);
    if (bDemo) {
      for (const SchemaScript& script : PgDemoScripts()) {
        try {
          conn->ExecuteNative(script.text);
        } catch (const ComError& e) {
          throw ComError(e.Number(), std::string("Demo script ") + script.name + " failed: " + e.Description());
        }
      }
    }
    conn->CommitTrans();
  } catch (...) {
    if (conn->InTransaction()) conn->RollbackTrans();
    throw;
  }
}

void PgHostDatabase::Upgrade(PgConnection& conn) {
  const int current = HostDatabase::CurrentVersion();
  if (!IsHostDatabase(conn) || SchemaVersion(conn) >= current) return;
  conn.BeginTrans();
  try {
    // Read again under the writers' lock: another client may have upgraded it.
    const int version = SchemaVersion(conn);
    if (version > 0 && version < current) RunScripts(conn, version);
    conn.CommitTrans();
  } catch (...) {
    if (conn.InTransaction()) conn.RollbackTrans();
    throw;
  }
}

}  // namespace fabrikon
