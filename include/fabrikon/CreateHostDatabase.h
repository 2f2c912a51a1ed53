// CreateHostDatabase: creates the embedded host database a host program
// opens with OpenConnection (the same as `fabrikon init-db PATH [--demo]`).
#pragma once
#include <string>

namespace fabrikon {

// Creates the database file at path with the current schema and, with
// withDemo, the demo plant. An existing file is refused, never replaced.
// Failures raise ComError; the description names the path. Answers the
// connection string that opens the new database.
//
//   ConnectionPtr conn = OpenConnection(CreateHostDatabase("plant.db", true));
std::string CreateHostDatabase(const std::string& path, bool withDemo);

}  // namespace fabrikon
