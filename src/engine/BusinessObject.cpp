// Default members of the business-object contract: absent operations fail
// with error 438, as a late-bound call of a missing member does.
#include "fabrikon/BusinessObject.h"

namespace fabrikon {

void BusinessObject::NotSupported(const char* operation) const {
  throw ComError(ErrorNumber::NotSupported, std::string("Object doesn't support this property or method: ") +
                                                ClassName() + "." + operation);
}

std::string BusinessObject::VoucherNew(VoucherFormPtr&, LoginInfoPtr&) { NotSupported("VoucherNew"); }
std::string BusinessObject::HeadCheck(VoucherFormPtr, ConnectionPtr&, const std::string&, DOMDocumentPtr&,
                                      bool, std::string&) {
  NotSupported("HeadCheck");
}
std::string BusinessObject::BodyCheck(VoucherFormPtr, ConnectionPtr&, long, const std::string&,
                                      DOMDocumentPtr&, bool, std::string&) {
  NotSupported("BodyCheck");
}
std::string BusinessObject::VoucherAllowNew(DOMDocumentPtr, ConnectionPtr&) { NotSupported("VoucherAllowNew"); }
std::string BusinessObject::VoucherAllowEdit(DOMDocumentPtr, ConnectionPtr&) { NotSupported("VoucherAllowEdit"); }
std::string BusinessObject::VoucherAllowDelete(DOMDocumentPtr, DOMDocumentPtr, ConnectionPtr&) {
  NotSupported("VoucherAllowDelete");
}
std::string BusinessObject::VoucherClose(DOMDocumentPtr, ConnectionPtr&, LoginInfoPtr&) { NotSupported("VoucherClose"); }
std::string BusinessObject::VoucherOpen(DOMDocumentPtr, ConnectionPtr&) { NotSupported("VoucherOpen"); }
std::string BusinessObject::VoucherConfirm(DOMDocumentPtr, ConnectionPtr&, LoginInfoPtr&) {
  NotSupported("VoucherConfirm");
}
std::string BusinessObject::VoucherCancelconfirm(DOMDocumentPtr, ConnectionPtr&) {
  NotSupported("VoucherCancelconfirm");
}
std::string BusinessObject::VoucherAfterSave(DOMDocumentPtr, DOMDocumentPtr, ConnectionPtr&) {
  NotSupported("VoucherAfterSave");
}

}  // namespace fabrikon
