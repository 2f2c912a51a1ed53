// clsSCDDOrder: the business object of the production order (card "pp25").
// It defaults a new head, checks head and lines on screen and before saving,
// moves the order through approval and closing, and rebuilds the order's
// material list from the bills of materials after every save.
#pragma once
#include <string>

#include "fabrikon/BusinessObject.h"

namespace fabrikon {

class clsSCDDOrder : public BusinessObject {
 public:
  clsSCDDOrder() = default;
  const char* ClassName() const override { return "clsSCDDOrder"; }

  std::string VoucherNew(VoucherFormPtr& VO, LoginInfoPtr& Login) override;
  std::string HeadCheck(VoucherFormPtr VO, ConnectionPtr& Conn, const std::string& strItem,
                        DOMDocumentPtr& domReturn, bool bSaveMode, std::string& strCardNum) override;
  std::string BodyCheck(VoucherFormPtr VO, ConnectionPtr& Conn, long R, const std::string& strItem,
                        DOMDocumentPtr& domReturn, bool bSaveMode, std::string& strCardNum) override;

  std::string VoucherAllowNew(DOMDocumentPtr domHead, ConnectionPtr& Conn) override;
  std::string VoucherAllowEdit(DOMDocumentPtr domHead, ConnectionPtr& Conn) override;
  std::string VoucherAllowDelete(DOMDocumentPtr domHead, DOMDocumentPtr domBody,
                                 ConnectionPtr& Conn) override;
  std::string VoucherConfirm(DOMDocumentPtr domHead, ConnectionPtr& Conn, LoginInfoPtr& Login) override;
  std::string VoucherCancelconfirm(DOMDocumentPtr domHead, ConnectionPtr& Conn) override;
  std::string VoucherClose(DOMDocumentPtr domHead, ConnectionPtr& Conn, LoginInfoPtr& Login) override;
  std::string VoucherOpen(DOMDocumentPtr domHead, ConnectionPtr& Conn) override;

  // Rebuilds the material list (PP_PODetails) of the saved order; runs inside
  // the caller's transaction. "" on success, otherwise the failure's
  // description followed by "保存生产订单子件失败".
  std::string VoucherAfterSave(DOMDocumentPtr domHead, DOMDocumentPtr domBody,
                               ConnectionPtr& Conn) override;
};

}  // namespace fabrikon
