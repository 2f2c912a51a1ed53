// Turning a trapped exception into what messages show (see EngineErrors.h).
#include "engine/EngineErrors.h"

#include <exception>

namespace fabrikon::engine {

std::string CurrentErrorDescription() {
  try {
    throw;
  } catch (const ComError& e) {
    return e.Description();
  } catch (const std::exception& e) {
    return e.what();
  } catch (...) {
    return "Unknown error";
  }
}

int32_t CurrentErrorNumber() {
  try {
    throw;
  } catch (const ComError& e) {
    return e.Number();
  } catch (...) {
    return ErrorNumber::E_FAIL_;
  }
}

int32_t LastErrorCodeOf(const VoucherNumberServicePtr& service) {
  if (!service) return 0;
  try {
    return service->LastErrorCode();
  } catch (...) {
    return 0;
  }
}

}  // namespace fabrikon::engine
