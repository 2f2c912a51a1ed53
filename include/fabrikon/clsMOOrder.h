// clsMOOrder: the business object of the dispatch order (card "pp13"). It
// defaults a new head, checks head and dispatch cards on screen and before
// saving, and moves the order through approval and closing, naming the order
// by its cards in every answer.
#pragma once
#include <string>

#include "fabrikon/BusinessObject.h"

namespace fabrikon {

class clsMOOrder : public BusinessObject {
 public:
  const char* ClassName() const override { return "clsMOOrder"; }

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
  std::string VoucherClose(DOMDocumentPtr domHead, ConnectionPtr& Conn, LoginInfoPtr& Login) override;
  std::string VoucherOpen(DOMDocumentPtr domHead, ConnectionPtr& Conn) override;
};

}  // namespace fabrikon
