// VoucherFormatService: screen formats and fixed items of voucher templates.
#pragma once
#include <memory>
#include <string>

#include "fabrikon/Connection.h"

namespace fabrikon {

class VoucherFormatService {
 public:
  virtual ~VoucherFormatService() = default;
  virtual RecordsetPtr GetFormat(const ConnectionPtr& conn, const std::string& cardNumber,
                                 const Variant& templateId) = 0;
  virtual RecordsetPtr GetFixed(const std::string& connectionString, const Variant& templateId) = 0;
};
using VoucherFormatServicePtr = std::shared_ptr<VoucherFormatService>;

}  // namespace fabrikon
