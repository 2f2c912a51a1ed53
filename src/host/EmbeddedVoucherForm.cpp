// EmbeddedVoucherForm: holds the head and body documents of one voucher form.
#include "fabrikon/host/EmbeddedVoucherForm.h"

namespace fabrikon {

EmbeddedVoucherForm::EmbeddedVoucherForm()
    : head_(DOMDocument::Create()), body_(DOMDocument::Create()) {}

EmbeddedVoucherForm::EmbeddedVoucherForm(DOMDocumentPtr head, DOMDocumentPtr body)
    : head_(head ? std::move(head) : DOMDocument::Create()),
      body_(body ? std::move(body) : DOMDocument::Create()) {}

void EmbeddedVoucherForm::HeadDOM(DOMDocumentPtr document) {
  head_ = document ? std::move(document) : DOMDocument::Create();
}

}  // namespace fabrikon
