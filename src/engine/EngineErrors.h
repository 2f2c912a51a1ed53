// Error plumbing shared by the façade and the engine sources: a Nothing
// handle raises error 91 as a late-bound call on Nothing does (instead of
// crashing the host), and a trapped error is turned into the description and
// number that messages and the shell show.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "fabrikon/ComError.h"
#include "fabrikon/host/VoucherNumberService.h"

namespace fabrikon::engine {

template <class T>
T& Use(const std::shared_ptr<T>& handle) {
  if (!handle) throw ComError(ErrorNumber::ObjectNotSet, "Object variable or With block variable not set");
  return *handle;
}

template <class T>
const std::shared_ptr<T>& Require(const std::shared_ptr<T>& handle) {
  Use(handle);
  return handle;
}

// Description and number of the exception being handled; call inside a catch.
std::string CurrentErrorDescription();
int32_t CurrentErrorNumber();

// The service's LastErrorCode, 0 when there is no service or it fails too.
int32_t LastErrorCodeOf(const VoucherNumberServicePtr& service);

}  // namespace fabrikon::engine
