// List data and filters in the engine: the list and totals recordsets of a
// card's list view (all rows or one page through the temporary list table),
// and the filter chosen in the host's filter window. Not built yet: both
// operations raise "not implemented".
#include "fabrikon/clsVoucherCommon.h"

#include "fabrikon/ComError.h"

namespace fabrikon {
namespace {
[[noreturn]] void NotImplemented(const char* operation) {
  throw ComError(ErrorNumber::NotImplemented, std::string("not implemented: clsVoucherCommon.") + operation);
}
}  // namespace

bool clsVoucherCommon::GetVchListData(const ConnectionPtr&, const std::string&, const ColumnSetPtr&, RecordsetPtr&,
                                      RecordsetPtr&, const std::string&, std::string&, bool, long&, long, long&,
                                      long) {
  NotImplemented("GetVchListData");
}

std::string clsVoucherCommon::GetFilterString(const ConnectionPtr&, LoginInfoPtr, const std::string&,
                                              std::string&, bool&) {
  NotImplemented("GetFilterString");
}

}  // namespace fabrikon
