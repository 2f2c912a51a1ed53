// EmbeddedReferenceChecker: checks codes and names typed into voucher fields
// against the archives of the embedded database (departments, persons,
// vendors, payment and shipping terms, inventory, warehouses, work centres,
// operations, operators) and free items against the free items the item uses
// (inventory.bfree1..10) and, where a free item lists its values
// (FreeItemValue), against that list.
//
// A valid value leaves the message empty and puts the archive's code and name
// into domReturn as the attributes of one z:row (for example cdepcode and
// cdepname for a department), so the host can fill the partner field. A value
// that is not in the archive gives a message such as
// "[cdepcode]部门[D99]不存在，请检查！" that the caller prefixes with the
// place of the field. An empty value is valid (the field was cleared) and
// clears the partner field through domReturn. Items that have no archive
// behind them are valid.
#pragma once
#include "fabrikon/host/ReferenceChecker.h"

namespace fabrikon {

class EmbeddedReferenceChecker : public ReferenceChecker {
 public:
  void CheckHeadReference(const std::string& item, const Variant& value, DOMDocumentPtr& domReturn,
                          const ConnectionPtr& conn, const std::string& cardNumber, std::string& message) override;
  void CheckBodyReference(const std::string& item, const Variant& value, DOMDocumentPtr& domReturn,
                          const ConnectionPtr& conn, const std::string& invCode, std::string& message) override;
};

}  // namespace fabrikon
