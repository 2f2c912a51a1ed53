// clsROPOrder: the business object of the reorder-point plan (card "pp02").
// It offers only the four state changes; each is one statement whose WHERE
// clause tests both the plan's state and the row version the user loaded.
#pragma once
#include <string>

#include "fabrikon/BusinessObject.h"

namespace fabrikon {

class clsROPOrder : public BusinessObject {
 public:
  const char* ClassName() const override { return "clsROPOrder"; }

  std::string VoucherConfirm(DOMDocumentPtr domHead, ConnectionPtr& m_Conn, LoginInfoPtr& m_Login) override;
  std::string VoucherCancelconfirm(DOMDocumentPtr domHead, ConnectionPtr& m_Conn) override;
  std::string VoucherClose(DOMDocumentPtr domHead, ConnectionPtr& m_Conn, LoginInfoPtr& m_Login) override;
  std::string VoucherOpen(DOMDocumentPtr domHead, ConnectionPtr& m_Conn) override;
};

}  // namespace fabrikon
