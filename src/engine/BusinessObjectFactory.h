// BusinessObjectFactory: the one place where the business classes of the
// voucher kinds are made. The façade's card-number table and the class
// registry create them through these functions; a class whose subsystem is not
// built into the library yet yields null, which the façade treats like a card
// without a business object.
#pragma once
#include <functional>
#include <string>

#include "fabrikon/BusinessObject.h"

namespace fabrikon::BusinessObjectFactory {

BusinessObjectPtr NewForecast();        // clsForecast, "pp01"
BusinessObjectPtr NewROPOrder();        // clsROPOrder, "pp02"
BusinessObjectPtr NewBaseFile();        // clsBaseFile, "pp08" to "pp11"
BusinessObjectPtr NewMOOrder();         // clsMOOrder, "pp13"
BusinessObjectPtr NewMOOrderRpt();      // clsMOOrderRpt, "pp14"
BusinessObjectPtr NewPORpt();           // clsPORpt, "pp15"
BusinessObjectPtr NewPODetails();       // clsPODetails, "pp16"
BusinessObjectPtr NewSCDDOrder();       // clsSCDDOrder, "pp25"
BusinessObjectPtr NewWWSCDDOrder();     // clsWWSCDDOrder, the registry's outsourcing order card
BusinessObjectPtr NewWWPODetails();     // clsWWPODetails, the registry's outsourcing details card

// Replaces the class made for a class name on this thread (null function:
// back to the built-in class). Lets a host or a test put its own class behind
// a card number.
void Override(const std::string& className, std::function<BusinessObjectPtr()> make);

}  // namespace fabrikon::BusinessObjectFactory
