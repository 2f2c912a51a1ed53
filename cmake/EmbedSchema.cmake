# Turns schema/NNN_name.sql into a C++ table of (version, script) pairs.
# The number before the first underscore is the schema version the script
# brings the database to; scripts run in that order. The demo plant's
# scripts (schema/demo/NNN_name.sql) become a second table, run in the same
# order after the schema when a demo database is created.
#
# The PostgreSQL scripts (schema/pg/) become three more tables: the schema
# (000_types.sql, then runtime.sql when present, then 001 ... in order; the
# first two have version 0: they are run on every create and upgrade), the
# runtime functions alone, and the demo plant, which is schema/demo/ with a
# script of schema/pg/demo/ in place of the one of the same name (and the
# scripts only PostgreSQL needs added in their order).

# One table row for the script at path; version is its leading number.
function(script_entry path out_var)
  get_filename_component(name ${path} NAME)
  string(REGEX MATCH "^[0-9]+" version ${name})
  if(version STREQUAL "")
    message(FATAL_ERROR "${path}: the name must begin with its number (NNN_name.sql)")
  endif()
  math(EXPR version "${version}")  # 001 -> 1: a leading zero would make an octal literal
  file(READ ${path} text)
  set(${out_var} "  {${version}, \"${name}\", R\"FABRIKON_SQL(${text})FABRIKON_SQL\"},\n" PARENT_SCOPE)
endfunction()

function(embed_paths paths out_var)
  set(body "")
  foreach(path ${paths})
    script_entry(${path} entry)
    string(APPEND body "${entry}")
  endforeach()
  set(${out_var} "${body}" PARENT_SCOPE)
endfunction()

function(embed_scripts dir out_var)
  file(GLOB scripts ${dir}/*.sql)
  list(SORT scripts)
  embed_paths("${scripts}" body)
  set(${out_var} "${body}" PARENT_SCOPE)
endfunction()

# The shared scripts of dir, each replaced by the one of the same name in
# override_dir, plus the scripts only override_dir has; ordered by name.
function(embed_overridden dir override_dir out_var)
  file(GLOB shared RELATIVE ${dir} ${dir}/*.sql)
  file(GLOB own RELATIVE ${override_dir} ${override_dir}/*.sql)
  set(names ${shared} ${own})
  list(REMOVE_DUPLICATES names)
  list(SORT names)
  set(paths "")
  foreach(name ${names})
    if(EXISTS ${override_dir}/${name})
      list(APPEND paths ${override_dir}/${name})
    else()
      list(APPEND paths ${dir}/${name})
    endif()
  endforeach()
  embed_paths("${paths}" body)
  set(${out_var} "${body}" PARENT_SCOPE)
endfunction()

embed_scripts(${DIR} schema_body)
embed_scripts(${DIR}/demo demo_body)

# Without runtime.sql (not written yet) the runtime script is empty.
set(pg_runtime "{0, \"runtime.sql\", \"\"}")
if(EXISTS ${DIR}/pg/runtime.sql)
  file(READ ${DIR}/pg/runtime.sql text)
  set(pg_runtime "{0, \"runtime.sql\", R\"FABRIKON_SQL(${text})FABRIKON_SQL\"}")
endif()
file(GLOB pg_scripts ${DIR}/pg/[0-9]*.sql)
list(SORT pg_scripts)
list(POP_FRONT pg_scripts pg_types)
get_filename_component(pg_types_name ${pg_types} NAME)
if(NOT pg_types_name STREQUAL "000_types.sql")
  message(FATAL_ERROR "${DIR}/pg: the first script must be 000_types.sql")
endif()
script_entry(${pg_types} pg_schema_body)
if(EXISTS ${DIR}/pg/runtime.sql)
  string(APPEND pg_schema_body "  ${pg_runtime},\n")
endif()
embed_paths("${pg_scripts}" pg_versions_body)
string(APPEND pg_schema_body "${pg_versions_body}")
embed_overridden(${DIR}/demo ${DIR}/pg/demo pg_demo_body)
file(WRITE ${OUT}.tmp "// Generated from schema/*.sql, schema/demo/*.sql and schema/pg/; do not edit.
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
const std::vector<SchemaScript>& PgSchemaScripts() {
  static const std::vector<SchemaScript> scripts = {
${pg_schema_body}  };
  return scripts;
}
const SchemaScript& PgRuntimeScript() {
  static const SchemaScript script = ${pg_runtime};
  return script;
}
const std::vector<SchemaScript>& PgDemoScripts() {
  static const std::vector<SchemaScript> scripts = {
${pg_demo_body}  };
  return scripts;
}
}  // namespace fabrikon
")
file(COPY_FILE ${OUT}.tmp ${OUT} ONLY_IF_DIFFERENT)
