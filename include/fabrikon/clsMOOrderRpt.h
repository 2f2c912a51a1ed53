// clsMOOrderRpt: the business object of the progress completion report (card
// "pp14"): completion, inspection and hours reported against dispatch cards.
// Defaults, checks (a line must name a card of an approved, open dispatch
// order) and approval with its cancellation; there is no closing.
#pragma once
#include <string>

#include "fabrikon/BusinessObject.h"

namespace fabrikon {

class clsMOOrderRpt : public BusinessObject {
 public:
  const char* ClassName() const override { return "clsMOOrderRpt"; }

  std::string VoucherNew(VoucherFormPtr& VO, LoginInfoPtr& Login) override;
  std::string HeadCheck(VoucherFormPtr VO, ConnectionPtr& Conn, const std::string& strItem,
                        DOMDocumentPtr& domReturn, bool bSaveMode, std::string& strCardNum) override;
  std::string BodyCheck(VoucherFormPtr VO, ConnectionPtr& Conn, long R, const std::string& strItem,
                        DOMDocumentPtr& domReturn, bool bSaveMode, std::string& strCardNum) override;

  std::string VoucherAllowNew(DOMDocumentPtr domHead, ConnectionPtr& Conn) override;
  std::string VoucherAllowEdit(DOMDocumentPtr domHead, ConnectionPtr& Conn) override;
  std::string VoucherAllowDelete(DOMDocumentPtr domHead, DOMDocumentPtr domBody, ConnectionPtr& Conn) override;
  std::string VoucherConfirm(DOMDocumentPtr domHead, ConnectionPtr& Conn, LoginInfoPtr& Login) override;
  std::string VoucherCancelconfirm(DOMDocumentPtr domHead, ConnectionPtr& Conn) override;
};

}  // namespace fabrikon
