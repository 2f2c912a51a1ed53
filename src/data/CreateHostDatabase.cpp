// The public call that creates the embedded host database (see
// Connection.h): HostDatabase::Create with the path in every failure's
// description.
#include "data/HostDatabase.h"
#include "data/PgConnection.h"
#include "data/PgHostDatabase.h"
#include "fabrikon/ComError.h"
#include "fabrikon/Connection.h"

namespace fabrikon {

std::string CreateHostDatabase(const std::string& path, bool bDemo, bool bForce) {
  if (PgConnection::IsPgConnectionString(path)) {
    // A server database: it must exist; the host schema goes into it.
    try {
      PgHostDatabase::Create(path, bDemo, bForce);
    } catch (const ComError& e) {
      const std::string masked = PgConnection::Masked(path);
      if (e.Description().find(masked) != std::string::npos) throw;
      throw ComError(e.Number(), "cannot create " + masked + ": " + e.Description());
    }
    return path;
  }
  try {
    HostDatabase::Create(path, bDemo, bForce);
  } catch (const ComError& e) {
    if (e.Description().find(path) != std::string::npos) throw;
    throw ComError(e.Number(), "cannot create " + path + ": " + e.Description());
  } catch (const std::exception& e) {
    throw ComError(ErrorNumber::E_FAIL_, "cannot create " + path + ": " + e.what());
  }
  return HostDatabase::ConnectionStringFor(path);
}

}  // namespace fabrikon
