// clsPODetails: the business object of a production order line's component
// list (card "pp16"). It checks component cells and hands the recomputed
// required quantity back to the screen when quantity per unit or waste change.
#pragma once
#include <string>

#include "fabrikon/BusinessObject.h"

namespace fabrikon {

class clsPODetails : public BusinessObject {
 public:
  clsPODetails() = default;
  const char* ClassName() const override { return "clsPODetails"; }

  std::string HeadCheck(VoucherFormPtr VO, ConnectionPtr& Conn, const std::string& strItem,
                        DOMDocumentPtr& domReturn, bool bSaveMode, std::string& strCardNum) override;
  std::string BodyCheck(VoucherFormPtr VO, ConnectionPtr& Conn, long R, const std::string& strItem,
                        DOMDocumentPtr& domReturn, bool bSaveMode, std::string& strCardNum) override;
};

}  // namespace fabrikon
