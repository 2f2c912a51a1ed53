// VoucherForm: the host's voucher form (VO). It carries the head and body
// documents and hands out the same document object on every read, so that a
// document filled in place is seen by the host.
#pragma once
#include <memory>

#include "fabrikon/DOMDocument.h"

namespace fabrikon {

class VoucherForm {
 public:
  virtual ~VoucherForm() = default;
  virtual DOMDocumentPtr HeadDOM() = 0;
  virtual void HeadDOM(DOMDocumentPtr document) = 0;
  virtual DOMDocumentPtr BodyDOM() = 0;
};
using VoucherFormPtr = std::shared_ptr<VoucherForm>;

}  // namespace fabrikon
