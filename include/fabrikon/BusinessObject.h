// BusinessObject: the operations the façade forwards to a voucher kind's
// class. Each business class overrides only the operations it offers; the
// others fail as a late-bound call of an absent member would (error 438).
#pragma once
#include <memory>
#include <string>

#include "fabrikon/ComError.h"
#include "fabrikon/Connection.h"
#include "fabrikon/DOMDocument.h"
#include "fabrikon/host/LoginInfo.h"
#include "fabrikon/host/VoucherForm.h"

namespace fabrikon {

class BusinessObject {
 public:
  virtual ~BusinessObject() = default;
  virtual const char* ClassName() const = 0;

  virtual std::string VoucherNew(VoucherFormPtr& VO, LoginInfoPtr& Login);
  virtual std::string HeadCheck(VoucherFormPtr VO, ConnectionPtr& Conn, const std::string& strItem,
                                DOMDocumentPtr& domReturn, bool bSaveMode, std::string& strCardNum);
  virtual std::string BodyCheck(VoucherFormPtr VO, ConnectionPtr& Conn, long R,
                                const std::string& strItem, DOMDocumentPtr& domReturn,
                                bool bSaveMode, std::string& strCardNum);
  virtual std::string VoucherAllowNew(DOMDocumentPtr domHead, ConnectionPtr& Conn);
  virtual std::string VoucherAllowEdit(DOMDocumentPtr domHead, ConnectionPtr& Conn);
  virtual std::string VoucherAllowDelete(DOMDocumentPtr domHead, DOMDocumentPtr domBody,
                                         ConnectionPtr& Conn);
  virtual std::string VoucherClose(DOMDocumentPtr domHead, ConnectionPtr& Conn, LoginInfoPtr& Login);
  virtual std::string VoucherOpen(DOMDocumentPtr domHead, ConnectionPtr& Conn);
  virtual std::string VoucherConfirm(DOMDocumentPtr domHead, ConnectionPtr& Conn, LoginInfoPtr& Login);
  virtual std::string VoucherCancelconfirm(DOMDocumentPtr domHead, ConnectionPtr& Conn);
  virtual std::string VoucherAfterSave(DOMDocumentPtr domHead, DOMDocumentPtr domBody,
                                       ConnectionPtr& Conn);

 protected:
  [[noreturn]] void NotSupported(const char* operation) const;
};
using BusinessObjectPtr = std::shared_ptr<BusinessObject>;

}  // namespace fabrikon
