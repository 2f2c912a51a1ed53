// TSqlKeywords: see the header. The list is T-SQL's reserved keywords, sorted
// (looked up by binary search).
#include "data/dialect/TSqlKeywords.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace fabrikon::dialect {

namespace {

constexpr std::array<std::string_view, 181> kReserved = {
    "add", "all", "alter", "and", "any", "as", "asc", "authorization", "backup", "begin", "between", "break",
    "browse", "bulk", "by", "cascade", "case", "check", "checkpoint", "close", "clustered", "coalesce", "collate",
    "column", "commit", "compute", "constraint", "contains", "containstable", "continue", "convert", "create",
    "cross", "current", "current_date", "current_time", "current_timestamp", "current_user", "cursor", "database",
    "dbcc", "deallocate", "declare", "default", "delete", "deny", "desc", "disk", "distinct", "distributed",
    "double", "drop", "dump", "else", "end", "errlvl", "escape", "except", "exec", "execute", "exists", "exit",
    "external", "fetch", "file", "fillfactor", "for", "foreign", "freetext", "freetexttable", "from", "full",
    "function", "goto", "grant", "group", "having", "holdlock", "identity", "identity_insert", "identitycol", "if",
    "in", "index", "inner", "insert", "intersect", "into", "is", "join", "key", "kill", "left", "like", "lineno",
    "load", "merge", "national", "nocheck", "nonclustered", "not", "null", "nullif", "of", "off", "offsets", "on",
    "open", "opendatasource", "openquery", "openrowset", "openxml", "option", "or", "order", "outer", "over",
    "percent", "pivot", "plan", "precision", "primary", "print", "proc", "procedure", "public", "raiserror", "read",
    "readtext", "reconfigure", "references", "replication", "restore", "restrict", "return", "revert", "revoke",
    "right", "rollback", "rowcount", "rowguidcol", "rule", "save", "schema", "securityaudit", "select",
    "session_user", "set", "setuser", "shutdown", "some", "statistics", "system_user", "table", "tablesample",
    "textsize", "then", "to", "top", "tran", "transaction", "trigger", "truncate", "try_convert", "tsequal", "union",
    "unique", "unpivot", "update", "updatetext", "use", "user", "values", "varying", "view", "waitfor", "when",
    "where", "while", "with", "writetext"};

}  // namespace

bool TSqlKeywords::IsReserved(std::string_view word) {
  if (word.empty() || word.size() > 32) return false;
  std::string lower(word);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return std::binary_search(kReserved.begin(), kReserved.end(), lower);
}

std::string TSqlKeywords::IncorrectSyntaxNear(std::string_view text) {
  if (IsReserved(text)) return "Incorrect syntax near the keyword '" + std::string(text) + "'.";
  return "Incorrect syntax near '" + std::string(text) + "'.";
}

}  // namespace fabrikon::dialect
