// clsForecast: the business object of the demand forecast (card "pp01"). It
// defaults a new head, checks head and lines on screen and before saving, and
// moves the forecast through approval and closing, which switch its part in
// material requirements planning (bMRP) on and off.
#pragma once
#include <string>

#include "fabrikon/BusinessObject.h"

namespace fabrikon {

class clsForecast : public BusinessObject {
 public:
  clsForecast() = default;
  const char* ClassName() const override { return "clsForecast"; }

  std::string VoucherNew(VoucherFormPtr& VO, LoginInfoPtr& Login) override;
  std::string HeadCheck(VoucherFormPtr VO, ConnectionPtr& Conn, const std::string& strItem,
                        DOMDocumentPtr& domReturn, bool bSaveMode, std::string& strCardNum) override;
  // Field mode checks line R once (the line at position R, else the first);
  // the need dates hand their partner back through domReturn, which is
  // created when the caller passes none.
  std::string BodyCheck(VoucherFormPtr VO, ConnectionPtr& Conn, long R, const std::string& strItem,
                        DOMDocumentPtr& domReturn, bool bSaveMode, std::string& strCardNum) override;

  std::string VoucherAllowNew(DOMDocumentPtr domHead, ConnectionPtr& Conn) override;
  std::string VoucherAllowEdit(DOMDocumentPtr domHead, ConnectionPtr& Conn) override;
  std::string VoucherAllowDelete(DOMDocumentPtr domHead, DOMDocumentPtr domBody, ConnectionPtr& Conn) override;

  std::string VoucherConfirm(DOMDocumentPtr domHead, ConnectionPtr& Conn, LoginInfoPtr& Login) override;
  std::string VoucherCancelconfirm(DOMDocumentPtr domHead, ConnectionPtr& Conn) override;
  std::string VoucherClose(DOMDocumentPtr domHead, ConnectionPtr& Conn, LoginInfoPtr& Login) override;
  std::string VoucherOpen(DOMDocumentPtr domHead, ConnectionPtr& Conn) override;
};

}  // namespace fabrikon
