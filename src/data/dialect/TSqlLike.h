// TSqlLike: LIKE with T-SQL's patterns: % and _, character sets [abc], ranges
// [a-f] and negated sets [^abc], an optional ESCAPE character; letters match
// without regard to case as the TSQL collation folds them. Installed as the
// connection's like() function, which SQLite's LIKE operator calls.
#pragma once
#include <string_view>

struct sqlite3;

namespace fabrikon::dialect {

class TSqlLike {
 public:
  static void Register(sqlite3* db);
  // padded: the value is non-Unicode text, whose trailing blanks LIKE
  // ignores ('a ' LIKE 'a'); in Unicode text (the columns) they count.
  static bool Match(std::string_view pattern, std::string_view text, char32_t escape = 0, bool padded = false);
  // An ESCAPE text that begins with this character asks for the padded
  // match; the escape character, if any, follows it (see LikeRule).
  static constexpr char32_t kPaddedMark = 1;
};

}  // namespace fabrikon::dialect
