// clsWWSCDDOrder: the business object of the outsourcing production order.
// It presets a new head, checks head and product lines on screen and before
// saving, moves the order through approval, closing and reopening, and
// rebuilds the order's material lines from the bills of materials after
// every save.
#pragma once
#include <string>

#include "fabrikon/BusinessObject.h"

namespace fabrikon {

class clsWWSCDDOrder : public BusinessObject {
 public:
  clsWWSCDDOrder() = default;
  const char* ClassName() const override { return "clsWWSCDDOrder"; }

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
  // Closing asks the user (a Yes/No message box) when not everything was received.
  std::string VoucherClose(DOMDocumentPtr domHead, ConnectionPtr& Conn, LoginInfoPtr& Login) override;
  std::string VoucherOpen(DOMDocumentPtr domHead, ConnectionPtr& Conn) override;

  // Rebuilds the material lines (om_podetails) of the saved order and
  // recounts its planning lines; runs inside the caller's transaction.
  std::string VoucherAfterSave(DOMDocumentPtr domHead, DOMDocumentPtr domBody,
                               ConnectionPtr& Conn) override;

 private:
  // The released quantity still open on a planning line, rounded to the
  // quantity decimals.
  double GetPlanOpenQuantity(const ConnectionPtr& Conn, double id) const;
};

}  // namespace fabrikon
