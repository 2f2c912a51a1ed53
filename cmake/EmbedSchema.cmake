# Turns schema/NNN_name.sql into a C++ table of (version, script) pairs.
# The number before the first underscore is the schema version the script
# brings the database to; scripts run in that order.
file(GLOB scripts ${DIR}/*.sql)
list(SORT scripts)
set(body "")
foreach(path ${scripts})
  get_filename_component(name ${path} NAME)
  string(REGEX MATCH "^[0-9]+" version ${name})
  file(READ ${path} text)
  string(APPEND body "  {${version}, \"${name}\", R\"FABRIKON_SQL(${text})FABRIKON_SQL\"},\n")
endforeach()
file(WRITE ${OUT}.tmp "// Generated from schema/*.sql; do not edit.\n#include \"data/SchemaScripts.h\"\nnamespace fabrikon {\nconst std::vector<SchemaScript>& SchemaScripts() {\n  static const std::vector<SchemaScript> scripts = {\n${body}  };\n  return scripts;\n}\n}  // namespace fabrikon\n")
file(COPY_FILE ${OUT}.tmp ${OUT} ONLY_IF_DIFFERENT)
