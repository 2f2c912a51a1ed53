// The business classes behind the card numbers, made in one place. A class
// of a subsystem that is not part of the library yet answers null here; add
// its header and make it below when the subsystem arrives.
#include "engine/BusinessObjectFactory.h"

#include <map>

#include "fabrikon/clsBaseFile.h"
#include "fabrikon/clsForecast.h"
#include "fabrikon/clsMOOrder.h"
#include "fabrikon/clsMOOrderRpt.h"
#include "fabrikon/clsPODetails.h"
#include "fabrikon/clsPORpt.h"
#include "fabrikon/clsROPOrder.h"
#include "fabrikon/clsSCDDOrder.h"
#include "fabrikon/clsWWPODetails.h"
#include "fabrikon/clsWWSCDDOrder.h"

namespace fabrikon::BusinessObjectFactory {
namespace {

std::map<std::string, std::function<BusinessObjectPtr()>>& Overrides() {
  thread_local std::map<std::string, std::function<BusinessObjectPtr()>> overrides;
  return overrides;
}

template <class Make>
BusinessObjectPtr Create(const std::string& className, Make builtIn) {
  auto it = Overrides().find(className);
  if (it != Overrides().end()) return it->second();
  return builtIn();
}

}  // namespace

void Override(const std::string& className, std::function<BusinessObjectPtr()> make) {
  if (make) {
    Overrides()[className] = std::move(make);
  } else {
    Overrides().erase(className);
  }
}

BusinessObjectPtr NewForecast() {
  return Create("clsForecast", [] { return std::make_shared<clsForecast>(); });
}
BusinessObjectPtr NewROPOrder() {
  return Create("clsROPOrder", [] { return std::make_shared<clsROPOrder>(); });
}
BusinessObjectPtr NewBaseFile() {
  return Create("clsBaseFile", [] { return std::make_shared<clsBaseFile>(); });
}
BusinessObjectPtr NewMOOrder() {
  return Create("clsMOOrder", [] { return std::make_shared<clsMOOrder>(); });
}
BusinessObjectPtr NewMOOrderRpt() {
  return Create("clsMOOrderRpt", [] { return std::make_shared<clsMOOrderRpt>(); });
}
BusinessObjectPtr NewPORpt() {
  return Create("clsPORpt", [] { return std::make_shared<clsPORpt>(); });
}
BusinessObjectPtr NewPODetails() {
  return Create("clsPODetails", [] { return std::make_shared<clsPODetails>(); });
}
BusinessObjectPtr NewSCDDOrder() {
  return Create("clsSCDDOrder", [] { return std::make_shared<clsSCDDOrder>(); });
}
BusinessObjectPtr NewWWSCDDOrder() {
  return Create("clsWWSCDDOrder", [] { return std::make_shared<clsWWSCDDOrder>(); });
}
BusinessObjectPtr NewWWPODetails() {
  return Create("clsWWPODetails", [] { return std::make_shared<clsWWPODetails>(); });
}

}  // namespace fabrikon::BusinessObjectFactory
