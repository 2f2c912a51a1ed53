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
}  // namespace fabrikon
