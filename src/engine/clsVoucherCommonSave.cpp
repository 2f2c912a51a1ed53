// Saving and deleting vouchers in the engine: the INSERT, UPDATE and DELETE
// statements built from the head and body documents, and the deletion of a
// voucher with its dependent rows. Not built yet: every operation raises
// "not implemented" so that a host can tell it from a failed save.
#include "fabrikon/clsVoucherCommon.h"

#include "fabrikon/ComError.h"

namespace fabrikon {
namespace {
[[noreturn]] void NotImplemented(const char* operation) {
  throw ComError(ErrorNumber::NotImplemented, std::string("not implemented: clsVoucherCommon.") + operation);
}
}  // namespace

std::string clsVoucherCommon::VoucherSave1(const ConnectionPtr&, const DOMDocumentPtr&, const std::string&,
                                           const std::string&, int16_t) {
  NotImplemented("VoucherSave1");
}

std::string clsVoucherCommon::VoucherSave2(ConnectionPtr&, const DOMDocumentPtr&, const DOMDocumentPtr&,
                                           const std::string&, const std::string&, const std::string&,
                                           const std::string&, const std::string&, int16_t, Variant&) {
  NotImplemented("VoucherSave2");
}

std::string clsVoucherCommon::VoucherDelete(const DOMDocumentPtr&, const DOMDocumentPtr&, ConnectionPtr&,
                                            const std::string&, const std::string&, const std::string&,
                                            const std::string&) {
  NotImplemented("VoucherDelete");
}

std::string clsVoucherCommon::DoWriteBackVoucherD(const DOMDocumentPtr&, const DOMDocumentPtr&,
                                                  const ConnectionPtr&) {
  NotImplemented("DoWriteBackVoucherD");
}

}  // namespace fabrikon
