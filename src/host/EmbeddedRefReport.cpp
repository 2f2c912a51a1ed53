// EmbeddedRefReport: records the values the reference link hands over.
#include "fabrikon/host/EmbeddedRefReport.h"

namespace fabrikon {

void EmbeddedRefReport::SetRefValue(const Variant& filterName, const std::string& value) {
  values_.push_back({filterName.ToText(), value});
}

}  // namespace fabrikon
