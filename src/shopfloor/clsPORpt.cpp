// clsPORpt: the business object behind the card; every rule lives in the
// completion report it shares with its twin, set up for this kind.
#include "fabrikon/clsPORpt.h"

#include "shopfloor/CompletionReport.h"

namespace fabrikon {

namespace {
constexpr shopfloor::ReportKind kKind{"订单完工汇报单", "PP_PORptMa", "PP_PoRptMa", "porptid", "porptcode",
                                     "PORptCode",      "PORptCode",  "pp15",       "改变",    false,
                                     true};
const shopfloor::CompletionReport kReport(kKind);
}  // namespace

std::string clsPORpt::VoucherNew(VoucherFormPtr& VO, LoginInfoPtr& Login) { return kReport.VoucherNew(VO, Login); }

std::string clsPORpt::HeadCheck(VoucherFormPtr VO, ConnectionPtr& Conn, const std::string& strItem,
                            DOMDocumentPtr& domReturn, bool bSaveMode, std::string&) {
  return kReport.HeadCheck(VO, Conn, strItem, domReturn, bSaveMode);
}

std::string clsPORpt::BodyCheck(VoucherFormPtr VO, ConnectionPtr& Conn, long R, const std::string& strItem,
                            DOMDocumentPtr& domReturn, bool bSaveMode, std::string&) {
  return kReport.BodyCheck(VO, Conn, R, strItem, domReturn, bSaveMode);
}

std::string clsPORpt::VoucherAllowNew(DOMDocumentPtr, ConnectionPtr&) { return ""; }

std::string clsPORpt::VoucherAllowEdit(DOMDocumentPtr domHead, ConnectionPtr&) {
  return kReport.VoucherAllowEdit(domHead);
}

std::string clsPORpt::VoucherAllowDelete(DOMDocumentPtr domHead, DOMDocumentPtr, ConnectionPtr& Conn) {
  return kReport.VoucherAllowDelete(domHead, Conn);
}

std::string clsPORpt::VoucherConfirm(DOMDocumentPtr domHead, ConnectionPtr& Conn, LoginInfoPtr& Login) {
  return kReport.VoucherConfirm(domHead, Conn, Login);
}

std::string clsPORpt::VoucherCancelconfirm(DOMDocumentPtr domHead, ConnectionPtr& Conn) {
  return kReport.VoucherCancelconfirm(domHead, Conn);
}

}  // namespace fabrikon
