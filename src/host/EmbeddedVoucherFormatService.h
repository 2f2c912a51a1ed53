// EmbeddedVoucherFormatService: screen formats and fixed items of voucher
// templates, kept in the template tables of the embedded database. The
// recordsets go to the host unchanged; their columns are those of the tables.
#pragma once
#include "fabrikon/host/VoucherFormatService.h"

namespace fabrikon {

class EmbeddedVoucherFormatService : public VoucherFormatService {
 public:
  // The fields of the template, head before body, in screen order.
  RecordsetPtr GetFormat(const ConnectionPtr& conn, const std::string& cardNumber,
                         const Variant& templateId) override;
  // The fixed items of the template, in order. Read on the caller's open
  // connection; without one the call fails.
  RecordsetPtr GetFixed(const std::string& connectionString, const Variant& templateId) override;
};

}  // namespace fabrikon
