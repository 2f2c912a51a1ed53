// OdbcText: the library's UTF-8 text to and from the UTF-16 text of the ODBC
// wide-character calls, so that Chinese text reaches any driver unchanged
// whatever the client code page.
#pragma once
#include <sql.h>
#include <sqlext.h>

#include <string>
#include <vector>

namespace fabrikon::odbc {

// UTF-8 to a NUL-terminated UTF-16 buffer (invalid bytes become U+FFFD).
std::vector<SQLWCHAR> Wide(const std::string& utf8);
// The first `units` UTF-16 code units of text to UTF-8 (lone surrogates become U+FFFD).
std::string Narrow(const SQLWCHAR* text, size_t units);

}  // namespace fabrikon::odbc
