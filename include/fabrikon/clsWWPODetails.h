// clsWWPODetails: the business object of an outsourcing order line's
// material list. It checks material cells like the production order's
// component lines and hands the recomputed required quantity back to the
// screen; the reference checks name the outsourcing material-list card.
#pragma once
#include <string>

#include "fabrikon/BusinessObject.h"

namespace fabrikon {

class clsWWPODetails : public BusinessObject {
 public:
  clsWWPODetails() = default;
  const char* ClassName() const override { return "clsWWPODetails"; }

  std::string HeadCheck(VoucherFormPtr VO, ConnectionPtr& Conn, const std::string& strItem,
                        DOMDocumentPtr& domReturn, bool bSaveMode, std::string& strCardNum) override;
  std::string BodyCheck(VoucherFormPtr VO, ConnectionPtr& Conn, long R, const std::string& strItem,
                        DOMDocumentPtr& domReturn, bool bSaveMode, std::string& strCardNum) override;
};

}  // namespace fabrikon
