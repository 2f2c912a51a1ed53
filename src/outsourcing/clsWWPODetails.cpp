// clsWWPODetails: material lines of an outsourcing order line. The checks
// and the recomputed quantity are those of the production order's component
// lines; the reference checks of item, warehouse and department name the
// outsourcing material-list card that the card-number registry reports.
#include "fabrikon/clsWWPODetails.h"

#include "fabrikon/host/HostServices.h"
#include "production/modProduction.h"

namespace fabrikon {

std::string clsWWPODetails::HeadCheck(VoucherFormPtr, ConnectionPtr&, const std::string&, DOMDocumentPtr&, bool,
                                      std::string&) {
  return "";
}

std::string clsWWPODetails::BodyCheck(VoucherFormPtr VO, ConnectionPtr& Conn, long R, const std::string& strItem,
                                      DOMDocumentPtr& domReturn, bool bSaveMode, std::string&) {
  return production::ComponentLineCheck(*VO, Conn, R, strItem, domReturn, bSaveMode, [&Conn] {
    return HostServices::GetCardNumberRegistry()->WWPODetailsCardNumber(Conn->ConnectionString());
  });
}

}  // namespace fabrikon
