// Saving in the façade: the save-mode checks, the one transaction around the
// engine's statements, the sales-order write-backs and the after-save hook of
// production and outsourcing orders. Not built yet: every operation raises
// "not implemented" so that a host can tell it from a failed save.
#include "fabrikon/clsVoucherCO.h"

namespace fabrikon {
namespace {
[[noreturn]] void NotImplemented(const char* operation) {
  throw ComError(ErrorNumber::NotImplemented, std::string("not implemented: clsVoucherCO.") + operation);
}
}  // namespace

std::string clsVoucherCO::VoucherSave1(const VoucherFormPtr&, int16_t) { NotImplemented("VoucherSave1"); }

std::string clsVoucherCO::VoucherSave2(const VoucherFormPtr&, int16_t, Variant&) { NotImplemented("VoucherSave2"); }

std::string clsVoucherCO::DoWriteBackVoucherM(const DOMDocumentPtr&, const DOMDocumentPtr&, ConnectionPtr&) {
  NotImplemented("DoWriteBackVoucherM");
}

std::string clsVoucherCO::DoWriteBackVoucherA(const DOMDocumentPtr&, const DOMDocumentPtr&, ConnectionPtr&) {
  NotImplemented("DoWriteBackVoucherA");
}

}  // namespace fabrikon
