// clsPODetails: component lines of a production order line (card "pp16").
// Checks the edited component cell (or, before saving, the quantity per unit
// of every line) and recomputes the required quantity from the line's
// quantity, the quantity per unit and the waste rate for the screen.
#include "fabrikon/clsPODetails.h"

#include "production/modProduction.h"

namespace fabrikon {

std::string clsPODetails::HeadCheck(VoucherFormPtr, ConnectionPtr&, const std::string&, DOMDocumentPtr&, bool,
                                    std::string&) {
  return "";
}

std::string clsPODetails::BodyCheck(VoucherFormPtr VO, ConnectionPtr& Conn, long R, const std::string& strItem,
                                    DOMDocumentPtr& domReturn, bool bSaveMode, std::string&) {
  return production::ComponentLineCheck(*VO, Conn, R, strItem, domReturn, bSaveMode,
                                        [] { return std::string("PP16"); });
}

}  // namespace fabrikon
