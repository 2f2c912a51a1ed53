// The business classes behind the card numbers, made in one place. A class
// of a subsystem that is not part of the library yet answers null here; add
// its header and make it below when the subsystem arrives.
#include "engine/BusinessObjectFactory.h"

#include <map>

#include "fabrikon/clsPODetails.h"
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

BusinessObjectPtr NotBuiltYet() { return nullptr; }

}  // namespace

void Override(const std::string& className, std::function<BusinessObjectPtr()> make) {
  if (make) {
    Overrides()[className] = std::move(make);
  } else {
    Overrides().erase(className);
  }
}

BusinessObjectPtr NewForecast() { return Create("clsForecast", NotBuiltYet); }
BusinessObjectPtr NewROPOrder() { return Create("clsROPOrder", NotBuiltYet); }
BusinessObjectPtr NewBaseFile() { return Create("clsBaseFile", NotBuiltYet); }
BusinessObjectPtr NewMOOrder() { return Create("clsMOOrder", NotBuiltYet); }
BusinessObjectPtr NewMOOrderRpt() { return Create("clsMOOrderRpt", NotBuiltYet); }
BusinessObjectPtr NewPORpt() { return Create("clsPORpt", NotBuiltYet); }
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
