// How the command-line host reports a failed command: the error number in
// hexadecimal and the description on standard error, exit status 1.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>

#include "fabrikon/ComError.h"

namespace fabrikon::cli {

inline int ReportError(int32_t number, const std::string& description) {
  std::fprintf(stderr, "error 0x%08X: %s\n", static_cast<unsigned>(static_cast<uint32_t>(number)),
               description.c_str());
  return 1;
}

inline int ReportError(const ComError& error) { return ReportError(error.Number(), error.Description()); }

}  // namespace fabrikon::cli
