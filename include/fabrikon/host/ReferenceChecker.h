// ReferenceChecker: validates codes typed into voucher fields against the
// archives. message is "" when valid; otherwise a text the caller prefixes.
#pragma once
#include <memory>
#include <string>

#include "fabrikon/Connection.h"

namespace fabrikon {

class ReferenceChecker {
 public:
  virtual ~ReferenceChecker() = default;
  virtual void CheckHeadReference(const std::string& item, const Variant& value,
                                  DOMDocumentPtr& domReturn, const ConnectionPtr& conn,
                                  const std::string& cardNumber, std::string& message) = 0;
  virtual void CheckBodyReference(const std::string& item, const Variant& value,
                                  DOMDocumentPtr& domReturn, const ConnectionPtr& conn,
                                  const std::string& invCode, std::string& message) = 0;
};
using ReferenceCheckerPtr = std::shared_ptr<ReferenceChecker>;

}  // namespace fabrikon
