# Turns schema/NNN_name.sql into a C++ table of (version, script) pairs.
# The number before the first underscore is the schema version the script
# brings the database to; scripts run in that order. The demo plant's
# scripts (schema/demo/NNN_name.sql) become a second table, run in the same
# order after the schema when a demo database is created.
function(embed_scripts dir out_var)
  file(GLOB scripts ${dir}/*.sql)
  list(SORT scripts)
  set(body "")
  foreach(path ${scripts})
    get_filename_component(name ${path} NAME)
    string(REGEX MATCH "^[0-9]+" version ${name})
    if(version STREQUAL "")
      message(FATAL_ERROR "${path}: the name must begin with its number (NNN_name.sql)")
    endif()
    math(EXPR version "${version}")  # 001 -> 1: a leading zero would make an octal literal
    file(READ ${path} text)
    string(APPEND body "  {${version}, \"${name}\", R\"FABRIKON_SQL(${text})FABRIKON_SQL\"},\n")
  endforeach()
  set(${out_var} "${body}" PARENT_SCOPE)
endfunction()

embed_scripts(${DIR} schema_body)
embed_scripts(${DIR}/demo demo_body)
file(WRITE ${OUT}.tmp "// Generated from schema/*.sql and schema/demo/*.sql; do not edit.
#include \"data/SchemaScripts.h\"
namespace fabrikon {
const std::vector<SchemaScript>& SchemaScripts() {
  static const std::vector<SchemaScript> scripts = {
${schema_body}  };
  return scripts;
}
const std::vector<SchemaScript>& DemoScripts() {
  static const std::vector<SchemaScript> scripts = {
${demo_body}  };
  return scripts;
}
}  // namespace fabrikon
")
file(COPY_FILE ${OUT}.tmp ${OUT} ONLY_IF_DIFFERENT)
