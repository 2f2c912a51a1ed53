// TSqlCollation: the collation "TSQL", SQL Server's default text comparison
// for the databases the library runs on: case-insensitive for ASCII, Latin,
// Greek and Cyrillic letters, full-width forms equal to their ASCII letters,
// accents significant, and trailing blanks ignored ('abc' = 'abc  '). Other
// characters (Chinese included) compare by code point.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

struct sqlite3;

namespace fabrikon::dialect {

class TSqlCollation {
 public:
  static constexpr const char* kName = "TSQL";
  static void Register(sqlite3* db);

  // <0, 0, >0 as a sorts before, with, after b.
  static int Compare(std::string_view a, std::string_view b);
  // The case-folded form of a code point.
  static char32_t Fold(char32_t c);
  // Lower and upper case of the letters Fold knows (full-width forms stay).
  static char32_t Lower(char32_t c);
  static char32_t Upper(char32_t c);
  static void AppendUtf8(std::string& out, char32_t c);
  // Reads one UTF-8 character at pos and advances pos; invalid bytes read as
  // themselves so that any text compares.
  static char32_t Next(std::string_view text, size_t& pos);
};

}  // namespace fabrikon::dialect
