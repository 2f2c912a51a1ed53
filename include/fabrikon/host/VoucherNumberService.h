// VoucherNumberService: number rules and counters of voucher codes.
// The rule is an XML text: a 单据编号 element with the attributes 重号自动重取
// and 允许手工修改, holding 前缀 elements with 对象类型, 对象名称, 源表字段名
// and 种子.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

namespace fabrikon {

class VoucherNumberService {
 public:
  virtual ~VoucherNumberService() = default;
  virtual bool InitNumbering(const std::string& connectionString, std::string& cardNumber) = 0;
  virtual std::string GetRuleXml() = 0;
  // bGetRealNo true reserves the number (advances the counter); false previews it.
  virtual std::string GetNumber(const std::string& ruleXml, bool bGetRealNo) = 0;
  virtual int32_t LastErrorCode() = 0;
  virtual bool SyncNumber(const std::string& tableName, const std::string& codeColumn,
                          const std::string& voucherNo, const std::string& seed,
                          const std::string& reserved) = 0;
};
using VoucherNumberServicePtr = std::shared_ptr<VoucherNumberService>;

}  // namespace fabrikon
