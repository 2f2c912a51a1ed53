// clsPORpt: the business object of the order completion report (card "pp15"):
// completion reported against a production order line rather than dispatch
// cards. Defaults, checks and approval with its cancellation; no closing.
#pragma once
#include <string>

#include "fabrikon/BusinessObject.h"

namespace fabrikon {

class clsPORpt : public BusinessObject {
 public:
  const char* ClassName() const override { return "clsPORpt"; }

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
