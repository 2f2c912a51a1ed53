// EmbeddedVoucherFormatService: reads the template tables for the host's screens.
#include "host/EmbeddedVoucherFormatService.h"

#include "data/SqliteConnection.h"
#include "fabrikon/ComError.h"
#include "fabrikon/modVoucher.h"

namespace fabrikon {

// Template IDs are unique over all cards (the outsourcing card numbers can be
// renamed per database), so the card number does not narrow the query.
RecordsetPtr EmbeddedVoucherFormatService::GetFormat(const ConnectionPtr& conn, const std::string&,
                                                     const Variant& templateId) {
  if (!conn) throw ComError(ErrorNumber::ObjectNotSet, "没有数据库连接，不能读取单据格式！");
  return conn->Open("SELECT * FROM FabrikonTemplateFields WHERE VT_ID=" + SqlStr(Trim(NullToEmpty(templateId))) +
                        " ORDER BY iPart,iOrder",
                    adOpenStatic, adLockReadOnly, adUseClient);
}

RecordsetPtr EmbeddedVoucherFormatService::GetFixed(const std::string& connectionString, const Variant& templateId) {
  ConnectionPtr conn = FindOpenConnection(connectionString);
  if (!conn) throw ComError(ErrorNumber::E_FAIL_, "没有打开的数据库连接，不能读取单据模板！");
  return conn->Open("SELECT * FROM FabrikonTemplateFixed WHERE VT_ID=" + SqlStr(Trim(NullToEmpty(templateId))) +
                        " ORDER BY iOrder",
                    adOpenStatic, adLockReadOnly, adUseClient);
}

}  // namespace fabrikon
