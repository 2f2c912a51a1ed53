// EmbeddedVoucherForm: the voucher form a program uses when it runs the
// library without the host's screens. It owns one head and one body document
// and hands out the same objects on every read, so documents the library
// refills in place are seen by whoever holds the form.
#pragma once
#include "fabrikon/host/VoucherForm.h"

namespace fabrikon {

class EmbeddedVoucherForm : public VoucherForm {
 public:
  EmbeddedVoucherForm();
  EmbeddedVoucherForm(DOMDocumentPtr head, DOMDocumentPtr body);

  DOMDocumentPtr HeadDOM() override { return head_; }
  // A null document is replaced by an empty one, so that readers never get null.
  void HeadDOM(DOMDocumentPtr document) override;
  DOMDocumentPtr BodyDOM() override { return body_; }

 private:
  DOMDocumentPtr head_;
  DOMDocumentPtr body_;
};

}  // namespace fabrikon
