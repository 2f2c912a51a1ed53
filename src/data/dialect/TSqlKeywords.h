// TSqlKeywords: the reserved words of T-SQL, for wording syntax errors as
// SQL Server does ("Incorrect syntax near the keyword 'from'." for a keyword,
// "Incorrect syntax near 'x'." for anything else).
#pragma once
#include <string>
#include <string_view>

namespace fabrikon::dialect {

class TSqlKeywords {
 public:
  static bool IsReserved(std::string_view word);
  // The description of a syntax error at the given token text.
  static std::string IncorrectSyntaxNear(std::string_view text);
};

}  // namespace fabrikon::dialect
