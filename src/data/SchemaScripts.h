// The schema scripts of the host database, compiled in from schema/: those of
// the embedded database and those of PostgreSQL (schema/pg/).
#pragma once
#include <vector>

namespace fabrikon {
struct SchemaScript {
  int version;
  const char* name;
  const char* text;
};
const std::vector<SchemaScript>& SchemaScripts();
// The demo plant's data scripts (schema/demo/), in order; version is the
// script's number there, not a schema version.
const std::vector<SchemaScript>& DemoScripts();

// The PostgreSQL host schema, in the order to run: the types (000_types.sql)
// and the runtime functions (runtime.sql) with version 0, to be run on every
// create and upgrade (they keep what exists), then the scripts that bring a
// database to their version, as SchemaScripts() does.
const std::vector<SchemaScript>& PgSchemaScripts();
// The runtime functions alone (runtime.sql; empty text when the build has none).
const SchemaScript& PgRuntimeScript();
// The demo plant on PostgreSQL: DemoScripts() with schema/pg/demo/'s script
// in place of the one of the same name, plus the scripts only PostgreSQL needs.
const std::vector<SchemaScript>& PgDemoScripts();
}  // namespace fabrikon
