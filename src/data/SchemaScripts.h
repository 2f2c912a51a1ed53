// The schema scripts of the embedded host database, compiled in from schema/.
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
}  // namespace fabrikon
