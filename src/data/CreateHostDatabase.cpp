// The public call that creates the embedded host database (see
// CreateHostDatabase.h): HostDatabase::Create without replacing a file, with
// the path in every failure's description.
#include "fabrikon/CreateHostDatabase.h"

#include "data/HostDatabase.h"
#include "fabrikon/ComError.h"

namespace fabrikon {

std::string CreateHostDatabase(const std::string& path, bool withDemo) {
  try {
    HostDatabase::Create(path, withDemo, false);
  } catch (const ComError& e) {
    if (e.Description().find(path) != std::string::npos) throw;
    throw ComError(e.Number(), "cannot create " + path + ": " + e.Description());
  } catch (const std::exception& e) {
    throw ComError(ErrorNumber::E_FAIL_, "cannot create " + path + ": " + e.what());
  }
  return HostDatabase::ConnectionStringFor(path);
}

}  // namespace fabrikon
