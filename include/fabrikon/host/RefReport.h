// RefReport: the host's screen object that receives a value chosen in the
// reference window. The filter window also receives it, with the reference
// link that opens the window, as its reference object.
#pragma once
#include <memory>
#include <string>

#include "fabrikon/Variant.h"

namespace fabrikon {

class clsRefLink;

class RefReport {
 public:
  virtual ~RefReport() = default;
  // The value chosen for a filter field; the answer is not used.
  virtual void SetRefValue(const Variant& filterName, const std::string& value) = 0;
  // The link that opens the reference window for this report.
  virtual void RefLink(std::shared_ptr<clsRefLink>& link) = 0;
};
using RefReportPtr = std::shared_ptr<RefReport>;

}  // namespace fabrikon
